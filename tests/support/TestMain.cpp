#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryDir>
#include <utility>

#include "browse/engine/ProgramPages.h"
#include "core/AppPaths.h"
#include "support/TestSupport.h"

#ifdef BG_LEAK_SUPPRESSIONS
// A sanitized build. The runtimes read these before main(); the environment, when set, wins.
constexpr const char* kAsanOptions = "check_initialization_order=1:strict_init_order=1";
constexpr const char* kLsanOptions = "suppressions=" BG_LEAK_SUPPRESSIONS;
constexpr const char* kUbsanOptions = "print_stacktrace=1:halt_on_error=1";
extern "C" const char* __asan_default_options() {
    return kAsanOptions;
}
extern "C" const char* __lsan_default_options() {
    return kLsanOptions;
}
extern "C" const char* __ubsan_default_options() {
    return kUbsanOptions;
}
#endif

namespace {
// Every test starts with the unscripted answerers, whatever the one before it left.
class StrictSeamsListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { InstallStrictSeams(); }
};
} // namespace

// One QApplication for the whole test program, with its own XDG folders so that nothing a
// test writes lands in the real user's data.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#ifdef BG_LEAK_SUPPRESSIONS
    // The same for the programs the tests start (the program itself, a second test process).
    for (const auto& [name, value] :
         {std::pair{"ASAN_OPTIONS", kAsanOptions}, std::pair{"LSAN_OPTIONS", kLsanOptions},
          std::pair{"UBSAN_OPTIONS", kUbsanOptions}})
        if (qEnvironmentVariableIsEmpty(name)) qputenv(name, value);
#endif
    // The home folder too: the desktop's download folder and what the engine keeps there.
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    for (const char* kind : {"DATA", "CONFIG", "CACHE"})
        qputenv(QByteArray("XDG_") + kind + "_HOME", (home.path() + '/' + QString(kind).toLower()).toUtf8());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    ProgramPages::RegisterScheme(); // before the application, as the engine requires
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Bramblegate"));
    // The pages the build copies into its own share/bramblegate.
    AppPaths::SetProgramDataFolder(QStringLiteral(BG_BUILD_DATA_DIR));
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new StrictSeamsListener);
    return RUN_ALL_TESTS();
}
