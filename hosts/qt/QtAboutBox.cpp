#include "qt/QtAboutBox.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "output/ListGenerator.h"
#include "qt/QtLinkLabel.h"
#include "qt/QtText.h"

namespace tabulon::qt {

CQtAboutBox::CQtAboutBox(IShell& shell, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Tabulon"));

    auto* icon = new QLabel(this);
    QIcon programIcon = QApplication::windowIcon();
    if (programIcon.isNull() && parent) programIcon = parent->windowIcon();
    icon->setPixmap(programIcon.pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(QStringLiteral("Tabulon"), this);
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    name->setFont(bold);
    auto* version = new QLabel(QStringLiteral("Version " TABULON_VERSION), this);
    auto* purpose =
        new QLabel(QStringLiteral("Keeps a flat database of items and publishes it as an HTML page."), this);
    purpose->setWordWrap(true);

    // The link keeps the place its static control was given; the label
    // inside shrinks to its text.
    auto* place = new QWidget(this);
    m_link = new CQtLinkLabel(shell, m_messages, place);
    m_link->SetText(std::string(kMakerWebAddress));
    const QFontMetrics metrics(m_link->font());
    const QSize room(metrics.horizontalAdvance(m_link->text()) + 4 * metrics.averageCharWidth(), metrics.height() + 4);
    place->setFixedSize(room);
    m_link->setGeometry(0, 0, room.width(), room.height());
    m_link->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_link->Attach();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(version);
    texts->addSpacing(8);
    texts->addWidget(purpose);
    texts->addSpacing(8);
    texts->addWidget(place);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addSpacing(8);
    all->addWidget(buttons);
    all->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tabulon::qt
