// One QApplication for every test, on the offscreen platform unless another
// is asked for (screenshots are taken under a real X server).

#include <gtest/gtest.h>

#include "qt/QtApplication.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    tabulon::qt::CQtApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    return RUN_ALL_TESTS();
}
