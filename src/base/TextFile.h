#pragma once
// Reading and writing the program's text files. A line ends at LF on reading
// and the CR before it is dropped; lines of any length are read whole. Files
// are written with CR LF by the callers, into a temporary file in the same
// folder that replaces the old file only once everything is on disk.

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tabulon {

// A regular file of that name exists (an empty name finds nothing).
bool FileExists(const std::string& path);

// A file its owner may not write. Saving would replace it all the same (the
// new file is renamed over it), so a save refuses it instead.
bool IsReadOnlyFile(const std::string& path);
// What a refused save says: "The database file\nPATH\nis read-only. ..."
std::string ReadOnlyFileText(std::string_view what, const std::string& path);

// Calls onLine for every line of the file; a last line without LF counts,
// an empty file has no lines. False when the file cannot be read.
bool ReadTextLines(const std::string& path, const std::function<void(std::string_view)>& onLine);

class CSafeFileWriter {
public:
    CSafeFileWriter() = default;
    CSafeFileWriter(const CSafeFileWriter&) = delete;
    CSafeFileWriter& operator=(const CSafeFileWriter&) = delete;
    ~CSafeFileWriter();

    // Starts the temporary file beside path. With ownerOnly the result is
    // readable and writable by its owner alone; otherwise an existing file
    // keeps its permissions.
    bool Open(const std::string& path, bool ownerOnly = false);
    void Write(std::string_view text);
    // Flushes, closes and renames over the target. False (and the old file
    // untouched) when anything failed.
    bool Commit();
    void Abandon();
    // Why the last Open or Commit failed, in plain words.
    const std::string& Error() const { return m_error; }

private:
    std::filesystem::path m_target;
    std::filesystem::path m_temp;
    std::optional<std::filesystem::perms> m_perms;
    std::ofstream m_out;
    std::string m_error;
    bool m_open = false;
};

}  // namespace tabulon
