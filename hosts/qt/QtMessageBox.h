#pragma once
// Message boxes as QMessageBox. The first button is the default, so Return
// answers OK or Yes; Escape and the close box answer Cancel, or No where
// there is no Cancel.

#include "platform/MessageBox.h"

class QWidget;

namespace tabulon::qt {

class CQtMessageBox final : public IMessageBox {
public:
    // Boxes sit over parent (or the active window when there is none).
    explicit CQtMessageBox(QWidget* parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }
    MbResult Show(const std::string& text, const std::string& caption, MbIcon icon, MbButtons buttons) override;

private:
    QWidget* m_parent;
};

}  // namespace tabulon::qt
