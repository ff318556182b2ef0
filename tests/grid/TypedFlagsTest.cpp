// States and formats are sets of their own kind: they combine within a kind
// and keep the design's bit values, and mixing the kinds does not compile.
// A dialog's control id is no number either: a row or a result code given
// where a control is meant does not compile.

#include <gtest/gtest.h>

#include <type_traits>

#include "grid/GridCtrl.h"
#include "platform/Dialog.h"

namespace tabulon {
namespace {

template <typename A, typename B>
concept Combine = requires(A a, B b) {
    a | b;
};
template <typename Value>
concept SetsFormat = requires(CGridCtrl& grid, Value value) {
    grid.SetCellFormat(0, 0, value);
};

static_assert(Combine<CellState, CellState> && Combine<TextFormat, TextFormat>);
static_assert(!Combine<CellState, TextFormat> && !Combine<CellStates, TextFormats> && !Combine<CellStates, unsigned>);
static_assert(!SetsFormat<CellState> && !SetsFormat<unsigned> && SetsFormat<TextFormats>);
template <typename Value>
concept AddressesControl = requires(IDialogWindow& dialog, Value value) {
    dialog.SetCheck(value, true);
};
static_assert(AddressesControl<ControlId> && !AddressesControl<int> && !std::is_convertible_v<ControlId, int>);

TEST(TypedFlags, CombineAsBitsAndKeepTheDesignsValues) {
    CellStates state = CellState::kFixed | CellState::kFixedRow;
    EXPECT_EQ(state.ToBits(), 0x30u);
    state &= ~CellState::kFixedRow;
    EXPECT_EQ(state, CellState::kFixed);
    EXPECT_FALSE(state & CellState::kSelected);
    EXPECT_EQ((TextFormat::kVCenter | TextFormat::kSingleLine).ToBits(), 0x24u);
}

}  // namespace
}  // namespace tabulon
