#include "users/Accounts.h"

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/Errors.h"
#include "core/MessageBox.h"
#include "core/PasswordChange.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "core/StoredNames.h"
#include "core/UrlUtils.h"
#include "links/Links.h"
#include "users/DeleteUser.h"
#include "users/UserNames.h"

using namespace core;
using namespace stored;

namespace {

// The boxes of this dialog end their text with two carriage returns.
msgbox::Result say(const QString& text, const QString& title, msgbox::Icon icon = msgbox::Exclamation,
                   msgbox::Buttons buttons = msgbox::OKOnly) {
    return MsgBox(text + CR + CR, buttons, icon, title);
}

QString product() {
    return QString::fromLatin1(ProductName());
}

bool confirmNewPassword() {
    const QString text = QStringLiteral("Please make sure you remember your Password.") + CR +
                         QStringLiteral("We will not be able to help if you forget this") + CR +
                         QStringLiteral("Password  (Password for login to ") + product() +
                         QStringLiteral(").") + CR + CR +
                         QStringLiteral("The only alternative will be to create a new User account.") + CR +
                         QStringLiteral("Proceed with saving the New Password?") + CR + CR;
    return MsgBox(text, msgbox::YesNo, msgbox::Question, QStringLiteral("Save New Password")) == msgbox::Yes;
}

// A master password must survive the 8-bit code page unchanged, or the secrets it protects
// could not be read back. The message does not repeat the character: it is part of a secret.
bool encodable(const QString& password, const QString& title) {
    if (CodePage::CanEncode(password)) return true;
    say(QStringLiteral("The password contains a character that cannot be used in a password. Please use only "
                       "Western European letters, digits and punctuation."),
        title);
    return false;
}

// Why the store refused the last save, for a message.
QString storeFailure() {
    SettingsStore* store = SettingsStore::Current();
    const QString why = store ? store->FailureText() : QString();
    return why.isEmpty() ? QStringLiteral("the settings file reported an error") : why;
}

LoginStep stay(LoginField focus) {
    LoginStep step;
    step.focus = focus;
    return step;
}

LoginStep done(LoginStep::Outcome outcome) {
    LoginStep step;
    step.outcome = outcome;
    return step;
}

} // namespace

QString Accounts::SharedSettingsText(const QString& name, const QString& existing) {
    return QStringLiteral("The UserName '") + name + QStringLiteral("' cannot be used while the User '") +
           existing +
           QStringLiteral("' exists: the two Users would keep their settings under the same names, so that "
                          "each would change, and deleting one would delete, the settings of the other.");
}

Accounts::Accounts() {
    m_userCount = ReadInt(kGeneral, general::kUserCount);
}

Accounts::UserList Accounts::LoadUsers() {
    UserList list;
    QStringList names, values;
    EnumValues(QStringLiteral("Software\\") + AppKeyName() + QLatin1Char('\\') + kUsers, names, values);
    for (const QString& name : names)
        if (!name.isEmpty()) list.users << core::ProperCase(name);
    list.lastUser = GetValue(kGeneral, general::kLastUser);
    return list;
}

void Accounts::SetLastUser() {
    SaveValue(kGeneral, general::kLastUser, core::ProperCase(App().CurrentUser));
}

void Accounts::UpgradeUserSettings(const QString& user) {
    if (!GetValue(user, stored::user::kVersion).isEmpty()) return;
    StoreTransaction transaction;
    QStringList names, values;
    EnumValues(QStringLiteral("Software\\") + AppKeyName() + QLatin1Char('\\') + user, names, values);
    for (int i = 0; i < names.size(); ++i) {
        if (!names[i].startsWith(QLatin1String("UserName"), Qt::CaseInsensitive)) continue;
        const QString plain = GetValue(user, names[i]); // read whole: the enumeration trims
        if (!plain.isEmpty()) SaveValue(user, names[i], plain, true);
    }
    SaveValue(user, stored::user::kVersion, AppVersion());
    transaction.Commit();
}

bool Accounts::UserExists(const QString& user) {
    return !user.isEmpty() && ValueExists(kUsers, user);
}

bool Accounts::CheckPassword(const QString& user, const QString& candidate) {
    if (candidate.isEmpty() || !CodePage::CanEncode(candidate) || !UserExists(user)) return false;
    const QString stored = GetValue(kUsers, user);
    try {
        return SecretCipher::DecryptMessage(stored, candidate) == candidate;
    } catch (const BgError&) {
        return false; // a damaged record matches no password
    }
}

bool Accounts::WrongPassword(LoginStep& step, bool verifying) {
    ++m_tries;
    if (m_tries < 3) {
        say(QStringLiteral("Invalid Password. Try again!"), QStringLiteral("Login"));
        step = stay(LoginField::Password);
        return false;
    }
    if (!verifying)
        say(QStringLiteral("Invalid Password! The maximum number of tries has been exceeded. ") + product() +
                QStringLiteral(" will exit now."),
            QStringLiteral("Login Failed"));
    step = done(LoginStep::Failed);
    return true;
}

LoginStep Accounts::DoLogin(LoginFields& fields) {
    const QString login = QStringLiteral("Login");
    fields.userName = fields.userName.trimmed();
    fields.password = fields.password.trimmed();
    const QString& user = fields.userName;

    if (user.isEmpty()) {
        say(QStringLiteral("Please enter or select a UserName. Try again!"), login);
        return stay(LoginField::UserName);
    }
    const bool exists = UserExists(user);
    if (fields.password.isEmpty()) {
        // Only an existing user has a flag to read; reading another would create its key.
        if (exists && ReadBool(user, stored::user::kWarnPasswordReset))
            say(product() + QStringLiteral(" does not support blank passwords any more.") + CR +
                    QStringLiteral("Your new password now is the same as your UserName, ") + CR +
                    QStringLiteral("all in lower case: ") + user.toLower() + CR + CR +
                    QStringLiteral("You may change your password after login at any time."),
                QStringLiteral("Password Reset"), msgbox::Critical);
        else
            say(QStringLiteral("Please enter your Password. Try again!"), login);
        return stay(LoginField::Password);
    }
    if (!exists) {
        say(QStringLiteral("Invalid User Name. Try again!"), login);
        return stay(LoginField::UserName);
    }

    App().CurrentUser = user;
    App().PassPhrase = fields.password;
    LoginStep step;
    if (!CheckPassword(user, fields.password)) {
        if (WrongPassword(step, false)) {
            App().ClearUser(); // the program ends; nothing may keep the typed password
            App().LoginOK = false;
        }
        return step;
    }
    m_tries = 0;
    App().LoginOK = true;
    SetLastUser();
    UpgradeUserSettings(App().CurrentUser);
    return done(LoginStep::Succeeded);
}

LoginStep Accounts::DoNewUser(LoginFields& fields) {
    const QString title = QStringLiteral("Create A New User");
    fields.userName = fields.userName.trimmed();
    fields.password = fields.password.trimmed();
    fields.reEnterPassword = fields.reEnterPassword.trimmed();
    const QString& user = fields.userName;
    const QString& password = fields.password;

    if (user.isEmpty()) {
        say(QStringLiteral("A UserName IS required. Try again!"), title);
        return stay(LoginField::UserName);
    }
    if (UserExists(user)) {
        say(QStringLiteral("A User with this name already exists. Please select another User Name!"), title);
        return stay(LoginField::UserName);
    }
    if (const QString problem = UserNames::Problem(user); !problem.isEmpty()) {
        say(QStringLiteral("This name cannot be used as a UserName. ") + problem +
                QStringLiteral(" Please select another User Name!"),
            title);
        return stay(LoginField::UserName);
    }
    if (const QString other = UserNames::SharedWith(user, UserNames::StoredUsers()); !other.isEmpty()) {
        say(SharedSettingsText(user, other) + QStringLiteral(" Please select another User Name!"), title);
        return stay(LoginField::UserName);
    }
    if (password.size() < 4) {
        say(QStringLiteral("Password must be at least 4 characters long!"), title);
        return stay(LoginField::Password);
    }
    if (password.size() >= 13) {
        say(QStringLiteral("Password may be maximum 12 characters long!"), title);
        return stay(LoginField::Password);
    }
    if (password != fields.reEnterPassword) {
        say(QStringLiteral("Your password values in the two password fields do not match. Please re-enter "
                           "passwords!"),
            title);
        return stay(LoginField::Password);
    }
    if (!encodable(password, title)) return stay(LoginField::Password);
    if (!confirmNewPassword()) return stay(LoginField::None);

    // Web data under this name is a deleted user's, kept by an engine that was still running.
    UserDeletion::RemoveUserProfileFolder(user, false);
    const AppState before = App();
    bool committed = false;
    try {
        // The account, its password and its starting Links come into being together, or not at all.
        StoreTransaction transaction;
        App().LoginOK = true;
        App().CurrentUser = user;
        App().NewUserCreated = true;
        SaveValue(kGeneral, general::kUserCount.name, QString::number(m_userCount + 1));
        SaveValue(user, stored::user::kVersion, AppVersion());
        SaveUserPassword(kUsers, user, password, QString());
        {
            Links links(user);
            links.Add(QStringLiteral("Home Page$$"), SecretCipher::EncryptMessage(QStringLiteral("BGDummy")),
                      QString(), QString(), QString(), QString(), true, false, -1, true);
            links.Add(QStringLiteral("Getting Started"),
                      SecretCipher::EncryptMessage(QString::fromLatin1(kQuickStartUrl)), QString(), QString(),
                      QString(), QString(), true, false, -1, true);
        }
        SetLastUser();
        committed = transaction.Commit();
    } catch (const BgError& e) {
        // A refused save of a part (the starting Links) is the refusal of the whole.
        if (e.Number() != ErrNo::NotSaved) {
            App() = before;
            Errors::ReportErrorInfo(QStringLiteral("frmLogin"), QStringLiteral("DoNewUser"), e.Description());
            return stay(LoginField::None);
        }
    }
    if (!committed) {
        App() = before;
        say(QStringLiteral("The new User could not be saved: ") + storeFailure() +
                QStringLiteral(". No User was created."),
            title);
        return stay(LoginField::None);
    }
    ++m_userCount;
    return done(LoginStep::Succeeded);
}

LoginStep Accounts::DoSetNewPW(LoginFields& fields, const std::function<void(bool)>& showUpdating) {
    const QString user = App().CurrentUser;
    const QString oldPassword = fields.password;
    if (!CheckPassword(user, oldPassword) || oldPassword != App().PassPhrase) {
        say(QStringLiteral("Invalid UserName or Password. Try again!"), QStringLiteral("Change Password"));
        return stay(LoginField::Password);
    }
    fields.newPassword = fields.newPassword.trimmed();
    fields.reEnterPassword = fields.reEnterPassword.trimmed();
    const QString& password = fields.newPassword;
    if (password != fields.reEnterPassword) {
        MsgBox(QStringLiteral("Your New Password values do not match.") + CRLF +
                   QStringLiteral("Please re-enter New Password in both text boxes") + CR + CR,
               msgbox::OKOnly, msgbox::Information, QStringLiteral("Save New Password"));
        fields.newPassword.clear();
        fields.reEnterPassword.clear();
        LoginStep step = stay(LoginField::NewPassword);
        step.clearNewPasswords = true;
        return step;
    }
    if (password.size() < 4 || password.size() > 12) {
        MsgBox(QStringLiteral("New Password must be minimum 4 characters long") + CR + CR +
                   QStringLiteral(" and maximum 12 characters long!") + CR + CR,
               msgbox::OKCancel, msgbox::Exclamation, QStringLiteral("New Password"));
        return stay(LoginField::NewPassword);
    }
    if (!encodable(password, QStringLiteral("New Password"))) return stay(LoginField::NewPassword);
    if (!confirmNewPassword()) return stay(LoginField::None);

    if (showUpdating) showUpdating(true);
    bool saved = false;
    try {
        saved = SaveUserPassword(kUsers, user, password, oldPassword);
    } catch (const BgError& e) {
        if (showUpdating) showUpdating(false);
        Errors::ReportErrorInfo(QStringLiteral("frmLogin"), QStringLiteral("DoSetNewPW"), e.Description());
        return stay(LoginField::None);
    }
    if (showUpdating) showUpdating(false);
    if (!saved) {
        say(QStringLiteral("Your new password could not be saved: ") + storeFailure() +
                QStringLiteral(". Your password has not been changed."),
            QStringLiteral("Change Password"));
        return stay(LoginField::None);
    }
    return done(LoginStep::Succeeded);
}

LoginStep Accounts::DoVerify(LoginFields& fields) {
    fields.password = fields.password.trimmed();
    if (fields.password.isEmpty()) {
        say(QStringLiteral("Please enter your Password. Try again!"), QStringLiteral("Login"));
        return stay(LoginField::Password);
    }
    LoginStep step;
    if (!CheckPassword(App().CurrentUser, fields.password)) {
        WrongPassword(step, true);
        return step;
    }
    m_tries = 0;
    return done(LoginStep::Succeeded);
}
