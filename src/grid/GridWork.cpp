#include "grid/GridWork.h"

namespace tabulon {

CGridWork::CGridWork(IGridFrame* frame, const std::string& caption, std::initializer_list<CGridCtrl*> grids) {
    // Room first: once a grid reports to the progress below, nothing may
    // fail, or the grid would keep a progress that is gone.
    m_before.reserve(grids.size());
    IProgress* running = nullptr;
    for (CGridCtrl* grid : grids)
        if (grid && grid->GetProgress()) running = grid->GetProgress();
    if (!running && frame) {
        if (IProgressHost* host = frame->ProgressHost()) {
            m_progress = host->BeginProgress(caption, false);
            running = m_progress.get();
        }
    }
    for (CGridCtrl* grid : grids) {
        if (!grid) continue;
        m_before.emplace_back(grid, grid->GetProgress());
        grid->SetProgress(running);
    }
}

CGridWork::~CGridWork() {
    for (auto it = m_before.rbegin(); it != m_before.rend(); ++it) it->first->SetProgress(it->second);
}

}  // namespace tabulon
