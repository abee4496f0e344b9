// Main of the window tests: the program's own application object (so that an exception
// escaping a handler is caught as in the program), offscreen unless a platform is chosen,
// and a temporary home so that no test can touch the real one.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "application.h"
#include "kerf_resources.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    if (!home.isValid()) return 1;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    kerf::Application app(argc, argv);
    kerf::init_resources();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
