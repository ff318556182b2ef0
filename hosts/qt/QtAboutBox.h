#pragma once
// The about box: the program's icon, name and version, and the maker's web
// address as a link that opens in the user's browser.

#include <QDialog>

#include "qt/QtMessageBox.h"

namespace tabulon {
class IShell;
}

namespace tabulon::qt {

class CQtLinkLabel;

class CQtAboutBox final : public QDialog {
public:
    // shell opens the web address.
    explicit CQtAboutBox(IShell& shell, QWidget* parent = nullptr);
    CQtLinkLabel* WebLink() const { return m_link; }

private:
    CQtMessageBox m_messages{this};
    CQtLinkLabel* m_link = nullptr;
};

}  // namespace tabulon::qt
