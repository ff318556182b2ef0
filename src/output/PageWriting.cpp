#include "output/PageWriting.h"

#include <algorithm>
#include <charconv>
#include <memory>

namespace tabulon {

namespace {

// Hands the file's text to the page with the markers replaced. A marker may
// be cut in two by the end of a block: what could be the start of one waits
// for the next block.
class MarkerCopy {
public:
    MarkerCopy(PageBuffer& page, const PageMarkers& markers) : m_page(page), m_markers(markers) {}

    void Add(std::string_view text) {
        if (m_markers.empty()) return m_page.Raw(text);
        m_pending.append(text);
        std::size_t done = 0;
        for (std::size_t at = m_pending.find('<'); at != std::string::npos; at = m_pending.find('<', at)) {
            const std::string_view rest = std::string_view(m_pending).substr(at);
            bool replaced = false;
            bool partial = false;
            for (const auto& [marker, piece] : m_markers) {
                if (rest.starts_with(marker)) {
                    m_page.Raw(std::string_view(m_pending).substr(done, at - done));
                    m_page.Raw(piece);
                    at += marker.size();
                    done = at;
                    replaced = true;
                    break;
                }
                partial = partial || (rest.size() < marker.size() && marker.starts_with(rest));
            }
            if (replaced) continue;
            if (partial) break;
            ++at;
        }
        // Everything before a possible marker's start goes now.
        std::size_t keep = m_pending.size();
        const std::size_t last = m_pending.rfind('<');
        if (last != std::string::npos && last >= done) {
            const std::string_view rest = std::string_view(m_pending).substr(last);
            for (const auto& entry : m_markers)
                if (rest.size() < entry.first.size() && entry.first.starts_with(rest)) keep = last;
        }
        m_page.Raw(std::string_view(m_pending).substr(done, keep - done));
        m_pending.erase(0, keep);
    }
    void Finish() {
        m_page.Raw(m_pending);
        m_pending.clear();
    }

private:
    PageBuffer& m_page;
    const PageMarkers& m_markers;
    std::string m_pending;
};

}  // namespace

std::string Decimal(int value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

bool CopyFileInto(PageBuffer& page, const std::string& path, std::string& reason, const PageMarkers& markers) {
    if (KindOfPath(path) == PathKind::Missing) return true;
    CFileReader file;
    if (!file.Open(path)) {
        reason = file.Error();
        return false;
    }
    // As large as the file, up to a block: a small head costs a small buffer.
    const auto size = static_cast<std::size_t>(std::clamp<std::uintmax_t>(file.Size(), 1, kPageBlockSize));
    MarkerCopy copy(page, markers);
    if (!file.ReadBlocks(size, [&copy](std::string_view block) { copy.Add(block); })) {
        reason = file.Error();
        return false;
    }
    copy.Finish();
    return true;
}

}  // namespace tabulon
