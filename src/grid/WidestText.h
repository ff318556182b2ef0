#pragma once
// The widest of many texts in one font, exactly as the device context
// measures them, without measuring them all: a million items would take
// seconds. Each text first gets an upper bound from the advances of its
// characters and of their neighbouring pairs (IDeviceContext::
// GetCharsAdvance); then only texts whose bound beats the widest measured so
// far are measured, the highest bounds first. Texts the context gives no
// advances for are measured, each distinct text once.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/BigArray.h"
#include "platform/DeviceContext.h"

namespace tabulon {

struct WidestText {
    std::size_t index = 0;  // of the text, as textAt counts
    int width = 0;          // GetTextExtent(text).cx
};

class CCharAdvances;

// Texts are added one by one, each looked at as it comes (while its cell is
// still at hand), then the widest is found.
class CWidestText {
public:
    // font: the font the texts are drawn in, none for the one dc has.
    CWidestText(IDeviceContext& dc, const LogFont* font);
    ~CWidestText();
    CWidestText(const CWidestText&) = delete;
    CWidestText& operator=(const CWidestText&) = delete;

    // Room for count texts, when about that many will come.
    void Reserve(std::size_t count);
    // text must stay as it is until Find; places count from 0.
    void Add(std::string_view text);
    // The widest text added; none when none was. Ties go to any of the widest.
    std::optional<WidestText> Find();

private:
    struct Entry;
    IDeviceContext& m_dc;
    const LogFont* m_font;
    std::unique_ptr<CCharAdvances> m_advances;
    BigVector<Entry> m_entries;  // one a row of a column being fitted
};

// The widest of count texts, textAt(i) giving text i, in the font dc has
// selected; none for no texts.
std::optional<WidestText> FindWidestText(std::size_t count, const std::function<std::string_view(std::size_t)>& textAt,
                                         IDeviceContext& dc);

}  // namespace tabulon
