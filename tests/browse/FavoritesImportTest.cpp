#include <QDirIterator>
#include <sqlite3.h>

#include "browse/FavoritesImport.h"
#include "browse/FavoritesReader.h"
#include "BrowseSupport.h"

// The import from other browsers' files made in a temp HOME: a Firefox profile whose database
// is still open in WAL mode (as while the browser runs), and Chromium-family bookmark files.

namespace {

// The imported shortcuts below a folder: "relative/path.url -> address", sorted.
QStringList Imported(const QString& folder) {
    QStringList out;
    QDirIterator it(folder, {"*.url"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        out << QDir(folder).relativeFilePath(path) + " -> " + FavoritesReader::ReadShortcut(path);
    }
    out.sort();
    return out;
}

// A places database with the built-in folders; stays open (its changes only in the -wal file).
sqlite3* MakePlaces(const QString& path) {
    sqlite3* db = OpenDb(path);
    Exec(db, "PRAGMA journal_mode=WAL");
    Exec(db, "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT, title TEXT)");
    Exec(db, "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER, parent INTEGER, "
             "position INTEGER, title TEXT, guid TEXT)");
    Exec(db, "INSERT INTO moz_bookmarks VALUES (1,2,NULL,0,0,'','root________'),"
             "(2,2,NULL,1,0,'menu','menu________'),(3,2,NULL,1,1,'toolbar','toolbar_____'),"
             "(4,2,NULL,1,2,'tags','tags________'),(5,2,NULL,1,3,'unfiled','unfiled_____'),"
             "(6,2,NULL,1,4,'mobile','mobile______')");
    return db;
}

TEST(FavoritesImport, FirefoxBookmarksBecomeShortcutsInFolders) {
    QTemporaryDir home;
    const QString firefox = home.path() + "/.mozilla/firefox";
    WriteFile(firefox + "/profiles.ini",
              "[Install4F96D1932A9F858E]\r\nDefault=abc.default-release\r\n\r\n"
              "[Profile1]\r\nName=old\r\nIsRelative=1\r\nPath=old.default\r\nDefault=1\r\n\r\n"
              "[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=abc.default-release\r\n");
    sqlite3* old = MakePlaces(firefox + "/old.default/places.sqlite");
    Exec(old, "INSERT INTO moz_places VALUES (1,'https://old.example/','Old')");
    Exec(old, "INSERT INTO moz_bookmarks VALUES (10,1,1,2,0,'Old profile',NULL)");
    sqlite3* db = MakePlaces(firefox + "/abc.default-release/places.sqlite");
    Exec(
        db,
        "INSERT INTO moz_places VALUES (1,'https://news.example/','News'),(2,'https://soup.example/','Soup'),"
        "(3,'place:sort=8&maxResults=10',''),(4,'javascript:alert(1)',''),(5,'https://wiki.example/',''),"
        "(6,'https://news2.example/','')");
    Exec(db, "INSERT INTO moz_bookmarks VALUES (10,1,1,2,0,'Daily News',NULL),(11,2,NULL,2,1,'Recipes',NULL),"
             "(12,1,2,11,0,'Tomato: Soup?',NULL),(13,1,3,11,1,'Most "
             "Visited',NULL),(14,1,4,11,2,'Bookmarklet',NULL),"
             "(15,3,NULL,2,2,'',NULL),(16,1,6,2,3,'Daily News',NULL),(20,1,5,3,0,'Wiki',NULL),"
             "(30,2,NULL,4,0,'cooking',NULL),(31,1,2,30,0,'Tagged soup',NULL)");

    QTemporaryDir favorites;
    const QString target = favorites.path() + "/Imported from Firefox";
    EXPECT_EQ(FavoritesImport::ImportFromFirefox(firefox, favorites.path()), 4);
    EXPECT_EQ(Imported(target),
              (QStringList{"Bookmarks Menu/Daily News (2).url -> https://news2.example/",
                           "Bookmarks Menu/Daily News.url -> https://news.example/",
                           "Bookmarks Menu/Recipes/Tomato Soup.url -> https://soup.example/",
                           "Bookmarks Toolbar/Wiki.url -> https://wiki.example/"}));
    // Empty built-in folders are not made.
    EXPECT_FALSE(QFileInfo::exists(target + "/Other Bookmarks"));

    // Again: only what is new comes in.
    Exec(db, "INSERT INTO moz_places VALUES (7,'https://new.example/','')");
    Exec(db, "INSERT INTO moz_bookmarks VALUES (40,1,7,5,0,'Later',NULL)");
    EXPECT_EQ(FavoritesImport::ImportFromFirefox(firefox, favorites.path()), 1);
    EXPECT_EQ(Imported(target).size(), 5);
    sqlite3_close(db);
    sqlite3_close(old);
}

TEST(FavoritesImport, ChromiumBookmarksFromTheHomeFolderAndBadFilesSkipped) {
    QTemporaryDir home, favorites;
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toUtf8());
    qunsetenv("XDG_CONFIG_HOME");

    // Nothing there: nothing happens, and nobody is asked.
    ScriptedBoxes boxes;
    EXPECT_EQ(FavoritesImport::ImportFavorites(favorites.path()), 0);
    EXPECT_TRUE(QDir(favorites.path()).isEmpty());

    QByteArray deep = R"({"type":"url","name":"Deep","url":"https://deep.example/"})";
    for (int i = 0; i < 60; ++i)
        deep = R"({"type":"folder","name":"d","children":[)" + deep + "]}";
    WriteFile(home.path() + "/.config/chromium/Default/Bookmarks",
              R"({"roots":{"bookmark_bar":{"type":"folder","name":"Bookmarks bar","children":[
                {"type":"url","name":"Tracker","url":"https://tracker.example/"},
                {"type":"folder","name":"Work","children":[{"type":"url","name":"Mail","url":"https://mail.example/"},
                  {"type":"url","name":"..","url":"https://dots.example/"}]},
                {"type":"url","name":"Settings","url":"chrome://settings"},)" +
                  deep + R"(]},
             "other":{"type":"folder","name":"Other bookmarks","children":[]},
             "synced":{"type":"folder","name":"Mobile bookmarks","children":[]}}})");
    WriteFile(home.path() + "/.config/google-chrome/Profile 1/Bookmarks",
              "{\"roots\": {\"bookmark_bar\": [1, 2");
    WriteFile(home.path() + "/.mozilla/firefox/x.default/places.sqlite", QByteArray(4096, 'z'));

    EXPECT_EQ(FavoritesImport::ImportFavorites(favorites.path()), 3);
    EXPECT_EQ(
        Imported(favorites.path()),
        (QStringList{"Imported from Chromium/Bookmarks Bar/Tracker.url -> https://tracker.example/",
                     "Imported from Chromium/Bookmarks Bar/Work/Mail.url -> https://mail.example/",
                     "Imported from Chromium/Bookmarks Bar/Work/dots.example.url -> https://dots.example/"}));
    EXPECT_EQ(boxes.count(), 0);

    qputenv("HOME", oldHome);
    if (!oldConfig.isEmpty()) qputenv("XDG_CONFIG_HOME", oldConfig);
}

} // namespace
