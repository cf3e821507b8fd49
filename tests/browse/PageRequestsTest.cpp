// What pages ask besides navigating (scripted panes): the server's sign-in box, the page's
// dialogs, leave for features, crashes; and the files they send: where downloads go and how the
// Downloads window shows them (downloads made by the test; the engine's own are end to end).
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeWidget>

#include "browse/DownloadList.h"
#include "browse/DownloadsWindow.h"
#include "browse/LinkSite.h"
#include "browse/PageRequests.h"
#include "browse/PopupPolicy.h"
#include "browse/StandaloneWindow.h"
#include "BrowseSupport.h"

TEST(LinkSite, OwnSiteMeansTheSameRegistrableDomainAndNoLessPrivacy) {
    const struct {
        const char* url;
        const char* link;
        bool own;
    } cases[] = {
        {"https://login.bank.com/vault", "https://www.bank.com/", true},
        {"https://bank.com.evil.net/", "https://www.bank.com/", false},
        {"https://evilbank.com/", "https://bank.com/", false},
        {"http://www.bank.com/", "https://www.bank.com/", false},
        {"https://www.bank.com/", "http://www.bank.com/", true},
        {"https://secure.bank.co.uk/", "https://www.bank.co.uk/", true},
        {"https://other.co.uk/", "https://www.bank.co.uk/", false},
        {"http://127.0.0.1:8080/a", "http://127.0.0.1:9090/", true},
        {"http://127.0.0.2/", "http://127.0.0.1/", false},
        {"ftp://www.bank.com/", "https://www.bank.com/", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsLinksOwnSite(QLatin1String(c.url), QLatin1String(c.link)), c.own)
            << c.url << " " << c.link;
}

TEST(PageRequests, ALoginLinksOwnSiteGetsItsCredentialsOnceThenTheUserIsAsked) {
    BrowseFixture w({{"Bank", "https://www.bank.test/", false, true, "alice", "secret"},
                     {"Reader", "https://www.bank.test/", false, false, "bob", "other"}});
    w.Load();
    ScriptedDialogs dialogs;
    QStringList said; // what each sign-in box said and offered; each is cancelled
    const auto cancel = [&](QDialog& box) {
        said << Child<QLabel>(&box, "lblQuestion")->text() + " | " +
                    Child<QLineEdit>(&box, "txtUserName")->text();
        return int(QDialog::Rejected);
    };
    RecordingPane& bank = w.pane(w.index("Bank"));
    const auto ask = [](RecordingPane& pane, const char* url, const char* realm = "X",
                        const QString& proxy = {}) {
        const SignInRequest r =
            pane.RaiseAuthenticationRequired(QLatin1String(url), QLatin1String(realm), proxy);
        return r.answered ? r.userName + QLatin1Char('/') + r.password : QStringLiteral("-");
    };
    EXPECT_EQ(ask(bank, "https://login.bank.test/v", "Vault"), "alice/secret");
    // Asked again: refused, the user is asked (what is typed there: Everyday.FilesSignInBoxes*).
    // A page that loads settles it: the next box gets the credentials again.
    dialogs.Next(cancel);
    EXPECT_EQ(ask(bank, "https://login.bank.test/v", "Vault"), "-");
    bank.SimulateLoad("https://www.bank.test/home");
    EXPECT_EQ(ask(bank, "https://login.bank.test/v", "Vault"), "alice/secret");

    // Another site, a proxy, a Link that does not log in: asked (and cancelled) every time.
    for (int n = 0; n < 3; ++n)
        dialogs.Next(cancel);
    EXPECT_EQ(ask(bank, "https://www.other.test/"), "-");
    EXPECT_EQ(ask(bank, "https://www.bank.test/", "", "proxy.test:3128"), QStringLiteral("-"));
    EXPECT_EQ(ask(w.pane(w.index("Reader")), "https://www.bank.test/"), "-");
    EXPECT_EQ(said.value(2), "The proxy proxy.test:3128 asks for a user name and password. | ");
    // Nothing is asked over the lock.
    App().Locked = true;
    EXPECT_EQ(ask(bank, "https://www.other.test/"), "-");
    App().Locked = false;
    EXPECT_EQ(dialogs.count(), 4);
}

// (Page dialogs' titles, silence and answers: EverydayPane.PageDialogsAndPermissionRequests.)
TEST(PageRequests, AHiddenPaneShowsNoPageDialogAndFeaturesAreAskedInABarAndRememberedPerUser) {
    TempStore store;
    ScriptedDialogs dialogs;
    App().CurrentUser = QStringLiteral("ann");
    FakePane pane; // a Link's page behind another's
    PageRequests::Attach(&pane);
    EXPECT_FALSE(pane.RaisePageDialog(PageDialogRequest::Confirm, "Hidden?").accepted);
    EXPECT_EQ(dialogs.count(), 0);
    const QString meet = QStringLiteral("https://meet.test");
    pane.RaisePermissionRequested(meet, SiteFeature::Camera);
    pane.RaisePermissionRequested(meet, SiteFeature::Microphone);
    PermissionBar* bar = pane.Widget()->findChild<PermissionBar*>();
    ASSERT_TRUE(bar && !bar->isHidden());
    QLabel* question = Child<QLabel>(bar, "lblQuestion");
    EXPECT_EQ(question->text(), "meet.test wants to use your camera.");
    Child<QCheckBox>(bar, "chkRemember")->setChecked(true);
    Child<QPushButton>(bar, "cmdAllow")->click();
    EXPECT_EQ(question->text(), "meet.test wants to use your microphone.");
    Child<QPushButton>(bar, "cmdDeny")->click();
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(pane.calls(), QStringList({"AnswerPermission https://meet.test 3 allow",
                                         "AnswerPermission https://meet.test 2 deny"}));
    EXPECT_EQ(core::GetValue("annPermissions", "https://meet.test|Camera"), "Allow");

    // The remembered answer comes at once; the other is asked again, and so is another user.
    pane.ClearRecords();
    pane.RaisePermissionRequested(meet, SiteFeature::Camera);
    EXPECT_EQ(pane.calls(), QStringList{"AnswerPermission https://meet.test 3 allow"});
    pane.RaisePermissionRequested(meet, SiteFeature::Microphone);
    App().CurrentUser = QStringLiteral("bob");
    pane.RaisePermissionRequested(meet, SiteFeature::Camera);
    EXPECT_EQ(bar->Waiting(), 2);
    // A new page drops what the old one asked: no; over the lock nothing is asked.
    pane.SimulateLoad("https://meet.test/room");
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(pane.calls().mid(1), QStringList({"AnswerPermission https://meet.test 2 deny",
                                                "AnswerPermission https://meet.test 3 deny"}));
    App().Locked = true;
    pane.RaisePermissionRequested(meet, SiteFeature::FullScreen);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(pane.calls().last(), "AnswerPermission https://meet.test 8 deny");
}

TEST(PageRequests, ACrashResetsTheLoginAndANewWindowThatOnlyBroughtAFileGoes) {
    BrowseFixture w({{"Bank", "https://www.bank.test/", false, true, "alice", "secret"}});
    BrowseWindow& browse = w.Load();
    RecordingPane& pane = w.pane(0);
    // A crash while the login waits: the login starts again with the next load, the page shows.
    Link& bank = w.link("Bank");
    w.click("Bank");
    bank.SetPasswordSent(true);
    bank.SetLoginTimeOut(Clock::Now().addSecs(20));
    pane.RaisePageCrashed(PageEnd::Killed);
    PaneNotice* notice = pane.Widget()->findChild<PaneNotice*>();
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->Shown(), PaneNotice::Kind::Crashed);
    EXPECT_FALSE(bank.PasswordSent() || bank.LoggedIn() || browse.IsPlaceholderShown());
    EXPECT_LE(bank.LoginTimeOut(), Clock::Now());
    Child<QPushButton>(notice, "cmdReload")->click();
    EXPECT_EQ(pane.calls().last(), "RecoverPage");

    // A new window that only brought a file goes; one with a page stays.
    StandaloneWindow* empty =
        browse.PopUps().OpenNewWin("http://a.test/file.zip", true, nullptr, true, QString());
    StandaloneWindow* page = browse.PopUps().OpenNewWin("http://a.test/", true, nullptr, true, QString());
    static_cast<FakePane*>(page->Pane())->SimulateLoad("http://a.test/");
    static_cast<FakePane*>(page->Pane())->RaiseFileDownload("http://a.test/report.pdf");
    static_cast<FakePane*>(empty->Pane())->RaiseFileDownload("http://a.test/file.zip");
    EXPECT_TRUE(WaitFor([&] { return browse.PopUps().NewWindows() == QList<StandaloneWindow*>{page}; }));
}

namespace {
QStringList Row(const DownloadsWindow& window, int row) {
    auto* list = window.findChild<QTreeWidget*>("lstDownloads");
    QStringList out;
    for (int c = 0; c < list->columnCount(); ++c)
        out << list->topLevelItem(row)->text(c);
    return out;
}
} // namespace

TEST(Downloads, ANameThatIsTakenGetsANumberAndASiteChoosesNoFolder) {
    QTemporaryDir dir;
    for (const char* taken : {"report.pdf", "report (1).pdf", "archive.tar.gz", "notes", "a.b.txt"})
        SaveBytes(dir.filePath(QLatin1String(taken)), {});
    const struct {
        const char* offered;
        const char* saved;
    } cases[] = {
        {"report.pdf", "report (2).pdf"},
        {"archive.tar.gz", "archive (1).tar.gz"},
        {"notes", "notes (1)"},
        {"a.b.txt", "a.b (1).txt"},
        {"free.zip", "free.zip"},
        {"../../etc/passwd", "passwd"},
        {"..hidden", "hidden"},
        {"a:b*c?.txt", "a_b_c_.txt"},
        {"", "download"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DownloadList::UniqueName(dir.path(), QLatin1String(c.offered)), QLatin1String(c.saved))
            << c.offered;
}

TEST(Downloads, TheQuestionStartsInTheUsersLastFolderAndNothingIsAskedOverTheLock) {
    TempStore store;
    ScriptedFiles files;
    QTemporaryDir ann, bob;
    App().CurrentUser = QStringLiteral("ann");
    files.Next(ann.filePath("one.zip"));
    EXPECT_EQ(DownloadList::AskWhereToSave("one.zip"), ann.filePath("one.zip"));
    EXPECT_EQ(files.asked()[0].folder, QStandardPaths::writableLocation(QStandardPaths::DownloadLocation));
    files.Next(QString()); // the user says no: nothing is remembered of it
    EXPECT_EQ(DownloadList::AskWhereToSave("two.zip"), QString());
    EXPECT_EQ(files.asked()[1].folder, ann.path());
    App().CurrentUser = QStringLiteral("bob");
    files.Next(bob.filePath("two.zip"));
    DownloadList::AskWhereToSave("two.zip");
    EXPECT_NE(files.asked()[2].folder, ann.path());
    EXPECT_EQ(core::GetValue("bob", "DownloadFolder") + core::GetValue("ann", "DownloadFolder"),
              bob.path() + ann.path());
    App().Locked = true;
    EXPECT_EQ(DownloadList::AskWhereToSave("three.zip"), QString());
    EXPECT_EQ(files.asked().size(), 3);
}

TEST(Downloads, TheWindowShowsProgressAndSpeedAndOffersWhatEachStateAllows) {
    Clock::SetNow(QDateTime(QDate(2024, 5, 1), QTime(12, 0)));
    DownloadList list;
    DownloadsWindow window(list);
    QList<QUrl> opened;
    window.SetOpener([&](const QUrl& url) { opened << url; });
    Download running("http://x.test/big.iso", "/tmp/dl/big.iso");
    bool cancelled = false;
    running.SetCanceller([&] { cancelled = true; });
    list.Add(&running);
    Clock::Advance(2000);
    running.Update(3 * 1024 * 1024, 10 * 1024 * 1024);
    EXPECT_EQ(Row(window, 0),
              QStringList({"big.iso", "30%", "3.0 MB of 10.0 MB", "1.5 MB/s", "Downloading"}));
    auto* cancel = window.findChild<QPushButton*>("cmdCancel");
    cancel->click();
    EXPECT_TRUE(cancelled && !cancel->isEnabled());
    EXPECT_EQ(Row(window, 0).last(), "Cancelled");

    Download done("http://x.test/a.pdf", "/tmp/dl/a.pdf");
    QList<Download*> completed;
    QObject::connect(&list, &DownloadList::Completed, [&](Download* d) { completed << d; });
    list.Add(&done);
    done.Update(512, -1);
    done.Finish(Download::State::Completed);
    EXPECT_EQ(completed, QList<Download*>{&done});
    EXPECT_EQ(Row(window, 1), QStringList({"a.pdf", "100%", "512 bytes", "", "Done"}));
    window.findChild<QPushButton*>("cmdOpen")->click();
    window.findChild<QPushButton*>("cmdOpenFolder")->click();
    EXPECT_EQ(opened, QList<QUrl>({QUrl::fromLocalFile("/tmp/dl/a.pdf"), QUrl::fromLocalFile("/tmp/dl")}));
    Download failed("http://x.test/c", "/tmp/dl/c");
    list.Add(&failed);
    failed.Finish(Download::State::Failed, "Network disconnected");
    EXPECT_EQ(Row(window, 2).last(), "Failed: Network disconnected");
    Clock::Reset();
}
