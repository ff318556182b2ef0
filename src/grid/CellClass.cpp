#include "grid/CellClass.h"

#include <string_view>

#include "grid/GridCell.h"

namespace tabulon {

const CellClass* FindCellClass(std::string_view name) {
    for (const CellClass* c :
         {&CGridCellBase::Class(), &CGridCell::Class(), &CGridDefaultCell::Class(), &CGridCellCheckBox::Class()}) {
        if (name == c->name) return c;
    }
    return nullptr;
}

}  // namespace tabulon
