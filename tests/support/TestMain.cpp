#include <gtest/gtest.h>
#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "browse/engine/ProgramPages.h"
#include "core/AppPaths.h"

// One QApplication for the whole test program, with its own XDG folders so that nothing a
// test writes lands in the real user's data.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + "/cache").toUtf8());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    ProgramPages::RegisterScheme(); // before the application, as the engine requires
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Bramblegate"));
    // The pages the build copies into its own share/bramblegate.
    AppPaths::SetProgramDataFolder(QStringLiteral(BG_BUILD_DATA_DIR));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
