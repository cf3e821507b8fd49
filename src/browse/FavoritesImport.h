#pragma once

#include <QString>
#include <QStringList>

// Brings the bookmarks of other browsers on this OS account into the favorites folder, once,
// when the user asks for it: every bookmark becomes an Internet shortcut (".url") and every
// bookmark folder a folder, below one subfolder per source ("Imported from Firefox",
// "Imported from Chromium", "Imported from Chrome"). Importing again adds only what is new.
//
// The other browsers' files are untrusted input and may be in use: a bookmark database is
// copied into a private temp folder and opened read-only there; sizes, depth and count are
// bounded; only web and file addresses are taken; names are made safe for file names.
namespace FavoritesImport {

// Where the other browsers keep their data.
struct Sources {
    // The folder holding the Firefox profiles (with profiles.ini), e.g. ~/.mozilla/firefox.
    QString firefox;
    // Chromium-family configuration folders (each holding "Default", "Profile 1", ...) with
    // the name of the subfolder their bookmarks go to.
    struct Chromium {
        QString folder;
        QString name;
    };
    QList<Chromium> chromium;

    // The usual places below $HOME and $XDG_CONFIG_HOME (or ~/.config).
    static Sources FromEnvironment();
};

// A bookmark file larger than this is not read.
constexpr qint64 kMaxSourceSize = 256LL * 1024 * 1024;
// At most this many shortcuts per import, and folders at most this deep.
constexpr int kMaxBookmarks = 20000;
constexpr int kMaxDepth = 32;

// Imports from every source that exists; returns how many shortcuts were written. Sources
// without data are skipped without a word.
int ImportFavorites(const QString& favoritesRoot, const Sources& sources = Sources::FromEnvironment());
// From the default Firefox profile below `firefoxFolder` into favoritesRoot/"Imported from Firefox".
int ImportFromFirefox(const QString& firefoxFolder, const QString& favoritesRoot);
// From the "Bookmarks" file of the default profile below `configFolder` into
// favoritesRoot/"Imported from " + name.
int ImportFromChromium(const QString& configFolder, const QString& name, const QString& favoritesRoot);

} // namespace FavoritesImport
