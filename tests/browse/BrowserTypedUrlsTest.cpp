#include <QCryptographicHash>
#include <sqlite3.h>

#include "browse/AddressBox.h"
#include "browse/AddressImport.h"
#include "BrowseSupport.h"
#include "core/SettingsRegistry.h"

namespace {
// Microseconds: Firefox counts from 1970, Chromium from 1601.
constexpr qint64 kDay = 86400LL * 1000000LL;
constexpr qint64 kChromiumOffset = 11644473600LL * 1000000LL;
constexpr qint64 kNow = 1700000000LL * 1000000LL;

struct Visit {
    const char* url;
    int typed;
    qint64 unixUs;
};

// A Firefox places database, or (chromium) a Chromium-family history.
void MakeHistory(const QString& path, const std::vector<Visit>& visits, bool chromium = false) {
    sqlite3* db = OpenDb(path);
    Exec(db, chromium
                 ? "CREATE TABLE urls (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, "
                   "visit_count INTEGER DEFAULT 0, typed_count INTEGER DEFAULT 0, last_visit_time INTEGER)"
                 : "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, "
                   "typed INTEGER DEFAULT 0, last_visit_date INTEGER)");
    const QString insert = chromium
                               ? "INSERT INTO urls (url, typed_count, last_visit_time) VALUES ('%1', %2, %3)"
                               : "INSERT INTO moz_places (url, typed, last_visit_date) VALUES ('%1', %2, %3)";
    for (const Visit& v : visits)
        Exec(db, insert.arg(v.url).arg(v.typed).arg(v.unixUs + (chromium ? kChromiumOffset : 0)));
    sqlite3_close(db);
}

QByteArray Fingerprint(const QString& folder) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        hash.addData(name.toUtf8());
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly)) hash.addData(file.readAll());
    }
    return hash.result();
}

// A home folder with a Firefox profile and both Chromium-family histories, and histories that
// cannot be read: junk, a database of another shape, a folder.
struct BrowserHome {
    QTemporaryDir dir;
    QString firefox = dir.path() + "/.mozilla/firefox/abcd.default-release";
    QString chromium = dir.path() + "/.config/chromium/Default";

    BrowserHome() {
        MakeHistory(firefox + "/places.sqlite", {{"https://typed-firefox.org/", 1, kNow - 1 * kDay},
                                                 {"https://followed-link.org/", 0, kNow},
                                                 {"http://old-firefox.org/", 1, kNow - 9 * kDay},
                                                 {"place:sort=8", 1, kNow},
                                                 {"HTTP://SHARED.ORG/", 1, kNow - 5 * kDay}});
        MakeHistory(chromium + "/History",
                    {{"https://typed-chromium.net/", 2, kNow - 2 * kDay},
                     {"https://clicked.net/", 0, kNow},
                     {"http://shared.org/", 1, kNow - 3 * kDay}},
                    true);
        MakeHistory(dir.path() + "/.config/google-chrome/Default/History",
                    {{"https://newest-chrome.com/", 1, kNow}}, true);
        WriteFile(dir.path() + "/.mozilla/firefox/junk/places.sqlite", "this is not a database at all");
        sqlite3* db = OpenDb(dir.path() + "/.mozilla/firefox/other-shape/places.sqlite");
        Exec(db, "CREATE TABLE something_else (x)");
        sqlite3_close(db);
        QDir().mkpath(dir.path() + "/.mozilla/firefox/folder/places.sqlite");
    }
};
} // namespace

TEST(BrowserTypedUrls, TheUsersOwnThenTheSharedKeysThenEveryBrowsersNewestWithinTheLimit) {
    BrowserHome home;
    EXPECT_EQ(AddressImport::BrowserTypedUrls(home.dir.path(), 100),
              QStringList({"https://newest-chrome.com/", "https://typed-firefox.org/",
                           "https://typed-chromium.net/", "http://shared.org/", "http://old-firefox.org/"}));
    EXPECT_EQ(AddressImport::BrowserTypedUrls(home.dir.path(), 2),
              QStringList({"https://newest-chrome.com/", "https://typed-firefox.org/"}));
    EXPECT_TRUE(AddressImport::BrowserTypedUrls(home.dir.path(), 0).isEmpty());

    // The shared key numbers its values from 1 and ends at a gap; only web addresses count.
    LoggedInUser ann;
    ann.options().SetMaxHistoryItems(6);
    const auto typed = [](const char* name, const char* url) {
        SettingsRegistry::SetKeyValue("Microsoft\\Internet Explorer", "TypedURLs", name, url,
                                      SettingsRegistry::REG_SZ);
    };
    typed("url1", "http://typed1.com/"), typed("url2", "mailto:x@y.z"), typed("url3", "https://typed3.com/");
    typed("url5", "http://after-gap.com/");
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.dir.path().toUtf8());
    AddressBox box;
    box.AddUrlItem("http://mine.example/");
    box.GetTypedURLs();
    qputenv("HOME", oldHome);
    // Room for five: imports never push out the user's own addresses, and of the other
    // browsers' the newest take the places left, oldest first.
    EXPECT_EQ(box.KnownAddresses().Urls(),
              QStringList({"http://mine.example/", "http://typed1.com/", "https://typed3.com/",
                           "https://typed-firefox.org/", "https://newest-chrome.com/"}));
    EXPECT_EQ(box.count(), 5);
    EXPECT_EQ(box.AddressText(), "");
}

TEST(BrowserTypedUrls, OtherBrowsersFilesAreNeitherChangedNorLocked) {
    BrowserHome home;
    // The other browser is running: its database is in write-ahead mode, holds changes only in
    // its log, and a write transaction is open.
    sqlite3* running = OpenDb(home.firefox + "/places.sqlite");
    Exec(running, "PRAGMA journal_mode=WAL");
    Exec(running, "PRAGMA wal_autocheckpoint=0");
    Exec(running, QString("INSERT INTO moz_places (url, typed, last_visit_date) VALUES "
                          "('https://only-in-the-log.org/', 1, %1)")
                      .arg(kNow + kDay));
    Exec(running, "BEGIN IMMEDIATE");
    Exec(running, "INSERT INTO moz_places (url, typed) VALUES ('https://uncommitted.org/', 1)");
    const QByteArray firefoxBefore = Fingerprint(home.firefox);
    const QByteArray chromiumBefore = Fingerprint(home.chromium);

    const QStringList urls = AddressImport::BrowserTypedUrls(home.dir.path(), 100);
    EXPECT_EQ(urls.value(0), "https://only-in-the-log.org/");
    EXPECT_FALSE(urls.contains("https://uncommitted.org/"));
    EXPECT_EQ(Fingerprint(home.firefox), firefoxBefore);
    EXPECT_EQ(Fingerprint(home.chromium), chromiumBefore);
    EXPECT_EQ(QDir(home.chromium).entryList(QDir::Files), QStringList({"History"}));
    // The browser goes on writing undisturbed.
    Exec(running, "COMMIT");
    sqlite3_close(running);
}
