#include "qt/QtFindBar.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <utility>

#include "app/MainFrame.h"
#include "qt/QtText.h"

namespace tabulon::qt {

namespace {

// Counting a million items takes a good part of a second: it waits until
// typing has paused this long.
constexpr int kCountPauseMs = 300;

const QColor kNotFoundColour(255, 205, 205);

}  // namespace

CQtFindBar::CQtFindBar(CMainFrame& frame, std::function<void(bool)> focusPane, QWidget* parent)
    : QToolBar(QStringLiteral("Find"), parent), m_frame(frame), m_focusPane(std::move(focusPane)) {
    setObjectName(QStringLiteral("findBar"));
    setMovable(false);
    auto* label = new QLabel(QStringLiteral("Find: "));
    addWidget(label);
    m_text = new QLineEdit;
    m_text->setObjectName(QStringLiteral("findText"));
    m_text->setAccessibleName(QStringLiteral("Find"));
    m_text->setClearButtonEnabled(true);
    // The clear button is Qt's own, nameless to a screen reader.
    for (QToolButton* clear : m_text->findChildren<QToolButton*>())
        clear->setAccessibleName(QStringLiteral("Clear the search text"));
    m_text->setMinimumWidth(200);
    m_text->installEventFilter(this);
    label->setBuddy(m_text);
    addWidget(m_text);
    m_matchCase = new QCheckBox(QStringLiteral("Match case"));
    m_wholeCell = new QCheckBox(QStringLiteral("Whole cell"));
    m_column = new QComboBox;
    m_column->setAccessibleName(QStringLiteral("Column"));
    // On Linux a drop-down list is read after its label's text, not its own
    // name: the column's label is there for that alone.
    auto* columnLabel = new QLabel(QStringLiteral("Column"), this);
    columnLabel->hide();
    columnLabel->setBuddy(m_column);
    m_pane = new QComboBox;
    m_pane->addItems({QStringLiteral("New items"), QStringLiteral("Database")});
    m_result = new QLabel;
    m_result->setObjectName(QStringLiteral("findResult"));
    m_result->setAccessibleName(QStringLiteral("Matches"));
    // As wide as the widest count it shows, so that nothing beside it moves
    // as the count changes.
    m_result->setMinimumWidth(m_result->fontMetrics().horizontalAdvance(QStringLiteral("9,999,999 of 9,999,999")));
    m_pane->setAccessibleName(QStringLiteral("Search in"));
    for (QWidget* widget : std::initializer_list<QWidget*>{m_matchCase, m_wholeCell, m_column}) {
        addSeparator();
        addWidget(widget);
    }
    auto* in = new QLabel(QStringLiteral(" in: "));
    in->setBuddy(m_pane);
    addWidget(in);
    addWidget(m_pane);
    addSeparator();
    addWidget(m_result);
    QAction* close = addAction(style()->standardIcon(QStyle::SP_TitleBarCloseButton), QStringLiteral("Close"));
    connect(close, &QAction::triggered, this, &CQtFindBar::Close);

    m_countLater.setSingleShot(true);
    connect(&m_countLater, &QTimer::timeout, this, &CQtFindBar::Count);
    connect(&m_copyTexts, &QTimer::timeout, this, &CQtFindBar::CopyTexts);
    const auto changed = [this] {
        ShowFound(true);
        m_result->clear();
        m_countLater.start(kCountPauseMs);
        m_copyTexts.start(0);
    };
    connect(m_text, &QLineEdit::textChanged, this, changed);
    connect(m_matchCase, &QCheckBox::toggled, this, changed);
    connect(m_wholeCell, &QCheckBox::toggled, this, changed);
    connect(m_column, &QComboBox::currentIndexChanged, this, changed);
    connect(m_pane, &QComboBox::currentIndexChanged, this, [this, changed] {
        FillColumns();
        changed();
    });
}

void CQtFindBar::Open(bool databasePane) {
    {
        const QSignalBlocker quiet(m_pane);
        m_pane->setCurrentIndex(databasePane ? 1 : 0);
    }
    FillColumns();
    show();
    // From a tool window too: the keyboard goes into the field.
    if (QWidget* main = window(); main && !main->isActiveWindow()) main->activateWindow();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
    m_countLater.start(kCountPauseMs);
    m_copyTexts.start(0);
}

void CQtFindBar::Close() {
    m_countLater.stop();
    m_copyTexts.stop();
    m_frame.ForgetFindTexts();
    hide();
    m_focusPane(DatabasePane());
}

void CQtFindBar::Find(bool backwards) {
    if (m_text->text().isEmpty()) return;
    const CMainFrame::FindOutcome outcome = m_frame.FindText(Query(), DatabasePane(), backwards);
    ShowFound(outcome.found);
    // "3 of 41" follows once the cell found is on the screen.
    m_countLater.start(outcome.found ? 50 : kCountPauseMs);
    m_copyTexts.start(0);
}

bool CQtFindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Find((key->modifiers() & Qt::ShiftModifier) != 0);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            Close();
            return true;
        }
    }
    return QToolBar::eventFilter(watched, event);
}

bool CQtFindBar::DatabasePane() const { return m_pane->currentIndex() == 1; }

SearchQuery CQtFindBar::Query() const {
    // The column choice lists "All", then the data columns from column 1 on.
    const int choice = m_column->currentIndex();
    const bool one = choice > 0 && choice <= static_cast<int>(m_columnNames.size());
    return {Utf8FromText(m_text->text()), m_matchCase->isChecked(), m_wholeCell->isChecked(), one ? choice : -1,
            one ? m_columnNames[static_cast<std::size_t>(choice - 1)] : std::string()};
}

void CQtFindBar::FillColumns() {
    const QSignalBlocker quiet(m_column);
    // The column chosen stays chosen wherever it went; one that is gone
    // leaves every column chosen.
    const int before = m_column->currentIndex();
    const std::string chosen =
        before > 0 && before <= static_cast<int>(m_columnNames.size()) ? m_columnNames[before - 1] : std::string();
    m_columnNames = m_frame.SearchColumnNames(DatabasePane());
    m_column->clear();
    m_column->addItem(QStringLiteral("All"));
    for (const std::string& name : m_columnNames) m_column->addItem(TextFromBytes(name));
    int now = 0;
    if (!chosen.empty()) {
        if (before <= static_cast<int>(m_columnNames.size()) && m_columnNames[before - 1] == chosen) {
            now = before;
        } else {
            const auto found = std::find(m_columnNames.begin(), m_columnNames.end(), chosen);
            if (found != m_columnNames.end()) now = static_cast<int>(found - m_columnNames.begin()) + 1;
        }
    }
    m_column->setCurrentIndex(now);
}

void CQtFindBar::ColumnsChanged(bool databasePane) {
    if (!isVisible() || databasePane != DatabasePane()) return;
    FillColumns();
    // The cells the count and the copy saw have moved.
    m_countLater.start(kCountPauseMs);
    m_copyTexts.start(0);
}

void CQtFindBar::ShowFound(bool found) {
    QPalette palette = m_text->style()->standardPalette();
    if (!found) palette.setColor(QPalette::Base, kNotFoundColour);
    m_text->setPalette(found ? QPalette() : palette);
}

void CQtFindBar::CopyTexts() {
    // Under a progress window the lists may be half changed; the copying
    // goes on after it.
    if (QApplication::activeModalWidget()) return;
    if (!isVisible() || m_frame.PrepareFind(DatabasePane())) m_copyTexts.stop();
}

void CQtFindBar::Count() {
    if (m_text->text().isEmpty() || !isVisible()) {
        m_result->clear();
        return;
    }
    if (QApplication::activeModalWidget()) {
        m_countLater.start(kCountPauseMs);
        return;
    }
    const CCellSearch::Count count = m_frame.CountFound(Query(), DatabasePane());
    if (count.rank > 0)
        m_result->setText(QStringLiteral("%1 of %2").arg(count.rank).arg(count.total));
    else
        m_result->setText(count.total == 1 ? QStringLiteral("1 match") : QStringLiteral("%1 matches").arg(count.total));
}

}  // namespace tabulon::qt
