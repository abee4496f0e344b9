#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    // Offscreen unless the caller chose a platform (a screen under xvfb-run, say).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
