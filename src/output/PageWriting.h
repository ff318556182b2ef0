#pragma once
// What both pages are written with: a buffer that goes to disk in big
// blocks, and the copying of the user's head and end files into it.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/BigArray.h"
#include "base/TextFile.h"

namespace tabulon {

// The page goes to disk in blocks of about this size, so a list of a million
// items never sits in memory whole.
constexpr std::size_t kPageBlockSize = std::size_t{1} << 20;

std::string Decimal(int value);

// Collects the page and hands it to the file in big blocks.
class PageBuffer {
public:
    // Room for a whole block and the text that ends it, taken once.
    explicit PageBuffer(CSafeFileWriter& file) : m_file(file) { m_buffer.reserve(kPageBlockSize + 4096); }

    // Template pieces carry CR LF already; cell texts, names and colours go
    // in as they stand, HTML and all.
    void Raw(std::string_view text) {
        m_buffer.append(text);
        if (m_buffer.size() >= kPageBlockSize) Flush();
    }
    void Raw(char c) { m_buffer.push_back(c); }
    void Flush() {
        if (m_buffer.empty()) return;
        m_file.Write(m_buffer);
        m_buffer.clear();
    }

private:
    CSafeFileWriter& m_file;
    BigString m_buffer;
};

// A text in a head or end file that stands for a piece of the page, and
// that piece.
using PageMarkers = std::vector<std::pair<std::string_view, std::string>>;

// Copies a head or end file into the page exactly as it is on disk, but for
// the markers, each of which is replaced by its piece. A file that is not
// there adds nothing; false, with the reason, when what is there cannot be
// read (a folder, a device or a pipe is not read at all).
bool CopyFileInto(PageBuffer& page, const std::string& path, std::string& reason, const PageMarkers& markers = {});

}  // namespace tabulon
