#include <QApplication>
#include <QMainWindow>

#include "core/AppPaths.h"
#include "core/AppState.h"
#include "core/MessageBox.h"
#include "core/SettingsStore.h"
#include "users/cOptions.h"
#include "users/StartUp.h"

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Bramblegate"));
    QApplication::setApplicationVersion(AppVersion());

    QString error;
    std::unique_ptr<SettingsStore> store = SettingsStore::Open(AppPaths::SettingsFile(), &error);
    if (!store) {
        MsgBox(error, msgbox::OKOnly, msgbox::Critical, QString::fromLatin1(ProductName()));
        return 1;
    }
    SettingsStore::SetCurrent(store.get());

    if (!StartUp::Login()) return 0;
    cOptions options(App().CurrentUser);
    App().Options = &options;

    QMainWindow window;
    window.setWindowTitle(StartUp::MainTitle());
    window.resize(1024, 720);
    window.show();
    const int rc = app.exec();
    App().Options = nullptr;
    App().ClearUser();
    return rc;
}
