// The address box and the addresses it knows: matching what was typed, the saved list, the pages
// recorded, the keys and clicks of the box, and the addresses typed into other browsers.
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QShortcut>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <sqlite3.h>

#include "browse/AddressBox.h"
#include "browse/AddressImport.h"
#include "browse/AddressList.h"
#include "browse/MasterHistory.h"
#include "browse/PageRecorder.h"
#include "BrowseSupport.h"
#include "core/SettingsRegistry.h"
#include "links/HisList.h"

using namespace core;

namespace {
AddressList Known(const QStringList& urls) {
    AddressList list;
    for (const QString& url : urls)
        list.AddUrlItem(url, 1000);
    return list;
}

const QStringList kKnown = {"http://yahoo.com/mail", "https://secure.example.com/", "http://www.yandex.ru/",
                            "http://example.com/", "https://www.yammer.com/"};

// A window with the address box and a second field to move the focus to.
struct BoxWindow {
    LoggedInUser ann;
    QWidget window;
    AddressBox* box = new AddressBox;
    QLineEdit* other = new QLineEdit;
    QSignalSpy navigations{box, &AddressBox::NavigateRequested};

    BoxWindow() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(box);
        layout->addWidget(other);
        layout->addStretch();
        window.resize(600, 400);
        for (const QString& url : kKnown)
            box->AddUrlItem(url);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        box->setFocus();
    }
    QLineEdit* edit() const { return box->lineEdit(); }
    QListWidget* matches() const { return box->MatchList(); }
    bool shown() const { return matches()->isVisible(); }
    QStringList offered() const {
        QStringList out;
        for (int i = 0; shown() && i < matches()->count(); ++i)
            out << matches()->item(i)->text();
        return out;
    }
    // Keys go where the focus is: the box (its line edit only shows the text).
    void type(const QString& text) { QTest::keyClicks(box, text); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(box, key, modifiers);
    }
    // The navigations asked for so far, as "url mode".
    QStringList asked() const {
        QStringList out;
        for (const QList<QVariant>& args : navigations)
            out << args.at(0).toString() + QLatin1Char(' ') + QString::number(args.at(1).toInt());
        return out;
    }
};

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

// Every file of a folder: its name and bytes.
QByteArray Fingerprint(const QString& folder) {
    QByteArray all;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
        QFile file(info.filePath());
        all += info.fileName().toUtf8() + (file.open(QIODevice::ReadOnly) ? file.readAll() : "?");
    }
    return all;
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
        SaveBytes(dir.path() + "/.mozilla/firefox/junk/places.sqlite", "this is not a database at all");
        sqlite3* db = OpenDb(dir.path() + "/.mozilla/firefox/other-shape/places.sqlite");
        Exec(db, "CREATE TABLE something_else (x)");
        sqlite3_close(db);
        QDir().mkpath(dir.path() + "/.mozilla/firefox/folder/places.sqlite");
    }
};
} // namespace

TEST(AddressMatching, OffersKnownAddressesForWhatWasTyped) {
    const AddressList list = Known(kKnown + QStringList{"http://www.wiki.org/", "http://Yacht.example.net/"});
    // A bare word: http:// in front, then the same with www.
    EXPECT_EQ(list.MatchTypedAddress("ya"),
              QStringList({"http://yahoo.com/mail", "http://Yacht.example.net/", "http://www.yandex.ru/"}));
    // The beginning of a scheme: no prefix.
    EXPECT_EQ(list.MatchTypedAddress("HTTPS:"),
              QStringList({"https://secure.example.com/", "https://www.yammer.com/"}));
    EXPECT_EQ(list.MatchTypedAddress("https://www.ya"), QStringList({"https://www.yammer.com/"}));
    EXPECT_TRUE(list.MatchTypedAddress("zz").isEmpty() && list.MatchTypedAddress("").isEmpty());
    // "w" matches http://w... and http://www.w...: the one address is offered once.
    EXPECT_EQ(list.MatchTypedAddress("w"), QStringList({"http://www.yandex.ru/", "http://www.wiki.org/"}));
    // www. is tried only when nothing else matches, and never twice.
    const AddressList www = Known({"http://www.yandex.ru/", "http://www.yahoo.com/", "https://ya.example/"});
    EXPECT_EQ(www.MatchTypedAddress("ya"), QStringList({"http://www.yandex.ru/", "http://www.yahoo.com/"}));
    EXPECT_TRUE(Known({"http://www.www.ya.com/"}).MatchTypedAddress("www.yb").isEmpty());
    EXPECT_EQ(www.FindString("http://www.ya", 1), 0); // wraps round
    EXPECT_EQ(www.FindString("nothing"), -1);
}

TEST(AddressList, SavedListComesBackInOrderWithinTheLimit) {
    LoggedInUser ann;
    AddressList list = Known({"http://one.com/", "https://two.com/", "http://three.com/"});
    list.SaveVisitedUrls(ann.user());
    EXPECT_EQ(ann.Stored("Urls"),
              QStringList({"Url0=http://one.com/", "Url1=https://two.com/", "Url2=http://three.com/"}));
    EXPECT_EQ(GetValue(ann.user(), "Urls"), "3");

    // Something not http among the stored values is passed over.
    SaveValue(ann.user() + "Urls", "Url3", "file:///etc/passwd"),
        SaveValue(ann.user() + "Urls", "Url4", "http://five.com/");
    ann.temp().Reopen();
    AddressList loaded;
    loaded.LoadVisitedUrls(ann.user(), 100);
    EXPECT_EQ(loaded.Urls(),
              QStringList({"http://one.com/", "https://two.com/", "http://three.com/", "http://five.com/"}));

    // Only as many values as the limit are looked at; the list keeps one fewer.
    AddressList limited;
    limited.LoadVisitedUrls(ann.user(), 3);
    EXPECT_EQ(limited.Urls(), QStringList({"https://two.com/", "http://three.com/"}));
}

// (The windows' and the master history's records: PopUps.StandAloneWindow, frame.MasterHistory.)
TEST(PageRecorder, OffersTheFirstPageOfAHistoryToTheAddressBoxAndSkipsUnknownProtocols) {
    LoggedInUser ann;
    MasterHistory master;
    AddressBox box;
    PageRecorder recorder(&master, &box);
    HisList link;
    const auto page = [](const QString& title, const QString& url,
                         const char* protocol = "HyperText Transfer Protocol") {
        return VisitedPage{title, {title, url}, QLatin1String(protocol)};
    };
    EXPECT_EQ(recorder.RecordPage(link, page("Front page", "http://www.news.com/")), "News - Front page");
    recorder.RecordPage(link, page("Sports", "http://www.news.com/sports"));
    recorder.RecordPage(link, page("Sports", "http://www.news.com/sports"));
    EXPECT_EQ(master.Count(), 2) << "a repeat of the newest is not a visit";
    ASSERT_EQ(link.Count(), 2) << "a Link's history keeps each address once, newest first";
    EXPECT_EQ(link.Item(1)->Hits, 2);
    EXPECT_EQ(link.Item(2)->URL, "http://www.news.com/");
    EXPECT_EQ(box.KnownAddresses().Urls(), QStringList({"http://www.news.com/"}));
    EXPECT_TRUE(recorder.RecordPage(link, page("x", "about:blank", "Unknown Protocol")).isNull());
    EXPECT_FALSE(recorder.RecordPage(link, page("Local", "file:///tmp/a.html", "File Protocol")).isNull());
}

TEST(AddressBox, TypingOffersMatchesUnderTheBoxArrowsWalkThemEscapeAndTheFocusCloseThem) {
    BoxWindow w;
    w.type("Ya");
    EXPECT_EQ(w.offered(), QStringList({"http://yahoo.com/mail", "http://www.yandex.ru/"}));
    EXPECT_EQ(w.edit()->text(), "Ya");             // nothing is filled in for the user
    EXPECT_EQ(QApplication::focusWidget(), w.box); // the list never takes the focus
    w.key(Qt::Key_Down);
    w.key(Qt::Key_Down);
    w.key(Qt::Key_Down); // at the last match: stays
    EXPECT_EQ(w.edit()->text(), "http://www.yandex.ru/");
    EXPECT_EQ(w.offered().size(), 2); // browsing did not look anything up again
    w.key(Qt::Key_Up);
    w.key(Qt::Key_Up); // up past the first restores what was typed
    EXPECT_EQ(w.edit()->text(), "Ya");
    w.key(Qt::Key_Down);
    w.type("x"); // typing on after browsing looks up the new text
    EXPECT_EQ(w.box->TypedText(), "http://yahoo.com/mailx");
    EXPECT_FALSE(w.shown());
    w.key(Qt::Key_Backspace); // editing keys look up again
    EXPECT_EQ(w.offered(), QStringList({"http://yahoo.com/mail"}));
    // Escape closes the matches until the next typed character.
    w.key(Qt::Key_Escape);
    w.key(Qt::Key_Left);
    EXPECT_FALSE(w.shown() || w.box->IsMatching());
    w.edit()->selectAll();
    w.type("h");
    EXPECT_EQ(w.offered().size(), 5);
    w.other->setFocus();
    EXPECT_FALSE(w.shown() || w.box->IsBeingEdited());
    EXPECT_TRUE(w.asked().isEmpty());
}

TEST(AddressBox, EnterCtrlEnterAndClicksOpenWhatWasChosen) {
    BoxWindow w;
    w.type("ya");
    w.key(Qt::Key_Down);
    w.key(Qt::Key_Return);
    EXPECT_FALSE(w.shown() || w.box->IsBeingEdited());
    w.edit()->clear();
    w.key(Qt::Key_Enter); // empty: nothing to open
    w.type("example");
    w.key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(w.edit()->text(), "www.example.com");
    // A click on a match; the box's own list: opening it closes the matches, a chosen address
    // opens with "keep".
    w.edit()->clear();
    w.type("ya");
    QTest::mouseClick(w.matches()->viewport(), Qt::LeftButton, {},
                      w.matches()->visualItemRect(w.matches()->item(1)).center());
    w.edit()->clear();
    w.type("ya");
    w.box->showPopup();
    EXPECT_FALSE(w.shown());
    QAbstractItemView* view = w.box->view();
    ASSERT_TRUE(WaitFor([&] { return view->isVisible(); }));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(w.box->model()->index(3, 0)).center());
    EXPECT_EQ(w.edit()->text(), "http://example.com/");
    // Arrow keys on the closed box step through its list without opening anything, and so
    // does leaving the box on a known address.
    QCoreApplication::processEvents();
    w.edit()->clear();
    w.key(Qt::Key_Down);
    EXPECT_TRUE(kKnown.contains(w.edit()->text()));
    w.other->setFocus();
    EXPECT_EQ(w.asked(), QStringList({"http://yahoo.com/mail 3", "www.example.com 3",
                                      "http://www.yandex.ru/ 3", "http://example.com/ -1"}));
}

TEST(AddressBox, KeysTheBoxUsesAreNotTakenByWindowShortcutsAndTheBlankPageNeverShows) {
    BoxWindow w;
    int stolen = 0;
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::CTRL | Qt::Key_C),
                                     QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::CTRL | Qt::Key_Z),
                                     QKeySequence(Qt::Key_Escape), QKeySequence(Qt::Key_Down),
                                     QKeySequence(Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Return)})
        QObject::connect(new QShortcut(keys, &w.window), &QShortcut::activated, [&] { ++stolen; });
    QGuiApplication::clipboard()->setText("ya");
    w.key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.offered().size(), 2);
    w.edit()->selectAll();
    w.key(Qt::Key_X, Qt::ControlModifier);
    w.key(Qt::Key_Z, Qt::ControlModifier);
    w.edit()->selectAll();
    w.key(Qt::Key_C, Qt::ControlModifier);
    w.key(Qt::Key_End);
    w.type("h");
    w.key(Qt::Key_Down);
    w.key(Qt::Key_Escape);
    w.key(Qt::Key_Return);
    w.key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(stolen, 0);
    EXPECT_EQ(w.asked(), QStringList({"http://yahoo.com/mail 3", "http://www.yahoo.com/mail 3"}));
    // The program's blank page never shows, typed, pasted or set.
    QGuiApplication::clipboard()->setText(core::BlankPageUrl());
    w.edit()->selectAll();
    w.key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.box->AddressText(), "");
    w.box->SetAddressText(QString(core::BlankPageUrl()).replace("/Blank.htm", "/blank%2Ehtm"));
    EXPECT_EQ(w.box->AddressText(), "");
}

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
