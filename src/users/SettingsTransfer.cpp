#include "users/SettingsTransfer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "core/AppPaths.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Errors.h"
#include "core/IniValues.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "core/StoredNames.h"
#include "users/Accounts.h"
#include "users/DeleteUser.h"
#include "users/MessageWindow.h"
#include "users/PasswordPrompt.h"
#include "users/ProgramEnd.h"
#include "users/RemovableMedia.h"
#include "users/SettingsFile.h"
#include "users/UserNames.h"

using namespace core;

namespace SettingsTransfer {
namespace {

const QString kModule = QStringLiteral("SettingsTransfer");
const QString kFilter = QStringLiteral("Data File (*.dat)|*.dat|All files (*.*)|*.*");

QString product() {
    return QString::fromLatin1(ProductName());
}

// Writes bytes over a file in one step: the old file stays until the new one is complete.
bool replaceFile(const QString& path, const QByteArray& bytes) {
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return false;
    // Owner only, also where it replaces a file that others could read.
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace

QString DefaultFolder() {
    // The data folder is AppDataFolder()/Bramblegate; asking for it makes it when it is missing.
    return AppPaths::DataFolder();
}

QString TemporaryFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (folder.isEmpty()) folder = QDir::tempPath() + QStringLiteral("/Bramblegate");
    return folder;
}

void ExportSettings(QWidget* parent) {
    const QString user = App().CurrentUser;
    if (!VerifyPassword(QStringLiteral("For security, please verify your Password. You will also need this "
                                       "Password at the time of Importing these settings."),
                        user, GetValue(stored::kUsers, user), parent))
        return;

    filedialogs::Request request;
    request.save = true;
    request.title = QStringLiteral("Save Settings To File For ") + user;
    request.folder = DefaultFolder();
    request.fileName =
        user + QLatin1Char(' ') + Clock::Now().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".dat");
    request.filter = kFilter;
    request.confirmOverwrite = true;
    const QString chosen = filedialogs::Ask(request, parent);
    if (chosen.isEmpty()) return;

    QDir().mkpath(QFileInfo(chosen).absolutePath());
    // Removable media get the file in one copy instead of being written piece by piece.
    const bool ok = RemovableMedia::IsOnRemovableMedia(chosen)
                        ? ExportThroughTemporaryFile(chosen, TemporaryFolder())
                        : ExportSettings(chosen);
    if (!ok) {
        MsgBox(QStringLiteral("Export Settings did not complete successfully or was aborted.") + CR + CR,
               msgbox::OKOnly, msgbox::Exclamation, QStringLiteral("Export Failed"));
        return;
    }
    MsgBox(QStringLiteral("Please remember, you will need your CURRENT Password ") + CR +
               QStringLiteral("when importing these settings.") + CR + CR +
               QStringLiteral("Export Settings has completed successfully. ") + CR + CR,
           msgbox::OKOnly, msgbox::Information, QStringLiteral("Important Note"));
}

bool ExportSettings(const QString& file) {
    const QString user = App().CurrentUser;
    MessageWindow::ShowText(QStringLiteral("Exporting settings of user ") + user + QStringLiteral("..."));
    QString error;
    try {
        const QString folder = QFileInfo(file).absolutePath();
        if (!QDir(folder).exists()) QDir().mkpath(folder);
        IniFile ini = SettingsFile::MakeExport(user);
        if (ini.Save(file) != IniFile::Status::Ok) error = ini.ErrorString();
    } catch (const BgError& e) {
        error = e.Description();
    }
    MessageWindow::HideText();
    if (error.isEmpty()) return true;
    Errors::ReportErrorInfo(kModule, QStringLiteral("ExportSettings"), error);
    return false;
}

bool ExportThroughTemporaryFile(const QString& file, const QString& tempFolder) {
    AppPaths::MakePrivateFolder(tempFolder);
    QTemporaryFile temp(tempFolder + QStringLiteral("/bgXXXXXX.tmp"));
    if (!temp.open()) {
        Errors::ReportErrorInfo(kModule, QStringLiteral("ExportSettings"),
                                QStringLiteral("No temporary file can be made in \"%1\": %2.")
                                    .arg(QDir::toNativeSeparators(tempFolder), temp.errorString()));
        return false;
    }
    const QString tempPath = temp.fileName();
    temp.close();
    bool ok = ExportSettings(tempPath);
    if (ok) {
        QFile written(tempPath);
        ok = written.open(QIODevice::ReadOnly) && replaceFile(file, written.readAll());
        if (!ok)
            Errors::ReportErrorInfo(
                kModule, QStringLiteral("ExportSettings"),
                QStringLiteral("The file \"%1\" cannot be written.").arg(QDir::toNativeSeparators(file)));
    }
    // The export may have replaced the file under the name; remove whatever has the name now.
    QFile::remove(tempPath);
    return ok;
}

void ImportSettings(QWidget* parent) {
    filedialogs::Request request;
    request.save = false;
    request.title = QStringLiteral("Import Settings From File");
    request.folder = DefaultFolder();
    request.fileName = App().CurrentUser + QStringLiteral(".dat");
    request.filter = kFilter;
    request.confirmOverwrite = false;
    request.mustExist = true;
    const QString chosen = filedialogs::Ask(request, parent);
    if (chosen.isEmpty()) return;
    if (!QFileInfo(chosen).isFile()) {
        MsgBox(QStringLiteral("File not found") + CR + CR, msgbox::OKOnly, msgbox::Exclamation,
               QStringLiteral("Error"));
        return;
    }

    if (!ImportSettings(chosen, parent)) {
        MsgBox(QStringLiteral("Import Settings did not complete successfully or was aborted.") + CR + CR,
               msgbox::OKOnly, msgbox::Exclamation, QStringLiteral("Import Failed"));
        return;
    }
    MsgBox(QStringLiteral("Import Settings completed successfully. ") + product() +
               QStringLiteral(" needs to exit now. ") + CR + CR +
               QStringLiteral("You may restart again. The new settings will then be effective.") + CR + CR,
           msgbox::OKOnly, msgbox::Information, QStringLiteral("Import Succeeded"));
    // The running program holds the old values; nothing of it may be saved over the new ones.
    ProgramEnd::EndNowWithoutSaving();
}

bool ImportSettings(const QString& file, QWidget* parent) {
    const SettingsFile::ReadResult read = SettingsFile::ReadFile(file);
    switch (read.problem) {
    case SettingsFile::Problem::None:
        break;
    case SettingsFile::Problem::Incompatible: {
        msgbox::Request box;
        box.text = QStringLiteral("The settings in this file are not compatible ") + CR +
                   QStringLiteral("with this version of ") + product() +
                   QStringLiteral(". Please make sure ") + CR +
                   QStringLiteral("that you have selected the correct file.") + CR + CR;
        box.title = QStringLiteral("Import Settings");
        box.icon = msgbox::Exclamation;
        box.helpButton = true;
        box.helpTopic = QStringLiteral("59");
        msgbox::Show(box);
        return false;
    }
    case SettingsFile::Problem::BadUserName:
        // Not damage but a name that cannot be a user's: the user is told why.
        MsgBox(SettingsFile::ProblemText(read, file), msgbox::OKOnly, msgbox::Exclamation,
               QStringLiteral("Import Settings"));
        return false;
    default:
        // The command says "Import Failed"; what was wrong goes to the error log only.
        WriteErrorLog(QStringLiteral("ImportSettings ") + SettingsFile::ProblemText(read, file).trimmed());
        return false;
    }

    const SettingsFile::ImportData& data = read.data;
    const QString& name = data.userName;
    const QString prompt =
        QStringLiteral("Please enter the Password for User whose settings are being imported. "
                       "This password should be the same as at the time of Export Settings.");
    bool newUser = false;
    if (name.toLower() == App().CurrentUser.toLower()) {
        if (MsgBox(QStringLiteral("Are you sure you want to overwrite the current settings for user '") +
                       App().CurrentUser + QStringLiteral("' ?") + CR + CR,
                   msgbox::YesNo, msgbox::Question, QStringLiteral("OverWrite Settings?")) != msgbox::Yes)
            return false;
        if (!VerifyPassword(prompt, name, data.storedPassword, parent)) return false;
    } else {
        if (ValueExists(stored::kUsers, name)) {
            MsgBox(QStringLiteral("A user with the name '") + name + QStringLiteral("' already exists.") +
                       CR + CR + QStringLiteral("Please log-off and then log-in as '") + name +
                       QStringLiteral("' in order to import its settings.") + CR + CR,
                   msgbox::OKOnly, msgbox::Information, QStringLiteral("OverWrite Settings?"));
            MessageWindow::HideText();
            return false;
        }
        if (const QString other = UserNames::SharedWith(name, UserNames::StoredUsers()); !other.isEmpty()) {
            MsgBox(QStringLiteral("The settings in the file are those of the User '") + name +
                       QStringLiteral("'. ") + Accounts::SharedSettingsText(name, other) + CR + CR,
                   msgbox::OKOnly, msgbox::Exclamation, QStringLiteral("Import Settings"));
            return false;
        }
        if (!VerifyPassword(prompt, name, data.storedPassword, parent)) return false;
        newUser = true;
    }

    MessageWindow::ShowText(QStringLiteral("Importing settings of user ") + name + QStringLiteral("..."));
    // A new user never finds a deleted user's web data under its name.
    if (newUser) UserDeletion::RemoveUserProfileFolder(name, false);
    try {
        SettingsFile::Apply(data, newUser);
    } catch (const BgError& e) {
        MessageWindow::HideText();
        if (e.Number() == ErrNo::NotSaved)
            MsgBox(e.Description() + CR + CR, msgbox::OKOnly, msgbox::Exclamation,
                   QStringLiteral("Import Settings"));
        else
            Errors::ReportErrorInfo(kModule, QStringLiteral("ImportSettings"), e.Description());
        return false;
    }
    MessageWindow::HideText();
    return true;
}

} // namespace SettingsTransfer
