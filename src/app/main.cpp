#include <QApplication>

#include "browse/engine/ProgramPages.h"
#include "browse/engine/WebEnginePane.h"
#include "core/AppState.h"
#include "frame/frmMDI.h"

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    ProgramPages::RegisterScheme(); // the engine wants its schemes before the application
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(ProductName()));
    QApplication::setApplicationVersion(AppVersion());

    frmMDI frame([](QWidget* parent) { return new WebEnginePane(App().CurrentUser, parent); });
    return frame.Run();
}
