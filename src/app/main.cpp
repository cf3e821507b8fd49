#include <QApplication>
#include <QDir>

#include "browse/engine/ProgramPages.h"
#include "browse/engine/WebEnginePane.h"
#include "core/AppState.h"
#include "frame/CommandLine.h"
#include "frame/MainWindow.h"

int main(int argc, char* argv[]) {
    // Read before the application exists: --help and --version need no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine commandLine = CommandLine::Parse(arguments, QDir::currentPath());
    if (commandLine.RequestedAction() != CommandLine::Action::Run) return commandLine.Answer();

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    ProgramPages::RegisterScheme(); // the engine wants its schemes before the application
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(ProductName()));
    QApplication::setApplicationVersion(AppVersion());
    // The desktop matches the windows with the installed menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.bramblegate.Bramblegate"));

    MainWindow frame([](QWidget* parent) { return new WebEnginePane(App().CurrentUser, parent); });
    frame.LifeCycle().SetStartAddresses(commandLine.Addresses());
    return frame.LifeCycle().Run();
}
