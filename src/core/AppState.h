#pragma once

#include <QString>

class UserOptions;

// The process-wide state of the running program, in one place. Everything here lives as long
// as the process; windows and logic read and write it through App().
struct AppState {
    // Name of the logged-in user, exactly as typed at login (trimmed).
    QString CurrentUser;
    // The logged-in user's master password: the pass phrase of every stored secret.
    QString PassPhrase;
    // The logged-in user's options; owned by the frame, set after login.
    UserOptions* Options = nullptr;

    // The login dialog ended with a logged-in user.
    bool LoginOK = false;
    // A user was created during this run (the browse window treats a new user's Links specially).
    bool NewUserCreated = false;
    // The program is shutting down; engine handlers ignore events while it is set.
    bool Unloading = false;
    // The browse window must not save the user's data when it closes.
    bool EndingOnError = false;
    // No favorites refresh is running.
    bool FavoritesReady = true;
    // The account is locked by the inactivity lock.
    bool Locked = false;
    // Diagnostic logging; on only in a diagnostic build.
    bool DiagnosticMode = false;

    // The window in which the user last clicked (0 = none). An opaque identity of a window.
    quintptr LastClickedWindow = 0;

    // Wipes the pass phrase from memory and forgets the user.
    void ClearUser();
};

AppState& App();

// The program's version text: major, minor and patch digits joined ("152" for 1.5.2).
QString AppVersion();
// The product name as shown to users.
inline const char* ProductName() {
    return "Bramblegate";
}
