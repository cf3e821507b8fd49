#include <QApplication>

#include "browse/SearchPages.h"
#include "browse/engine/ProgramPages.h"
#include "browse/engine/WebEnginePane.h"
#include "core/AppPaths.h"
#include "core/AppState.h"
#include "core/Errors.h"
#include "core/MessageBox.h"
#include "core/SettingsStore.h"
#include "browse/frmBrowse.h"
#include "frame/frmMDI.h"
#include "links/frmAddEditLink.h"
#include "users/cOptions.h"
#include "users/StartUp.h"

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    ProgramPages::RegisterScheme(); // the engine wants its schemes before the application
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

    // The local pages (the blank page, the search pages) are written anew at every start.
    SearchPages::CreateHtmFiles();
    if (!StartUp::Login()) return 0;
    cOptions options(App().CurrentUser);
    App().Options = &options;

    int rc = 0;
    {
        frmMDI frame;
        Errors::SetAbortHandler([&frame] { frame.EndApplication(); });
        frame.SetUserCaption();
        frame.RestoreOfflineState();
        frame.show();
        const QString user = App().CurrentUser;
        frmBrowse* browse =
            frame.LoadBrowseWindow([user](QWidget* parent) { return new WebEnginePane(user, parent); });
        if (browse)
            browse->SetLinkEditorOpener([](LinkEditorHost& host, QWidget* parent, const Link* link) {
                if (link)
                    frmAddEditLink::RunEdit(host, *link, parent);
                else
                    frmAddEditLink::RunAdd(host, parent);
            });
        if (!frame.EndRequested()) rc = app.exec();
        Errors::SetAbortHandler({});
    }
    App().Options = nullptr;
    App().ClearUser();
    return rc;
}
