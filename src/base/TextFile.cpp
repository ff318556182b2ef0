#include "base/TextFile.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace tabulon {

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    return fs::is_regular_file(fs::path(path), ec);
}

bool IsReadOnlyFile(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec) return false;
    return (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

std::string ReadOnlyFileText(std::string_view what, const std::string& path) {
    std::string text = "The ";
    text += what;
    text += " file\n" + path + "\nis read-only.\n\nNothing was saved.";
    return text;
}

bool ReadTextLines(const std::string& path, const std::function<void(std::string_view)>& onLine) {
    if (path.empty()) return false;
    std::error_code ec;
    if (fs::is_directory(fs::path(path), ec)) return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::vector<char> block(1 << 20);
    std::string pending;  // a line begun in an earlier block
    bool ok = true;
    auto emit = [&](std::string_view line) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        onLine(line);
    };
    for (;;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), file);
        if (got == 0) {
            if (std::ferror(file)) ok = false;
            break;
        }
        std::string_view data(block.data(), got);
        std::size_t start = 0;
        for (;;) {
            const std::size_t lf = data.find('\n', start);
            if (lf == std::string_view::npos) break;
            if (pending.empty()) {
                emit(data.substr(start, lf - start));
            } else {
                pending.append(data.substr(start, lf - start));
                emit(pending);
                pending.clear();
            }
            start = lf + 1;
        }
        pending.append(data.substr(start));
    }
    if (!pending.empty()) emit(pending);
    std::fclose(file);
    return ok;
}

CSafeFileWriter::~CSafeFileWriter() { Abandon(); }

bool CSafeFileWriter::Open(const std::string& path, bool ownerOnly) {
    Abandon();
    m_error.clear();
    m_target = fs::path(path);
    std::error_code ec;
    m_perms.reset();
    if (ownerOnly) {
        m_perms = fs::perms::owner_read | fs::perms::owner_write;
    } else if (fs::exists(m_target, ec)) {
        m_perms = fs::status(m_target, ec).permissions();
        if (ec) m_perms.reset();
    }
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path folder = m_target.parent_path();
    std::string name = ".";
    name += m_target.filename().string();
    name += ".tmp";
    name += std::to_string(stamp);
    name += '-';
    name += std::to_string(counter++);
    m_temp = folder / name;
    // Create the file empty first and narrow its permissions before anything is
    // written into it.
    {
        std::ofstream create(m_temp, std::ios::binary | std::ios::trunc);
        if (!create) {
            m_error = "cannot create a file in the folder of " + path;
            return false;
        }
    }
    if (m_perms) {
        fs::permissions(m_temp, *m_perms, fs::perm_options::replace, ec);
        if (ec) {
            fs::remove(m_temp, ec);
            m_error = "cannot set the permissions of " + path;
            return false;
        }
    }
    m_out.open(m_temp, std::ios::binary | std::ios::trunc);
    if (!m_out) {
        fs::remove(m_temp, ec);
        m_error = "cannot write " + path;
        return false;
    }
    m_open = true;
    return true;
}

void CSafeFileWriter::Write(std::string_view text) {
    if (m_open) m_out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

bool CSafeFileWriter::Commit() {
    if (!m_open) {
        if (m_error.empty()) m_error = "the file was not opened";
        return false;
    }
    m_out.flush();
    const bool written = m_out.good();
    m_out.close();
    m_open = false;
    std::error_code ec;
    if (!written || m_out.fail()) {
        fs::remove(m_temp, ec);
        m_error = "cannot write " + m_target.string() + " (is the disk full?)";
        return false;
    }
    fs::rename(m_temp, m_target, ec);
    if (ec) {
        fs::remove(m_temp, ec);
        m_error = "cannot replace " + m_target.string();
        return false;
    }
    return true;
}

void CSafeFileWriter::Abandon() {
    if (!m_open) return;
    m_out.close();
    m_open = false;
    std::error_code ec;
    fs::remove(m_temp, ec);
}

}  // namespace tabulon
