#include "users/DeleteUser.h"

#include <cstdlib>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "core/AppPaths.h"
#include "core/AppState.h"
#include "core/Errors.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "core/SettingsRegistry.h"
#include "core/SettingsStore.h"
#include "core/StoredNames.h"
#include "users/Accounts.h"
#include "users/PasswordPrompt.h"
#include "users/UserNames.h"

using namespace core;

namespace {

const QString kTitle = QStringLiteral("DeleteUser");

QString product() {
    return QString::fromLatin1(ProductName());
}

DeleteUserStep stay(DeleteUserStep::Field focus) {
    DeleteUserStep step;
    step.focus = focus;
    return step;
}

// Profile folders still to be removed when the process ends. Never destroyed: it is read by an
// exit handler, after static objects may already be gone.
QStringList& foldersAtExit() {
    static auto* folders = new QStringList;
    return *folders;
}

void removeFoldersAtExit() {
    UserDeletion::RemovePendingProfileFolders();
}

std::function<void(const QString&)>& webDataRemover() {
    static std::function<void(const QString&)> remover;
    return remover;
}

} // namespace

namespace UserDeletion {

DeleteUserStep ConfirmAndDelete(DeleteUserFields& fields) {
    fields.userName = fields.userName.trimmed();
    fields.password = fields.password.trimmed();
    const QString& name = fields.userName;

    if (name.isEmpty()) {
        MsgBox(QStringLiteral("Please enter UserName for the User to be deleted. Try again!") + CR + CR,
               msgbox::OKOnly, msgbox::Exclamation, kTitle);
        return stay(DeleteUserStep::UserName);
    }
    if (!ValueExists(stored::kUsers, name)) {
        MsgBox(QStringLiteral("Invalid User Name. Try again!") + CR + CR, msgbox::OKOnly, msgbox::Exclamation,
               kTitle);
        return stay(DeleteUserStep::UserName);
    }
    if (!PasswordPrompt::PasswordMatches(GetValue(stored::kUsers, name), fields.password)) {
        MsgBox(QStringLiteral("Invalid Password. Try again!") + CR + CR, msgbox::OKOnly, msgbox::Exclamation,
               kTitle);
        return stay(DeleteUserStep::Password);
    }
    const QString question = QStringLiteral("Are you sure you want to delete all settings of User '") + name +
                             QStringLiteral("' from ") + CRLF + product() +
                             QStringLiteral("? This action cannot be undone later.") + CR + CR;
    if (MsgBox(question, msgbox::YesNo, msgbox::Critical, QStringLiteral("Delete User")) != msgbox::Yes)
        return stay(DeleteUserStep::None);

    DeleteUserStep step;
    try {
        step.outcome = DeleteUser(name) ? DeleteUserStep::EndProgram : DeleteUserStep::Deleted;
    } catch (const BgError& e) {
        if (e.Number() == ErrNo::NotSaved)
            MsgBox(e.Description() + CR + CR, msgbox::OKOnly, msgbox::Exclamation, kTitle);
        else
            Errors::ReportErrorInfo(QStringLiteral("frmDeleteUser"), QStringLiteral("DeleteUser"),
                                    e.Description());
        return stay(DeleteUserStep::None);
    }
    return step;
}

bool DeleteUser(const QString& name) {
    const bool self = name.toLower() == App().CurrentUser.toLower();
    {
        // All of the user's settings go together, or none of them.
        StoreTransaction transaction;
        // The password record by its name alone: a name such as "-1" must never address the
        // whole key of all users.
        SettingsRegistry::DeleteKeyValue(AppKeyName(), stored::kUsers, name);
        // A store from before names were checked may hold users whose keys overlap ("Bob" and
        // "BobHistory"), or a user named like the program's own keys: those keys stay.
        const QStringList others = UserNames::StoredUsers();
        for (const QString& key : UserNames::Keys(name)) {
            const bool reserved = key.compare(stored::kUsers, Qt::CaseInsensitive) == 0 ||
                                  key.compare(stored::kGeneral, Qt::CaseInsensitive) == 0;
            if (!reserved && !others.contains(key, Qt::CaseInsensitive))
                DeleteValue(key, QStringLiteral("-1"));
        }
        const int users = qMax(1, ReadInt(stored::kGeneral, stored::general::kUserCount));
        SaveValue(stored::kGeneral, stored::general::kUserCount.name, QString::number(users - 1));
        if (self) SaveValue(stored::kGeneral, stored::general::kLastUser, QString());
        if (!transaction.Commit())
            throw BgError(ErrNo::NotSaved, QStringLiteral("The User '") + name +
                                               QStringLiteral("' could not be deleted: ") +
                                               SettingsStore::Current()->FailureText() +
                                               QStringLiteral(". Nothing of the User was deleted."));
    }
    if (webDataRemover()) webDataRemover()(name);
    RemoveUserProfileFolder(name, self);

    if (self) {
        MsgBox(QStringLiteral("User '") + name + QStringLiteral("' deleted successfully. ") + CR + CR +
                   product() + QStringLiteral(" needs to exit now. ") +
                   QStringLiteral("You may restart the Application if you wish. ") + CR + CR,
               msgbox::OKOnly, msgbox::Information, kTitle);
        App().EndingOnError = true;
        return true;
    }
    MsgBox(QStringLiteral("User '") + name + QStringLiteral("' deleted successfully. ") + CR + CR,
           msgbox::OKOnly, msgbox::Information, kTitle);
    return false;
}

void RemoveUserProfileFolder(const QString& name, bool alsoAtExit) {
    const QString folder = AppPaths::UserProfileFolder(name);
    QDir(folder).removeRecursively();
    if (!alsoAtExit) return;
    // At process exit the engine has shut down and written its last files; the frame may also
    // call RemovePendingProfileFolders itself once the engine's profile is gone.
    static const bool registered = std::atexit(removeFoldersAtExit) == 0;
    Q_UNUSED(registered);
    if (!foldersAtExit().contains(folder)) foldersAtExit().append(folder);
}

void RemovePendingProfileFolders() {
    for (const QString& folder : foldersAtExit())
        QDir(folder).removeRecursively();
    foldersAtExit().clear();
}

void RemoveLeftoverProfileFolders() {
    const QString profiles = AppPaths::ProfilesFolder();
    QStringList kept;
    for (const QString& user : UserNames::StoredUsers())
        kept << QFileInfo(AppPaths::UserProfileFolder(user)).fileName();
    for (const QString& folder : QDir(profiles).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        if (!kept.contains(folder)) QDir(profiles + QLatin1Char('/') + folder).removeRecursively();
}

void SetWebDataRemover(std::function<void(const QString&)> remover) {
    webDataRemover() = std::move(remover);
}

} // namespace UserDeletion
