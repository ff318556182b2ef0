#include "qt/QtMessageBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

#include "qt/QtAsking.h"
#include "qt/QtText.h"

namespace tabulon::qt {

MbResult CQtMessageBox::Show(const std::string& text, const std::string& caption, MbIcon icon, MbButtons buttons) {
    // Over the dialog that asks, if one is up, else over the main window.
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = m_parent ? m_parent : QApplication::activeWindow();
    QMessageBox box(parent);
    // An empty title would make the desktop show the program's name there;
    // a box without a caption shows none.
    box.setWindowTitle(caption.empty() ? QStringLiteral(" ") : TextFromBytes(caption));
    box.setText(TextFromBytes(text));
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
    case MbIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MbIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MbIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MbIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MbIcon::Stop: box.setIcon(QMessageBox::Critical); break;
    }
    QList<QMessageBox::StandardButton> order;
    switch (buttons) {
    case MbButtons::Ok: order = {QMessageBox::Ok}; break;
    case MbButtons::OkCancel: order = {QMessageBox::Ok, QMessageBox::Cancel}; break;
    case MbButtons::YesNo: order = {QMessageBox::Yes, QMessageBox::No}; break;
    case MbButtons::YesNoCancel: order = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}; break;
    }
    QMessageBox::StandardButtons set;
    for (auto b : order) set |= b;
    box.setStandardButtons(set);
    box.setDefaultButton(order.front());
    // Escape gives the last way out the box has: Cancel, else No, else OK.
    box.setEscapeButton(order.back());
    // Wide enough for its caption, which the title bar would cut short
    // ("Ftp connection error" over a short reply); the frame's own buttons
    // and icon take some of that bar.
    constexpr int kTitleBarExtras = 140;
    const int titleWidth = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kTitleBarExtras;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0,
                      1, grid->columnCount());
    {
        const CAsking asking;
        box.exec();
    }
    QAbstractButton* clicked = box.clickedButton();
    const QMessageBox::StandardButton answer = clicked ? box.standardButton(clicked) : order.back();
    switch (answer) {
    case QMessageBox::Yes: return MbResult::Yes;
    case QMessageBox::No: return MbResult::No;
    case QMessageBox::Ok: return MbResult::Ok;
    default: return MbResult::Cancel;
    }
}

}  // namespace tabulon::qt
