#pragma once
// Reading and writing the program's text files. A line ends at LF on reading
// and the CR before it is dropped; lines of any length are read whole. Only
// regular files are read: a folder, a device or a pipe is refused before it
// can fill memory or keep the program waiting. Files are written with CR LF
// by the callers and replace the old file only once everything is on disk,
// keeping what makes it the user's file: its links, owner, group and mode.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tabulon {

// What a path names, links followed.
enum class PathKind {
    Missing,
    File,  // a regular file
    Folder,
    Other,       // a device, a pipe, a socket
    Unreachable  // it cannot even be looked at (a folder on the way forbids it)
};
PathKind KindOfPath(const std::string& path);

// A regular file of that name exists (an empty name finds nothing).
bool FileExists(const std::string& path);

// What follows a path's name in a message when it cannot be a file to read
// or write: "is a folder" or "is not a regular file"; "" for a regular file
// and for nothing there.
std::string NotAFileText(const std::string& path);

// A message about a file with the file's name on the line after its first:
// "File database not found!\n\nSpecify ..." becomes "File database not
// found!\nPATH\n\nSpecify ...". An empty name adds nothing.
std::string WithFileName(std::string_view text, const std::string& path);

// Whether two paths name the same file, through links, relative steps and
// hard links; a file not there yet is compared by where its name leads.
bool IsSameFile(const std::string& a, const std::string& b);

// A file that must not be replaced: its owner may not write it, or the user
// running the program may not (as the system says, whatever the mode bits).
bool IsReadOnlyFile(const std::string& path);
// What running out of memory on a file says: "Not enough memory to DOING\n
// PATH\n\nOUTCOME", for example "Not enough memory to import\n/x.db\n\n
// Nothing was imported."
std::string OutOfMemoryText(std::string_view doing, const std::string& path, std::string_view outcome);

// What a refused save says: "The database file\nPATH\nis read-only. ..."
std::string ReadOnlyFileText(std::string_view what, const std::string& path);

// What a file was when the program last read or wrote it: which file it
// was (device and inode), its size and when it was last written, to the
// nanosecond. A save compares it with the file as it is then, so that it
// does not write over what another program put there meanwhile.
struct FileStamp {
    std::string path;      // the name it was taken under; "" for none
    bool present = false;  // a regular file was there
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
};

// The stamp of path as the file is now, links followed.
FileStamp StampOfFile(const std::string& path);

// Whether the file at path is not the one stamp saw under that name, or
// was written since, or is there now where there was none. A file that is
// gone counts as unchanged (nothing of it can be lost), and so does any
// file while the stamp was taken of no file or of another name.
bool ChangedSince(const FileStamp& stamp, const std::string& path);

// The question before such a file is replaced: "The file\nPATH\nwas changed
// by another program after Tabulon read it.\n\nReplace it with WITH? The
// other program's changes will be lost."
std::string ChangedFileQuestion(const std::string& path, std::string_view with);

// Removes the temporary files of saves under way when the program is ended
// by SIGTERM, SIGINT or SIGHUP, then ends it as the signal would have. A
// signal that was being ignored stays ignored. Called once at start.
void RemoveTemporaryFilesOnSignals();

// While one lives, those signals do not end the program at once: they are
// noted, and work that must tidy up first (a part of the page on a server)
// sees EndingSignalArrived, stops and tidies up. The last one to go then
// ends the program as the signal would have, so that its exit status says
// the signal. A second of the same signal ends it at once.
class CEndingDeferred {
public:
    CEndingDeferred();
    ~CEndingDeferred();
    CEndingDeferred(const CEndingDeferred&) = delete;
    CEndingDeferred& operator=(const CEndingDeferred&) = delete;
};
bool EndingSignalArrived();

// One regular file open for reading. Opening never waits: a pipe or a device
// is refused, not opened for good.
class CFileReader {
public:
    CFileReader() = default;
    CFileReader(const CFileReader&) = delete;
    CFileReader& operator=(const CFileReader&) = delete;
    ~CFileReader();

    bool Open(const std::string& path);
    // Up to size bytes; 0 at the end of the file, -1 after an error.
    long long Read(char* buffer, std::size_t size);
    // Reads the rest of the file into one buffer of size bytes, a block at
    // a time, and gives each block to onBlock; false after an error.
    bool ReadBlocks(std::size_t size, const std::function<void(std::string_view)>& onBlock);
    // The size when it was opened; a file may still grow or shrink.
    std::uintmax_t Size() const { return m_size; }
    // The file as it was when it was opened.
    const FileStamp& Stamp() const { return m_stamp; }
    // Why Open or Read failed, as words that follow the file's name: "does
    // not exist", "is a folder", "could not be read: Permission denied".
    const std::string& Error() const { return m_error; }

private:
    int m_fd = -1;
    std::uintmax_t m_size = 0;
    FileStamp m_stamp;
    std::string m_error;
};

// Calls onLine(line, bytes read so far, the file's size) for every line of
// the file, read a block at a time: a last line without LF counts, an empty
// file has no lines, line ends stay out (a CR before the LF stays in).
// False, with the reason as CFileReader::Error gives it, when the file
// cannot be read whole; the lines before the failure have been handed on.
// stamp, when given, receives the file as it was opened.
using FileLineHandler = std::function<void(std::string_view line, std::uint64_t read, std::uint64_t size)>;
bool ReadFileLines(const std::string& path, const FileLineHandler& onLine, std::string& reason,
                   FileStamp* stamp = nullptr);

// Calls onLine for every line of the file; a last line without LF counts,
// an empty file has no lines. False when the file cannot be read.
bool ReadTextLines(const std::string& path, const std::function<void(std::string_view)>& onLine);

// Writes a file so that a failure at any point leaves the old one as it was.
// Normally the new text goes to a temporary file beside the old one, which
// then takes its place. Where that would change what the file is (the old
// one has further hard links, another owner or a group its writer cannot
// give, or its folder may not be written) the file is written in place
// instead, after a copy of the old text has been made and checked; a failure
// puts the old text back. A symbolic link is kept: the file it names is
// written, unless another user made the link in a shared folder (sticky and
// writable by all, as /tmp): such a link is refused, as the system refuses
// to follow it. Temporary files are made new (never through a link) and
// removed when the program is ended by a signal meanwhile.
class CSafeFileWriter {
public:
    CSafeFileWriter() = default;
    CSafeFileWriter(const CSafeFileWriter&) = delete;
    CSafeFileWriter& operator=(const CSafeFileWriter&) = delete;
    ~CSafeFileWriter();

    // Starts writing path. With ownerOnly the file is readable and writable
    // by its owner alone (an existing file loses any other reader);
    // otherwise an existing file keeps its mode and a new one gets the
    // usual mode for new files.
    bool Open(const std::string& path, bool ownerOnly = false);
    void Write(std::string_view text);
    // The mode a file that is replaced or new gets, instead of the one Open
    // chose; a file written in place keeps its own.
    void SetMode(unsigned mode) { m_newMode = mode; }
    // Puts everything in place. False (and the old file as it was) when
    // anything failed.
    bool Commit();
    void Abandon();
    // Why the last Open or Commit failed, in plain words.
    const std::string& Error() const { return m_error; }
    // Whether Commit writes into the old file rather than replacing it.
    bool WritesInPlace() const { return m_inPlace; }
    // The file as the last successful Commit left it, for the caller to
    // take (by moving it: nothing is allocated once the file is written).
    FileStamp& Written() { return m_written; }

private:
    bool Fail(const std::string& error);
    bool FlushBuffer();
    bool CommitByRename();
    bool CommitInPlace();

    std::string m_path;      // as the caller named it, for messages
    std::string m_target;    // the file itself, links followed
    std::string m_staging;   // where the new text waits
    int m_stagingSlot = -1;  // its place among the files a signal removes
    std::string m_buffer;
    int m_fd = -1;
    int m_writeError = 0;
    bool m_open = false;
    bool m_inPlace = false;
    bool m_ownerOnly = false;
    bool m_existed = false;
    unsigned m_oldMode = 0;
    std::optional<unsigned> m_newMode;
    FileStamp m_written;
    std::string m_error;
};

}  // namespace tabulon
