#pragma once

#include <functional>
#include <QString>
#include <QStringList>

// The fields of the login dialog as the account logic reads and writes them (trimmed texts
// are written back).
struct LoginFields {
    QString userName;
    QString password;        // the password; in a password change, the old one
    QString newPassword;     // password change: the new password
    QString reEnterPassword; // new user: the password again; password change: the new one again
};

// The dialog's fields, for "put the focus here and select the whole text".
enum class LoginField { None, UserName, Password, NewPassword, ReEnterPassword };

// What the dialog does after one press of OK.
struct LoginStep {
    enum Outcome {
        Stay,      // the dialog stays open (a message has been shown)
        Succeeded, // logged in, user created, password changed or verified: close
        Failed     // too many wrong passwords: close
    };
    Outcome outcome = Stay;
    LoginField focus = LoginField::None; // after a message about a field
    bool clearNewPasswords = false;      // both new-password boxes are emptied
};

// The user accounts behind the login dialog: each user's master password is stored encrypted
// with itself in "Users", so a candidate is right exactly when decrypting the stored text
// with it gives it back. One object per dialog: it holds the user count read when the dialog
// loaded and the count of wrong passwords.
//
// The process-wide results go to App(): CurrentUser (the name as typed, trimmed), PassPhrase
// (the master password), LoginOK and NewUserCreated.
class Accounts {
public:
    // The "Getting Started" Link of a new user.
    static constexpr const char* kQuickStartUrl = "http://bramblegate.localhost/help/quickstart.asp";

    Accounts();

    int UserCount() const { return m_userCount; }
    int Tries() const { return m_tries; }

    // Login: checks the user and password, and on success logs the user in (LastUser, the
    // per-user upgrade). The third wrong password ends with Failed.
    LoginStep DoLogin(LoginFields& fields);
    // Creates a user after confirmation, with two starting Links, and logs it in.
    LoginStep DoNewUser(LoginFields& fields);
    // Changes the logged-in user's master password and re-encrypts every secret of the user.
    // showUpdating(true/false) brackets the work so the dialog can show that it is busy.
    LoginStep DoSetNewPW(LoginFields& fields, const std::function<void(bool)>& showUpdating = {});
    // Asks the logged-in user for the master password again. Changes no process-wide state.
    LoginStep DoVerify(LoginFields& fields);

    // The users for the user-name list, in proper case and store order, and the last user.
    struct UserList {
        QStringList users;
        QString lastUser;
    };
    static UserList LoadUsers();
    // General\LastUser := CurrentUser in proper case.
    static void SetLastUser();
    // Settings written by old versions keep site user names in plain text: encrypt them once.
    static void UpgradeUserSettings(const QString& user);
    static bool UserExists(const QString& user);
    // Why `name` cannot be added while `existing` is a user (UserNames::SharedWith), in words.
    static QString SharedSettingsText(const QString& name, const QString& existing);
    // True when `candidate` is the user's master password. Touches no process-wide state.
    static bool CheckPassword(const QString& user, const QString& candidate);

private:
    bool WrongPassword(LoginStep& step, bool verifying);

    int m_userCount = 0;
    int m_tries = 0;
};
