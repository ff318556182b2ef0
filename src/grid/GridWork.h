#pragma once
// Work that may run long on a big list (loading, sorting, fitting, moving
// items): while it lasts, the loops of the grids it works on report how far
// they have got to the frame's progress host, which shows a progress window
// once the work has run for half a second and keeps the windows painted.
// Work begun inside other work joins it rather than showing a second window.

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "grid/GridCtrl.h"

namespace tabulon {

class CGridWork {
public:
    CGridWork(IGridFrame* frame, const std::string& caption, std::initializer_list<CGridCtrl*> grids);
    ~CGridWork();
    CGridWork(const CGridWork&) = delete;
    CGridWork& operator=(const CGridWork&) = delete;

private:
    std::unique_ptr<IProgress> m_progress;
    std::vector<std::pair<CGridCtrl*, IProgress*>> m_before;
};

}  // namespace tabulon
