// The favorites tree over a real folder in a temp directory, with a real Links collection in a
// temp store (the browse window is replaced by a host that records what it is asked), and the
// import from other browsers' files made in a temp HOME: a Firefox profile whose database is
// still open in WAL mode (as while the browser runs), and Chromium-family bookmark files.
#include <QDirIterator>
#include <QInputDialog>
#include <QMimeData>
#include <QTreeWidget>
#include <sqlite3.h>

#include "browse/Favorites.h"
#include "browse/FavoritesHost.h"
#include "browse/FavoritesImport.h"
#include "browse/FavoritesMenu.h"
#include "browse/FavoritesReader.h"
#include "BrowseSupport.h"

namespace {

using core::GetValue;
using core::PageLocation;

class RecordingHost : public FavoritesHost {
public:
    std::unique_ptr<Links> links;
    QList<QPair<QString, int>> opened;
    PageLocation page;
    bool readyDuringRead = true;

    Links* FavoritesLinks() override {
        readyDuringRead = readyDuringRead && App().FavoritesReady;
        return links.get();
    }
    void Nav2Visible(const QString& url, int mode) override { opened.append({url, mode}); }
    PageLocation VisiblePage() const override { return page; }
};

void WriteUrl(const QString& path, const QString& url) {
    SaveBytes(path, "[InternetShortcut]\r\nURL=" + url.toLatin1() + "\r\n");
}

QStringList Texts(QTreeWidgetItem* node) {
    QStringList out;
    for (int i = 0; node && i < node->childCount(); ++i)
        out << node->child(i)->text(0);
    return out;
}

class FavoritesTest : public ::testing::Test {
protected:
    void SetUp() override {
        App().CurrentUser = QStringLiteral("alice");
        host.links = std::make_unique<Links>("alice");
    }
    std::unique_ptr<Favorites> Make() {
        auto favorites = std::make_unique<Favorites>(host, nullptr, root);
        favorites->RefreshFavorites(true);
        return favorites;
    }

    TempStore store;
    QTemporaryDir dir;
    QString root = dir.path() + QStringLiteral("/Favorites");
    RecordingHost host;
};

TEST_F(FavoritesTest, FirstRunFillsLazilyAndSkipsBadShortcuts) {
    // Made on first use, with a Links folder and starting shortcuts.
    auto fav = Make();
    QTreeWidgetItem* rootNode = fav->RootNode();
    EXPECT_EQ(Texts(rootNode), (QStringList{"Links", "OpenStreetMap", "Wikipedia"}));
    QTreeWidgetItem* links = fav->FindNode("Links");
    EXPECT_EQ(Favorites::Tag(links), root + "/Links");
    EXPECT_EQ(links->childCount(), 0); // not read before it is opened
    QTreeWidgetItem* wiki = fav->FindNode("Wikipedia");
    EXPECT_EQ(Favorites::Tag(wiki), "url=https://www.wikipedia.org/");

    // Untrusted shortcut files: only those with a usable address show (a value ends at a NUL).
    SaveBytes(root + "/No address.url", "[InternetShortcut]\r\nIconIndex=1\r\n");
    SaveBytes(root + "/Empty.url", "");
    SaveBytes(root + "/Script.url", "[InternetShortcut]\r\nURL=javascript:alert(1)\r\n");
    SaveBytes(root + "/Huge.url",
              "[InternetShortcut]\r\nURL=https://huge.example/\r\n" + QByteArray(200000, 'x'));
    SaveBytes(root + "/Binary.url", QByteArray("\x00\xff\xfe\x01junk\n", 9) +
                                        "[InternetShortcut]\nURL=https://bin.example/" + QByteArray(1, '\0') +
                                        "garbage\n");
    SaveBytes(root + "/notes.txt", "[InternetShortcut]\r\nURL=https://txt.example/\r\n");
    WriteUrl(root + "/good.URL", "https://good.example/");
    fav->RefreshFavorites(true);
    EXPECT_EQ(Texts(rootNode), (QStringList{"Binary", "good", "Links", "OpenStreetMap", "Wikipedia"}));
    EXPECT_EQ(Favorites::Tag(fav->FindNode("Binary")), "url=https://bin.example/");

    // Opening a folder reads it; closing forgets its children.
    fav->OnFavoriteClicked(links);
    EXPECT_TRUE(links->isExpanded() && fav->WatchedFolders().contains(root + "/Links"));
    EXPECT_EQ(Texts(links), QStringList{"Internet Archive"});
    fav->OnFavoriteClicked(links);
    EXPECT_FALSE(links->isExpanded() || fav->WatchedFolders().contains(root + "/Links"));
    EXPECT_EQ(links->childCount(), 0);

    // Dragged out, a favorite offers what a Link button offers.
    std::unique_ptr<QMimeData> data(Favorites::DragData(wiki));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->data("UniformResourceLocator"), "https://www.wikipedia.org/");
    EXPECT_TRUE(QString::fromLatin1(data->data("BGFmtByte"))
                    .endsWith("::https://www.wikipedia.org/::Wikipedia::tvwFav"));
    EXPECT_EQ(Favorites::DragData(links), nullptr);
}

TEST_F(FavoritesTest, RefreshAndWatcherFollowTheDisk) {
    QDir().mkpath(root + "/News");
    WriteUrl(root + "/Keep.url", "https://keep.example/");
    WriteUrl(root + "/Gone.url", "https://gone.example/");
    WriteUrl(root + "/News/Daily.url", "https://daily.example/");
    auto fav = Make();
    EXPECT_TRUE(!host.readyDuringRead && App().FavoritesReady); // the refresh ran with FavoritesReady off
    QTreeWidgetItem* news = fav->FindNode("News");
    fav->ExpandNode(news);
    const QString keepKey = Favorites::Key(fav->FindNode("Keep"));
    const QString dailyKey = Favorites::Key(fav->FindNode("News/Daily"));

    // Changes on disk: a file removed, one added and one changed, also in an open subfolder.
    QFile::remove(root + "/Gone.url");
    WriteUrl(root + "/News/Weekly.url", "https://weekly.example/");
    WriteUrl(root + "/Keep.url", "https://kept.example/");
    fav->RefreshFavorites(true);
    EXPECT_EQ(Texts(fav->RootNode()), (QStringList{"Keep", "News"}));
    EXPECT_EQ(Texts(news), (QStringList{"Daily", "Weekly"}));
    EXPECT_EQ(Favorites::Tag(fav->FindNode("Keep")), "url=https://kept.example/");
    // Nodes that stayed are the same nodes, and no tag keeps the pass's mark.
    EXPECT_EQ(Favorites::Key(fav->FindNode("Keep")) + Favorites::Key(fav->FindNode("News/Daily")),
              keepKey + dailyKey);
    EXPECT_EQ(Favorites::Tag(news), root + "/News");

    // Without any call: the watcher sees a change in an open folder, and in the root.
    WriteUrl(root + "/News/Extra.url", "https://extra.example/");
    EXPECT_TRUE(WaitFor([&] { return fav->FindNode("News/Extra") != nullptr; }, 5000));
    QDir(root + "/News").removeRecursively();
    EXPECT_TRUE(WaitFor([&] { return fav->FindNode("News") == nullptr; }, 5000));
    EXPECT_EQ(Texts(fav->RootNode()), QStringList{"Keep"});

    // The companion program is due once the last refresh is over 45 seconds old, once per 45 s.
    Clock::SetNow(QDateTime(QDate(2024, 5, 1), QTime(10, 0)));
    fav->RefreshFavorites(false);
    Clock::Advance(45000);
    EXPECT_FALSE(fav->HelperDue());
    Clock::Advance(1000);
    EXPECT_TRUE(fav->HelperDue());
    EXPECT_FALSE(fav->HelperDue());
}

TEST_F(FavoritesTest, ClicksOpenInTheVisiblePaneAndRememberTheFolder) {
    WriteUrl(root + "/Work/Projects/Tracker.url", "https://tracker.example/board");
    auto fav = Make();
    fav->resize(300, 400);
    fav->show();
    auto click = [&](const QString& path, Qt::MouseButton button) {
        QTreeWidget* tree = Child<QTreeWidget>(fav.get(), "tvwFav");
        QTest::mouseClick(tree->viewport(), button, {}, tree->visualItemRect(fav->FindNode(path)).center());
    };
    host.links->SetNavigateStopped(true);
    click("Work", Qt::LeftButton);
    click("Work/Projects", Qt::LeftButton);
    EXPECT_EQ(host.links->FavoritesFolder(), root + "/Work/Projects");
    click("Work/Projects/Tracker", Qt::RightButton); // the menu's button opens nothing
    EXPECT_TRUE(host.opened.isEmpty());
    click("Work/Projects/Tracker", Qt::LeftButton);
    EXPECT_EQ(host.opened, (QList<QPair<QString, int>>{{"https://tracker.example/board", 6}}));
    EXPECT_FALSE(host.links->NavigateStopped());
    EXPECT_EQ(GetValue("alice", "FavoritesFolder"), root + "/Work/Projects");

    // The next session opens the remembered folder again, also when it was written the old way.
    fav.reset();
    host.links = std::make_unique<Links>("alice");
    fav = Make();
    QTreeWidgetItem* projects = fav->FindNode("Work/Projects");
    ASSERT_NE(projects, nullptr);
    EXPECT_TRUE(projects->isExpanded());
    EXPECT_EQ(Child<QTreeWidget>(fav.get(), "tvwFav")->currentItem(), projects);
    fav.reset();
    host.links->SetFavoritesFolder("C:\\Documents and Settings\\alice\\Favorites\\Work");
    fav = Make();
    ASSERT_NE(fav->FindNode("Work"), nullptr);
    EXPECT_TRUE(fav->FindNode("Work")->isExpanded());
    EXPECT_EQ(fav->FindNode("Work/Projects")->childCount(), 0);
}

TEST_F(FavoritesTest, ContextMenuDeletesRenamesAndCreates) {
    WriteUrl(root + "/Old name.url", "https://old.example/");
    WriteUrl(root + "/Trash/Junk.url", "https://junk.example/");
    WriteUrl(root + "/Reading/Paper.url", "https://paper.example/");
    auto fav = Make();
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    auto answer = [&](const QString& text) {
        dialogs.Next([text](QDialog& d) {
            static_cast<QInputDialog&>(d).setTextValue(text);
            return int(QDialog::Accepted);
        });
    };

    // The root cannot go.
    fav->Menu().PrepareContextMenu(fav->RootNode());
    boxes.Answer(msgbox::OK);
    fav->Menu().OnDeleteFavorite();
    EXPECT_EQ(boxes.lastText(), "Cannot delete this folder '" + root + "'");
    EXPECT_TRUE(QFileInfo(root).isDir());

    // A folder is deleted after the question, and only on Yes.
    fav->Menu().PrepareContextMenu(fav->FindNode("Trash"));
    boxes.Answer(msgbox::No);
    fav->Menu().OnDeleteFavorite();
    EXPECT_EQ(boxes.lastText(), "Are you sure you want to delete the Favorites folder 'Trash'");
    EXPECT_TRUE(QFileInfo(root + "/Trash/Junk.url").exists());
    boxes.Answer(msgbox::Yes);
    fav->Menu().OnDeleteFavorite();
    EXPECT_FALSE(QFileInfo(root + "/Trash").exists() || fav->FindNode("Trash"));

    // Rename a favorite, then an open folder (it stays open, the remembered folder follows it).
    fav->Menu().PrepareContextMenu(fav->FindNode("Old name"));
    answer("New: name?");
    fav->Menu().OnRenameFavorite();
    EXPECT_FALSE(QFileInfo(root + "/Old name.url").exists());
    EXPECT_EQ(Favorites::Tag(fav->FindNode("New name")), "url=https://old.example/");
    fav->OnFavoriteClicked(fav->FindNode("Reading"));
    fav->Menu().PrepareContextMenu(fav->FindNode("Reading"));
    answer("Library");
    fav->Menu().OnRenameFavorite();
    QTreeWidgetItem* library = fav->FindNode("Library");
    ASSERT_NE(library, nullptr);
    EXPECT_TRUE(library->isExpanded());
    EXPECT_EQ(Texts(library), QStringList{"Paper"});
    EXPECT_EQ(GetValue("alice", "FavoritesFolder"), root + "/Library");

    // A new folder under the chosen one, and the visible page added into it.
    fav->Menu().PrepareContextMenu(library);
    answer("Later");
    fav->Menu().OnNewFolder();
    EXPECT_EQ(Child<QTreeWidget>(fav.get(), "tvwFav")->currentItem(), fav->FindNode("Library/Later"));
    host.page = {"Bramble: the page/1", "https://page.example/a?b=1"};
    fav->Menu().PrepareContextMenu(fav->FindNode("Library/Later"));
    EXPECT_TRUE(fav->findChild<QAction*>("addFavorite")->isEnabled());
    answer("Bramble page");
    fav->Menu().OnAddFavorite();
    QTreeWidgetItem* added = fav->FindNode("Library/Later/Bramble page");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(Favorites::Tag(added), "url=https://page.example/a?b=1");
    EXPECT_EQ(Child<QTreeWidget>(fav.get(), "tvwFav")->currentItem(), added);

    // A favorite goes at once, without a question.
    const int before = boxes.count();
    fav->Menu().PrepareContextMenu(added);
    fav->Menu().OnDeleteFavorite();
    EXPECT_EQ(boxes.count(), before);
    EXPECT_FALSE(QFileInfo(root + "/Library/Later/Bramble page.url").exists());
}

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
    SaveBytes(firefox + "/profiles.ini",
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
    SaveBytes(home.path() + "/.config/chromium/Default/Bookmarks",
              R"({"roots":{"bookmark_bar":{"type":"folder","name":"Bookmarks bar","children":[
                {"type":"url","name":"Tracker","url":"https://tracker.example/"},
                {"type":"folder","name":"Work","children":[{"type":"url","name":"Mail","url":"https://mail.example/"},
                  {"type":"url","name":"..","url":"https://dots.example/"}]},
                {"type":"url","name":"Settings","url":"chrome://settings"},)" +
                  deep + R"(]},
             "other":{"type":"folder","name":"Other bookmarks","children":[]},
             "synced":{"type":"folder","name":"Mobile bookmarks","children":[]}}})");
    SaveBytes(home.path() + "/.config/google-chrome/Profile 1/Bookmarks",
              "{\"roots\": {\"bookmark_bar\": [1, 2");
    SaveBytes(home.path() + "/.mozilla/firefox/x.default/places.sqlite", QByteArray(4096, 'z'));

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
