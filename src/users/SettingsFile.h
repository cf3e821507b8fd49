#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "core/IniFile.h"
#include "users/UserNames.h"

// The settings file (".dat"): one user's stored values as an initialisation file, in the 8-bit
// code page with CR LF line ends:
//
//   [General]           Version=<program version>
//   [Users]             <user>=<master password encrypted with itself>, then an empty line
//   [<user>]            every value of the user's key, each followed by an empty line
//   [<user>Urls]        Url0, Url1, ... = the typed addresses
//   [<user>BMs], [<user>History], [<user>IELinks]   name=value
//
// Values go as they are stored, secrets encrypted. The file comes from outside on import, so
// reading checks everything before anything is written. No windows here: the commands around it
// live in SettingsTransfer.
namespace SettingsFile {

// Profile readers drop blanks at both ends of a value, which would change an encrypted text
// that happens to begin or end with a blank. Such values, and values that are quoted already,
// go to the file in double quotes; reading takes one pair off. Line breaks inside a value
// (which would start a new entry) become blanks.
QString QuoteValue(const QString& value);
QString UnquoteValue(const QString& value);

// Entry names are written as they are when every one fits (FitsAsName: no "=", no leading "[" or
// ";", no control character); otherwise [General] says EscapedNames=True and every name of the
// user's sections has "%", "=", "[", "]", ";" and control characters as "%" and two hex digits.
// Files without that line (older ones, other tools') are read with their names as they are.
bool FitsAsName(const QString& name);
QString EscapeName(const QString& name);
QString UnescapeName(const QString& name);

// The leading number of a text, as the version is compared ("152" -> 152, "085" -> 85, "1.5x"
// -> 1.5, "abc" -> 0).
double VersionNumber(const QString& text);

// The export document of `user` (the name as typed at login) from the store, without the Links'
// ids (LinkIds: they name web data that stays on this computer). A file in the code page when every text fits
// it, otherwise UTF-8 with a byte-order mark (nothing is dropped). Throws BgError when the store holds a
// value name the file cannot hold.
IniFile MakeExport(const QString& user);

// What an import file holds for the store.
struct ImportSection {
    QString key; // the store key: the user name, or it followed by a list suffix
    QList<IniFile::Entry> entries;
};
struct ImportData {
    QString userName;       // the first entry of [Users]
    QString storedPassword; // its value: the master password encrypted with itself
    QList<ImportSection> sections;
};

enum class Problem {
    None,
    Missing,      // no such file
    Unreadable,   // not a regular file, or reading failed
    TooLarge,     // over IniFile::kMaxFileSize
    NotSettings,  // binary content
    Incompatible, // version not above 85, or no [General] version at all
    NoUser,       // [Users] missing or without an entry
    BadUserName,  // a name that would break the store's layout
    NoPassword    // the user's entry holds no password text
};

struct ReadResult {
    Problem problem = Problem::None;
    QString version; // General\Version as read ("0" when missing)
    ImportData data;
    QString reason; // Unreadable: the system's words
};

// Reads and checks a file's bytes / a file (at most IniFile::kMaxFileSize bytes are read). Link
// ids in it are left out: imported Links start with web data of their own.
ReadResult ReadBytes(const QByteArray& bytes);
ReadResult ReadFile(const QString& path);

// What is wrong with the file, naming it (for the error log); empty for None and Incompatible
// (which has the program's compatibility message).
QString ProblemText(const ReadResult& result, const QString& path);

// Writes the imported user into the store in one transaction: one more user in General\Users
// when `newUser`, the password record as it is, and every entry of every section with its text
// exactly as read. Values of the user's keys that the file does not name stay, except the Links'
// ids (their Links are replaced: they get new ids, and new web data, when loaded). Throws BgError
// when the store refused the writes (nothing is then written).
void Apply(const ImportData& data, bool newUser);

} // namespace SettingsFile
