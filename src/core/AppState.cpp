#include "core/AppState.h"

AppState& App() {
    static AppState state;
    return state;
}

void AppState::ClearUser() {
    PassPhrase.fill(QChar(0));
    PassPhrase.clear();
    CurrentUser.clear();
    LoginOK = false;
    NewUserCreated = false;
}

QString AppVersion() {
    return QString::number(BG_APP_VERSION_MAJOR) + QString::number(BG_APP_VERSION_MINOR) +
           QString::number(BG_APP_VERSION_PATCH);
}
