#pragma once

#include <QString>

class QWidget;

// Export and import of the logged-in user's settings to and from a settings file (see
// SettingsFile), the two commands of the browse window's File menu. The file's secrets stay
// encrypted under the master password of export time, which both sides ask for.
namespace SettingsTransfer {

// File menu "Export Settings": verifies the master password, asks where to save (proposing
// "<user> <yyyymmdd>.dat" in the default folder), writes the file and says how it went.
void ExportSettings(QWidget* parent = nullptr);
// Writes the logged-in user's settings into `file` (replacing it whole), with the message window
// shown meanwhile. False on any failure; the old file then stays as it was.
bool ExportSettings(const QString& file);
// ExportSettings into a new temporary file in `tempFolder`, then copied over `file`; the
// temporary file is removed either way. Used for files on removable media.
bool ExportThroughTemporaryFile(const QString& file, const QString& tempFolder);

// File menu "Import Settings": asks for the file, imports it and, after success, ends the
// program at once without saving anything (ProgramEnd::EndNowWithoutSaving).
void ImportSettings(QWidget* parent = nullptr);
// Checks the file, asks for the password of its user, and copies its values into the store in
// one transaction. The logged-in user may import its own file or that of a user who does not
// exist here (who is created); another existing user's file is refused.
bool ImportSettings(const QString& file, QWidget* parent = nullptr);

// Where the file dialogs start: the program's folder in the application-data folder.
QString DefaultFolder();
// Where files for removable media are written first.
QString TemporaryFolder();

} // namespace SettingsTransfer
