#include "users/ProgramEnd.h"

#include <QCoreApplication>

#include "core/AppState.h"

namespace ProgramEnd {
namespace {
Handler g_unloadFrame;
Handler g_endNow;

void quitApplication() {
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, &QCoreApplication::quit, Qt::QueuedConnection);
}
} // namespace

void SetUnloadFrameHandler(Handler handler) {
    g_unloadFrame = std::move(handler);
}

void UnloadFrame() {
    if (g_unloadFrame)
        g_unloadFrame();
    else
        quitApplication();
}

void SetEndNowHandler(Handler handler) {
    g_endNow = std::move(handler);
}

void EndNowWithoutSaving() {
    App().Unloading = true;
    // Whatever still runs before the process is gone must not save over what was just written.
    App().EndingOnError = true;
    if (g_endNow)
        g_endNow();
    else
        quitApplication();
}

} // namespace ProgramEnd
