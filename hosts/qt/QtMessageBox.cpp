#include "qt/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

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
