#pragma once
// Key codes and modifier flags as the grid's input rules speak of them. The
// codes are the classic virtual-key numbers (the rules name the range
// 0x21-0x28 for the paging and arrow keys); hosts translate their own keys.

namespace tabulon {

namespace Key {
constexpr unsigned kBack = 0x08;
constexpr unsigned kTab = 0x09;
constexpr unsigned kReturn = 0x0D;
constexpr unsigned kShift = 0x10;
constexpr unsigned kControl = 0x11;
constexpr unsigned kEscape = 0x1B;
constexpr unsigned kSpace = 0x20;
constexpr unsigned kPrior = 0x21;  // Page Up
constexpr unsigned kNext = 0x22;   // Page Down
constexpr unsigned kEnd = 0x23;
constexpr unsigned kHome = 0x24;
constexpr unsigned kLeft = 0x25;
constexpr unsigned kUp = 0x26;
constexpr unsigned kRight = 0x27;
constexpr unsigned kDown = 0x28;
constexpr unsigned kDelete = 0x2E;
constexpr unsigned kF2 = 0x71;

// Page Up, Page Down, End, Home and the four arrows.
constexpr bool IsNavigation(unsigned key) { return key >= kPrior && key <= kDown; }
}  // namespace Key

// Held modifiers and buttons, given with every key and mouse event.
namespace Modifier {
constexpr unsigned kNone = 0x0;
constexpr unsigned kShift = 0x1;
constexpr unsigned kControl = 0x2;
constexpr unsigned kLeftButton = 0x4;
}  // namespace Modifier

}  // namespace tabulon
