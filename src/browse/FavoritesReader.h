#pragma once

#include <QList>
#include <QString>

// Reads and writes the favorites folder: subfolders, Internet shortcut files (".url") and their
// addresses. Shortcut files come from anywhere (other programs, downloads, a copied folder), so
// nothing here trusts them: a file that is too large, not a regular file, or whose address is
// malformed simply has no address and is not offered.
namespace FavoritesReader {

// Shortcut files larger than this are not read at all (real ones are a few hundred bytes).
constexpr qint64 kMaxShortcutSize = 64 * 1024;
// The address is read through a buffer of 1024 characters, terminator included.
constexpr int kMaxAddressLength = 1023;

struct Folder {
    QString name; // the folder's name
    QString path; // its full path
};

struct Favorite {
    QString name;    // the file name without ".url"
    QString address; // the shortcut's address
    QString path;    // the file's full path
};

// The subfolders of a folder (hidden ones left out), by name.
QList<Folder> SubFolders(const QString& folder);
// The shortcuts of a folder that have a name and an address, by name.
QList<Favorite> Favorites(const QString& folder);

// The address of a shortcut file: the value "URL" of its section "InternetShortcut", or the
// empty text when the file cannot be trusted or holds no usable address.
QString ReadShortcut(const QString& path);
// Whether a file name is one of a shortcut (ends in ".url", any letter case).
bool IsShortcutName(const QString& fileName);
// The file name without its ".url".
QString DisplayName(const QString& fileName);

// Writes a shortcut file (replacing one that is there). False, with a reason, on failure.
bool WriteShortcut(const QString& path, const QString& address, QString* error = nullptr);
// A name for a file or folder made from any text (a page title, a bookmark's name): characters a
// file name cannot hold replaced, no leading dots, at most `maxLength` characters; empty when
// nothing usable is left.
QString SafeFileName(const QString& text, int maxLength = 120);

// First run: creates the favorites folder with its "Links" subfolder and a few starting
// shortcuts. Does nothing when the folder exists. False when it could not be made.
bool EnsureFavoritesFolder(const QString& root);

} // namespace FavoritesReader
