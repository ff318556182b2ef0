#include "items/UndoStack.h"

#include <algorithm>
#include <new>

namespace tabulon {

CUndoStack::~CUndoStack() { Detach(); }

void CUndoStack::Attach(CGridCtrl& newItems, CGridCtrl& database) {
    Detach();
    m_newItems = &newItems;
    m_databaseGrid = &database;
    Clear();
}

void CUndoStack::Detach() {
    if (m_newItems) m_newItems->SetChangeLog(nullptr);
    if (m_databaseGrid) m_databaseGrid->SetChangeLog(nullptr);
}

void CUndoStack::Record() {
    if (!m_newItems || !m_databaseGrid || m_suspended > 0) return;
    m_newItems->SetChangeLog(&m_open.newItems);
    m_databaseGrid->SetChangeLog(&m_open.database);
}

void CUndoStack::Reopen() {
    Detach();
    m_savedInOpenStep = false;
    m_configSavedInOpenStep = false;
    m_open = Step();
    Record();
}

void CUndoStack::MarkDatabaseSaved() {
    m_savedInOpenStep = HasOpenChanges() && !m_open.database.Empty();
    if (!m_savedInOpenStep) m_savedDatabase = m_database;
}

void CUndoStack::NoteConfigurationChanged() {
    // While the lists are being replaced nothing is recorded.
    if (m_suspended > 0)
        m_configAlone = true;
    else
        m_open.configChanged = true;
}

void CUndoStack::MarkConfigurationSaved() {
    m_configSavedInOpenStep = m_open.configChanged;
    if (m_configSavedInOpenStep) return;
    m_savedConfig = m_config;
    m_configAlone = false;
}

// While recording is suspended the open step stays empty.
bool CUndoStack::HasOpenChanges() const { return m_open.Changed(); }

void CUndoStack::Suspend() {
    if (m_suspended++ > 0) return;
    Detach();
    m_undo.clear();
    m_redo.clear();
    m_bytes = 0;
    m_open = Step();
}

void CUndoStack::Resume() {
    if (m_suspended > 0 && --m_suspended == 0) Clear();
}

void CUndoStack::Clear() {
    m_stepsLetGo = m_stepsLetGoTold = false;
    m_undo.clear();
    m_redo.clear();
    m_bytes = 0;
    m_savedDatabase = m_database = ++m_versions;
    Reopen();
}

void CUndoStack::Abandon() {
    // A change of the configuration alone cannot be taken back.
    if (m_open.configChanged && !HasOpenChanges()) m_configAlone = true;
    m_open.configChanged = false;
    if (!HasOpenChanges()) return;
    Detach();
    m_newItems->TakeBack(m_open.newItems);
    m_databaseGrid->TakeBack(m_open.database);
    // Saved half way, the file holds what neither list does now.
    if (m_savedInOpenStep) m_savedDatabase = ++m_versions;
    Reopen();
}

bool CUndoStack::Commit(std::string_view name) {
    if (!HasOpenChanges()) {
        // The configuration changed without the lists: no step takes it back.
        if (m_open.configChanged) {
            m_configAlone = !m_configSavedInOpenStep;
            if (m_configSavedInOpenStep) m_savedConfig = m_config;
            m_open.configChanged = m_configSavedInOpenStep = false;
        }
        return true;
    }
    Detach();
    if (m_open.newItems.Failed() || m_open.database.Failed()) {
        // What could not be recorded did not happen; what was recorded goes
        // back, so that the lists are as they were before the step.
        Abandon();
        return false;
    }
    // An order alone changes nothing the file or the mark would tell.
    const std::uint64_t before = m_database;
    if (!m_open.database.ReordersOnly()) m_database = ++m_versions;
    if (m_savedInOpenStep) m_savedDatabase = m_database;
    m_savedInOpenStep = false;
    const std::uint64_t configBefore = m_config;
    if (m_open.configChanged) m_config = ++m_versions;
    if (m_configSavedInOpenStep) {
        m_savedConfig = m_config;
        m_configAlone = false;
    }
    m_configSavedInOpenStep = false;
    try {
        auto step = std::make_unique<Step>(std::move(m_open));
        step->name = name;
        step->databaseBefore = before;
        step->databaseAfter = m_database;
        step->configBefore = configBefore;
        step->configAfter = m_config;
        step->bytes = step->newItems.Bytes() + step->database.Bytes();
        m_undo.push_back(std::move(step));
        m_bytes += m_undo.back()->bytes;
        for (const auto& redo : m_redo) m_bytes -= redo->bytes;
        m_redo.clear();
        Trim();
    } catch (const std::bad_alloc&) {
        // The step cannot be kept, and with it every older one is of no use:
        // they would take back onto lists they no longer match.
        m_undo.clear();
        m_redo.clear();
        m_bytes = 0;
    }
    Reopen();
    return true;
}

std::string CUndoStack::UndoName() const {
    if (HasOpenChanges()) return kByHand;
    return m_undo.empty() ? std::string() : m_undo.back()->name;
}

std::string CUndoStack::RedoName() const { return CanRedo() ? m_redo.back()->name : std::string(); }

bool CUndoStack::TakeBack(Step& step) {
    CGridChanges newItems;
    CGridChanges database;
    // One progress for both lists.
    const std::uint64_t newItemsUnits = step.newItems.Units();
    const std::uint64_t total = newItemsUnits + step.database.Units();
    m_newItems->TakeBack(step.newItems, newItems, 0, total);
    m_databaseGrid->TakeBack(step.database, database, newItemsUnits, total);
    step.newItems = std::move(newItems);
    step.database = std::move(database);
    m_bytes -= step.bytes;
    if (step.newItems.Failed() || step.database.Failed()) return false;
    step.bytes = step.newItems.Bytes() + step.database.Bytes();
    m_bytes += step.bytes;
    return true;
}

bool CUndoStack::Move(std::deque<std::unique_ptr<Step>>& from, std::deque<std::unique_ptr<Step>>& to, bool back) {
    Detach();
    std::unique_ptr<Step> step = std::move(from.back());
    from.pop_back();
    const bool whole = TakeBack(*step);
    m_database = back ? step->databaseBefore : step->databaseAfter;
    m_config = back ? step->configBefore : step->configAfter;
    m_newItemsPlace = PlaceToShow(*m_newItems, step->newItems);
    m_databasePlace = PlaceToShow(*m_databaseGrid, step->database);
    if (!whole) {
        // The lists match no step any more, and differ from what was saved.
        Clear();
        m_database = ++m_versions;
        if (step->configBefore != step->configAfter) m_config = ++m_versions;
        return false;
    }
    try {
        to.push_back(std::move(step));
    } catch (const std::bad_alloc&) {
        m_bytes -= step->bytes;
    }
    Reopen();
    return true;
}

bool CUndoStack::Undo() {
    if (HasOpenChanges() && !Commit(kByHand)) return false;
    if (m_undo.empty()) return false;
    return Move(m_undo, m_redo, true);
}

bool CUndoStack::Redo() {
    if (!CanRedo()) return false;
    return Move(m_redo, m_undo, false);
}

std::optional<CUndoStack::Place> CUndoStack::PlaceToShow(CGridCtrl& grid, const CGridChanges& changes) {
    // On the screen: the item cells in view, and the fixed rows and columns
    // beside them.
    const CellRange view = grid.GetVisibleNonFixedCellRange();
    const int fixedRows = grid.GetFixedRowCount() - 1;
    const int fixedCols = grid.GetFixedColumnCount() - 1;
    std::optional<CellId> inView;
    for (const CellRange& shown :
         {view, CellRange(0, view.minCol, fixedRows, view.maxCol), CellRange(view.minRow, 0, view.maxRow, fixedCols),
          CellRange(0, 0, fixedRows, fixedCols)})
        if (const std::optional<CellId> place = changes.FirstPlaceIn(shown);
            place && (!inView || std::pair(place->row, place->col) < std::pair(inView->row, inView->col)))
            inView = place;
    if (inView) return Place{*inView, false};
    if (const std::optional<CellId> first = changes.FirstPlace()) return Place{*first, true};
    return std::nullopt;
}

void CUndoStack::Trim() {
    // A quarter of what the lists themselves hold, roughly, and never less
    // than the least budget, which a hundred ordinary steps stay well within.
    std::size_t cells = 0;
    for (const CGridCtrl* grid : {m_newItems, m_databaseGrid})
        cells += static_cast<std::size_t>(grid->GetRowCount()) * static_cast<std::size_t>(grid->GetColumnCount());
    const std::size_t budget = std::max(kLeastBudget, cells * kBytesPerCell / 4);
    while ((m_undo.size() > 1 && m_bytes > budget) || m_undo.size() > kMostSteps) {
        m_bytes -= m_undo.front()->bytes;
        m_undo.pop_front();
        m_stepsLetGo = true;
    }
}

bool CUndoStack::TakeStepsLetGo() {
    if (!m_stepsLetGo || m_stepsLetGoTold) return false;
    m_stepsLetGoTold = true;
    return true;
}

}  // namespace tabulon
