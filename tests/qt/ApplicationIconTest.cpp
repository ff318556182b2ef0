// The window's icon is the one the desktop's icon theme gets: every size,
// pixel for pixel.

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QString>

#include "qt/QtMainWindowIcons.h"

using namespace tabulon::qt;

TEST(ApplicationIcon, EverySizeIsTheInstalledPicture) {
    const QIcon icon = ApplicationIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage installed(
            QStringLiteral(TABULON_SOURCE_DIR "/resources/icons/com.korvanex.Tabulon-%1.png").arg(size));
        ASSERT_EQ(installed.size(), QSize(size, size));
        // Compared as a pixmap holds them, premultiplied, so that faint
        // edge pixels round alike.
        const auto premultiplied = QImage::Format_ARGB32_Premultiplied;
        EXPECT_EQ(icon.pixmap(size, size).toImage().convertToFormat(premultiplied),
                  installed.convertToFormat(premultiplied));
    }
}
