#pragma once
// The steps of work on the two lists, to take back and do again. Both grids
// record every change they go through into the open step; a command, or a
// gesture of the user in a grid, closes it under its own name. Taking a step
// back takes back both grids' records of it, newest first, and what that
// records is the step that does it again. Nothing escapes the records, so
// taking back always gives the lists exactly as they were; the names only
// decide how changes are grouped.

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "grid/GridChanges.h"
#include "grid/GridCtrl.h"

namespace tabulon {

class CUndoStack {
public:
    CUndoStack() = default;
    ~CUndoStack();
    CUndoStack(const CUndoStack&) = delete;
    CUndoStack& operator=(const CUndoStack&) = delete;

    // Starts recording the two grids, with no steps yet.
    void Attach(CGridCtrl& newItems, CGridCtrl& database);

    // What changes made by hand in a grid are called until a command or a
    // gesture names them.
    static constexpr char kByHand[] = "Edit";

    // Closes the open step under name; nothing when nothing changed. False
    // when recording ran out of memory: what the step changed was then taken
    // back, and the step is gone.
    bool Commit(std::string_view name);
    // Takes back what changed since the last step was closed, recording
    // nothing: a command that could not finish leaves the lists as it found
    // them.
    void Abandon();
    // Whether anything changed since the last step was closed.
    bool HasOpenChanges() const;

    bool CanUndo() const { return !m_undo.empty() || HasOpenChanges(); }
    bool CanRedo() const { return !m_redo.empty() && !HasOpenChanges(); }
    // The name of the step Undo or Redo would take; empty when none.
    std::string UndoName() const;
    std::string RedoName() const;
    // Takes the last step back, or does the last one taken back again; false
    // when there is none or memory ran out on the way (the lists are then as
    // far as it got, and every step is forgotten).
    bool Undo();
    bool Redo();

    // Where the last Undo or Redo changed a grid: the first place it changed
    // among the cells in view, which then stay in view, or else the first
    // place it changed, to be brought into view; none when it did not change
    // that grid.
    struct Place {
        CellId cell;
        bool bringIntoView = false;
    };
    std::optional<Place> LastPlace(const CGridCtrl& grid) const {
        return &grid == m_databaseGrid ? m_databasePlace : m_newItemsPlace;
    }

    // Forgets every step and the open changes: the lists as they are now
    // are where work starts (another configuration was opened, or a new one).
    void Clear();
    // Forgets every step and records nothing until as many Resume calls:
    // the lists are being replaced.
    void Suspend();
    void Resume();
    // The 'Database' as it is now is what its file holds.
    // Saved in the middle of a command, it is the state the command's step
    // leaves that was saved.
    void MarkDatabaseSaved();
    // Whether the 'Database' differs from what was last saved or loaded:
    // its items and their columns, not their order.
    bool DatabaseChangedSinceSaved() const { return m_database != m_savedDatabase; }

    // The configuration changed. With a change of the lists (a column
    // inserted, deleted, renamed or moved: the names are the configuration's)
    // it is part of that step, taken back and done again with it; alone (the
    // configuration dialog, the grid lines) no step takes it back.
    void NoteConfigurationChanged();
    // The configuration as it is now is what its file holds (saved, opened,
    // or none open); in the middle of a command, as for the 'Database'.
    void MarkConfigurationSaved();
    bool ConfigurationChangedSinceSaved() const { return m_configAlone || m_config != m_savedConfig; }

    // The oldest steps go, silently, while all steps hold more than a quarter
    // of what the lists hold, or more than the least budget if that is more;
    // the last step always stays.
    static constexpr std::size_t kLeastBudget = std::size_t{64} << 20;
    static constexpr std::size_t kMostSteps = 1000;
    static constexpr std::size_t kBytesPerCell = 64;  // a cell of a list, roughly, text and all
    // True once, the first time older steps went since the lists were
    // opened: the user is told that far back cannot be undone any more.
    bool TakeStepsLetGo();

private:
    struct Step {
        std::string name;
        CGridChanges newItems;
        CGridChanges database;
        std::uint64_t databaseBefore = 0;  // the Database's version before and after
        std::uint64_t databaseAfter = 0;
        std::uint64_t configBefore = 0;  // the configuration's likewise
        std::uint64_t configAfter = 0;
        bool configChanged = false;
        std::size_t bytes = 0;
        bool Changed() const {
            return !newItems.Empty() || !database.Empty() || newItems.Failed() || database.Failed();
        }
    };
    void Record();
    // The open step starts afresh, recording unless suspended.
    void Reopen();
    void Detach();
    // Takes step back, turning it into the step that does it again.
    bool TakeBack(Step& step);
    // Takes the last step of from back (back: it was done) and keeps what
    // does it again on to.
    bool Move(std::deque<std::unique_ptr<Step>>& from, std::deque<std::unique_ptr<Step>>& to, bool back);
    void Trim();
    static std::optional<Place> PlaceToShow(CGridCtrl& grid, const CGridChanges& changes);

    CGridCtrl* m_newItems = nullptr;
    CGridCtrl* m_databaseGrid = nullptr;
    // Where both grids record; moved onto the stack when it is closed. A
    // member, so that opening the next one asks for no memory.
    Step m_open;
    std::deque<std::unique_ptr<Step>> m_undo;
    std::deque<std::unique_ptr<Step>> m_redo;
    std::uint64_t m_database = 0;  // a number for each state the Database was in
    std::uint64_t m_savedDatabase = 0;
    std::uint64_t m_config = 0;  // the same for the configuration
    std::uint64_t m_savedConfig = 0;
    bool m_configAlone = false;  // changed since saved where no step takes it back
    bool m_configSavedInOpenStep = false;
    std::uint64_t m_versions = 0;
    std::size_t m_bytes = 0;
    int m_suspended = 0;
    std::optional<Place> m_newItemsPlace;
    std::optional<Place> m_databasePlace;
    bool m_savedInOpenStep = false;
    bool m_stepsLetGo = false;
    bool m_stepsLetGoTold = false;
};

}  // namespace tabulon
