#pragma once
// The find bar under the toolbar (Edit > Find..): the text, "Match case",
// "Whole cell", the column and the pane to search. Return finds the next
// cell that holds the text, Shift+Return the one before; Escape closes the
// bar and leaves the keyboard in the searched pane, on the cell found. The
// matches are counted once typing has paused.

#include <QTimer>
#include <QToolBar>
#include <functional>
#include <string>
#include <vector>

#include "tools/CellSearch.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace tabulon {
class CMainFrame;
}

namespace tabulon::qt {

class CQtFindBar final : public QToolBar {
    Q_OBJECT
public:
    // focusPane gives the keyboard to a pane's grid ('Database' when true).
    CQtFindBar(CMainFrame& frame, std::function<void(bool databasePane)> focusPane, QWidget* parent = nullptr);

    // Shows the bar on the pane given, the text selected for typing over.
    void Open(bool databasePane);
    void Close();
    void Find(bool backwards);
    // The columns of a pane changed: while the bar searches that pane, its
    // column choice lists them anew and keeps the column chosen by its name.
    void ColumnsChanged(bool databasePane);
    QComboBox* ColumnChoice() const { return m_column; }

    QLineEdit* Field() const { return m_text; }
    QLabel* Result() const { return m_result; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool DatabasePane() const;
    SearchQuery Query() const;
    void FillColumns();
    void ShowFound(bool found);
    void Count();
    void CopyTexts();

    CMainFrame& m_frame;
    std::function<void(bool)> m_focusPane;
    QLineEdit* m_text = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QCheckBox* m_wholeCell = nullptr;
    QComboBox* m_column = nullptr;
    std::vector<std::string> m_columnNames;  // the headings m_column lists after "All"
    QComboBox* m_pane = nullptr;
    QLabel* m_result = nullptr;
    QTimer m_countLater;
    // While the bar is open and the user idle, the pane's texts are copied
    // a part at a time for fast searches.
    QTimer m_copyTexts;
};

}  // namespace tabulon::qt
