#pragma once
// Cell classes that a grid can create by reference or by name.

#include <memory>
#include <string_view>

namespace tabulon {

class CGridCellBase;

struct CellClass {
    const char* name;
    const CellClass* base;                       // none for the root
    std::unique_ptr<CGridCellBase> (*create)();  // none for an abstract class

    bool IsDerivedFrom(const CellClass& other) const {
        for (const CellClass* c = this; c; c = c->base)
            if (c == &other) return true;
        return false;
    }
};

// The class registered under that name, or none.
const CellClass* FindCellClass(std::string_view name);

}  // namespace tabulon
