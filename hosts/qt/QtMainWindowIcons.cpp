#include "qt/QtMainWindowIcons.h"

#include <QPainter>
#include <QPixmap>

#include "app/CommandTable.h"
#include "qt/QtPictures.h"

// The icon's PNG sizes, the same files the desktop's icon theme gets, so
// the window, its about box and the application menu show one picture.
static void LoadApplicationIconResources() { Q_INIT_RESOURCE(icons); }

namespace tabulon::qt {

QIcon CommandIcon(CommandId command) {
    const int resource = PictureOf(command);
    if (resource < 0) return {};
    QIcon icon;
    for (int scale : {1, 2}) {
        const QImage picture = PictureImage(resource, scale);
        if (picture.isNull()) continue;
        // A toolbar button's picture is 17 x 17: the menu's 16 x 15 picture
        // one row down, so it stands in the middle.
        QPixmap button(kToolbarPictureSize * scale, kToolbarPictureSize * scale);
        button.fill(Qt::transparent);
        QPainter painter(&button);
        painter.drawImage(0, scale, picture);
        painter.end();
        button.setDevicePixelRatio(scale);
        icon.addPixmap(button);
    }
    return icon;
}

QIcon ApplicationIcon() {
    LoadApplicationIconResources();
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/tabulon-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace tabulon::qt
