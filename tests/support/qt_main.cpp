// Test main for widget tests: a QApplication on the offscreen platform (unless
// the caller chose one), set up as the game sets itself up (German standard
// buttons, its fonts), then GoogleTest.
#include <QApplication>
#include <gtest/gtest.h>

#include "app/qt/Anwendung.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTranslator deutsch;
    qmb::anwendungEinrichten(deutsch, "Test");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
