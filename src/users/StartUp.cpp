#include "users/StartUp.h"

#include "core/AppState.h"
#include "core/MessageBox.h"
#include "users/LoginDialog.h"

namespace StartUp {

bool Login() {
    App().LoginOK = false;
    LoginDialog dialog(QString::fromLatin1(LoginDialog::kLogin));
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    modal::RunModal(dialog);
    return App().LoginOK;
}

QString MainTitle() {
    return QString::fromLatin1(ProductName()) + QStringLiteral(" - ") + App().CurrentUser;
}

} // namespace StartUp
