// What pages ask besides navigating (scripted panes): the server's sign-in box, the page's
// dialogs, leave for features, crashes.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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
