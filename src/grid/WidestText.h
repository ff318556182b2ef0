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
#include <optional>
#include <string>

#include "platform/DeviceContext.h"

namespace tabulon {

struct WidestText {
    std::size_t index = 0;  // of the text, as textAt counts
    int width = 0;          // GetTextExtent(text).cx
};

// The widest of count texts, textAt(i) giving text i, in the font dc has
// selected; none for no texts. Ties go to any of the widest.
std::optional<WidestText> FindWidestText(std::size_t count,
                                         const std::function<const std::string&(std::size_t)>& textAt,
                                         IDeviceContext& dc);

}  // namespace tabulon
