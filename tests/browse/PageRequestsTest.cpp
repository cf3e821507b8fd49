// What pages ask besides navigating, answered for the browse window's panes and on their own
// (scripted panes): the server's sign-in box, the page's dialogs, leave for features, and the
// notices for certificate problems, crashes and hangs.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "browse/LinkSite.h"
#include "browse/PageDialogs.h"
#include "browse/PageRequests.h"
#include "browse/PopupPolicy.h"
#include "browse/SignInBox.h"
#include "browse/SitePermissions.h"
#include "browse/StandaloneWindow.h"
#include "BrowseSupport.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Settings.h"
#include "links/Links.h"

using namespace browsetest;

namespace {

// Answers the next dialog as a sign-in box: records what it said, types a password or cancels.
std::function<int(QDialog&)> SignIn(QStringList* said, const QString& password = {}) {
    return [said, password](QDialog& dialog) {
        auto& box = static_cast<SignInBox&>(dialog);
        *said << box.windowTitle() + QStringLiteral(" | ") + box.QuestionLabel()->text() +
                     QStringLiteral(" | ") + box.UserNameEdit()->text();
        if (password.isEmpty()) return int(QDialog::Rejected);
        box.PasswordEdit()->setText(password);
        return int(QDialog::Accepted);
    };
}

QPushButton* Button(QWidget* in, const char* name) {
    return in->findChild<QPushButton*>(QLatin1String(name));
}

} // namespace

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
    QStringList said;
    RecordingPane& bank = w.pane(w.index(QStringLiteral("Bank")));
    SignInRequest r = bank.RaiseAuthenticationRequired(QStringLiteral("https://login.bank.test/v"),
                                                       QStringLiteral("Vault"));
    EXPECT_TRUE(r.answered);
    EXPECT_EQ(r.userName + QLatin1Char('/') + r.password, QStringLiteral("alice/secret"));
    EXPECT_EQ(dialogs.count(), 0);

    // Asked again: refused. The user is asked, with the Link's user name offered.
    dialogs.Next(SignIn(&said, QStringLiteral("typed")));
    r = bank.RaiseAuthenticationRequired(QStringLiteral("https://login.bank.test/v"),
                                         QStringLiteral("Vault"));
    EXPECT_EQ(r.userName + QLatin1Char('/') + r.password, QStringLiteral("alice/typed"));
    // A page that loads settles it: the next box gets the credentials again.
    bank.SimulateLoad(QStringLiteral("https://www.bank.test/home"));
    r = bank.RaiseAuthenticationRequired(QStringLiteral("https://login.bank.test/v"),
                                         QStringLiteral("Vault"));
    EXPECT_EQ(r.password, QStringLiteral("secret"));

    // Another site, a proxy, a Link that does not log in: asked (and cancelled) every time.
    for (int n = 0; n < 3; ++n)
        dialogs.Next(SignIn(&said));
    EXPECT_FALSE(
        bank.RaiseAuthenticationRequired(QStringLiteral("https://www.other.test/"), QStringLiteral("X"))
            .answered);
    EXPECT_FALSE(bank.RaiseAuthenticationRequired(QStringLiteral("https://www.bank.test/"), {},
                                                  QStringLiteral("proxy.test:3128"))
                     .answered);
    EXPECT_FALSE(
        w.pane(w.index(QStringLiteral("Reader")))
            .RaiseAuthenticationRequired(QStringLiteral("https://www.bank.test/"), QStringLiteral("X"))
            .answered);
    EXPECT_EQ(said,
              QStringList({"Sign In | The site login.bank.test asks for a user name and password. It says: "
                           "\"Vault\" | alice",
                           "Sign In | The site www.other.test asks for a user name and password. It says: "
                           "\"X\" | ",
                           "Sign In | The proxy proxy.test:3128 asks for a user name and password. | ",
                           "Sign In | The site www.bank.test asks for a user name and password. It says: "
                           "\"X\" | "}));

    // Nothing is asked over the lock.
    App().Locked = true;
    EXPECT_FALSE(
        bank.RaiseAuthenticationRequired(QStringLiteral("https://www.other.test/"), QStringLiteral("X"))
            .answered);
    App().Locked = false;
    EXPECT_EQ(dialogs.count(), 4);
}

TEST(PageRequests, PageDialogsNameTheSiteAndASilencedPageStaysQuietUntilItsNextPage) {
    TempStore store;
    ScriptedDialogs dialogs;
    FakePane pane;
    pane.SetLocation(QStringLiteral("https://www.shop.test:8443/cart"));
    PageRequests::Attach(&pane);
    // A pane the user does not see (a Link's page behind another's) asks nothing.
    EXPECT_FALSE(pane.RaisePageDialog(PageDialogRequest::Confirm, QStringLiteral("Hidden?")).accepted);
    EXPECT_EQ(dialogs.count(), 0);
    pane.widget()->show();
    QStringList seen;
    const auto answer = [&](bool accept, bool silence, const QString& value = {}) {
        dialogs.Next([&, accept, silence, value](QDialog& d) {
            auto& box = static_cast<PageDialogBox&>(d);
            seen << d.windowTitle() + QStringLiteral(" | ") + box.MessageLabel()->text() +
                        (box.SilenceCheck() ? QStringLiteral(" | ") + box.SilenceCheck()->text() : QString());
            if (box.SilenceCheck()) box.SilenceCheck()->setChecked(silence);
            if (box.ValueEdit()) box.ValueEdit()->setText(value);
            return int(accept ? QDialog::Accepted : QDialog::Rejected);
        });
    };
    answer(true, false);
    EXPECT_TRUE(pane.RaisePageDialog(PageDialogRequest::Confirm, QStringLiteral("Empty the cart?")).accepted);
    answer(true, true, QStringLiteral("2"));
    const PageDialogRequest prompt =
        pane.RaisePageDialog(PageDialogRequest::Prompt, QStringLiteral("How many?"));
    EXPECT_TRUE(prompt.accepted);
    EXPECT_EQ(prompt.value, QStringLiteral("2"));
    EXPECT_EQ(seen, QStringList({"www.shop.test:8443 | Empty the cart?",
                                 "www.shop.test:8443 | How many? | " + PageDialogBox::kSilenceText}));
    // Silenced: no more boxes; the page hears no, and may be left without a question.
    EXPECT_FALSE(pane.RaisePageDialog(PageDialogRequest::Confirm, QStringLiteral("Sure?")).accepted);
    EXPECT_TRUE(pane.RaisePageDialog(PageDialogRequest::BeforeUnload, QStringLiteral("Leave?")).accepted);
    EXPECT_EQ(dialogs.count(), 2);
    // The next page may ask again.
    pane.SimulateLoad(QStringLiteral("https://www.shop.test:8443/paid"));
    answer(false, false);
    EXPECT_FALSE(pane.RaisePageDialog(PageDialogRequest::Confirm, QStringLiteral("Rate us?")).accepted);
    EXPECT_EQ(dialogs.count(), 3);
    App().Locked = true;
    EXPECT_FALSE(pane.RaisePageDialog(PageDialogRequest::Confirm, QStringLiteral("Again?")).accepted);
    App().Locked = false;
    EXPECT_EQ(dialogs.count(), 3);
}

TEST(PageRequests, FeaturesAreAskedInABarAndRememberedPerUser) {
    TempStore store;
    App().CurrentUser = QStringLiteral("ann");
    FakePane pane;
    PageRequests* requests = PageRequests::Attach(&pane);
    const QString meet = QStringLiteral("https://meet.test");
    pane.RaisePermissionRequested(meet, SiteFeature::Camera);
    pane.RaisePermissionRequested(meet, SiteFeature::Microphone);
    PermissionBar* bar = requests->Bar();
    ASSERT_TRUE(bar);
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(bar->QuestionLabel()->text(), QStringLiteral("meet.test wants to use your camera."));
    bar->RememberCheck()->setChecked(true);
    bar->AllowButton()->click();
    EXPECT_EQ(bar->QuestionLabel()->text(), QStringLiteral("meet.test wants to use your microphone."));
    EXPECT_FALSE(bar->RememberCheck()->isChecked());
    bar->DenyButton()->click();
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(pane.calls(), QStringList({"AnswerPermission https://meet.test 3 allow",
                                         "AnswerPermission https://meet.test 2 deny"}));
    EXPECT_EQ(core::GetValue(QStringLiteral("annPermissions"), QStringLiteral("https://meet.test|Camera")),
              QStringLiteral("Allow"));

    // The remembered answer comes at once; the other is asked again, and so is another user.
    pane.ClearRecords();
    pane.RaisePermissionRequested(meet, SiteFeature::Camera);
    EXPECT_EQ(pane.calls(), QStringList{"AnswerPermission https://meet.test 3 allow"});
    pane.RaisePermissionRequested(meet, SiteFeature::Microphone);
    EXPECT_FALSE(bar->isHidden());
    App().CurrentUser = QStringLiteral("bob");
    pane.RaisePermissionRequested(meet, SiteFeature::Camera);
    EXPECT_EQ(bar->Waiting(), 2);
    // A new page drops what the old one asked: no; over the lock nothing is asked.
    pane.SimulateLoad(QStringLiteral("https://meet.test/room"));
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(pane.calls().mid(1), QStringList({"AnswerPermission https://meet.test 2 deny",
                                                "AnswerPermission https://meet.test 3 deny"}));
    App().Locked = true;
    pane.RaisePermissionRequested(meet, SiteFeature::FullScreen);
    App().Locked = false;
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(pane.calls().last(), QStringLiteral("AnswerPermission https://meet.test 8 deny"));
}

TEST(PageRequests, CertificateCrashAndHangNoticesOfferTheirWaysOnAndACrashResetsTheLogin) {
    BrowseFixture w({{"Bank", "https://www.bank.test/", false, true, "alice", "secret"}});
    BrowseWindow& browse = w.Load();
    RecordingPane& pane = w.pane(0);
    pane.ClearRecords();
    pane.RaiseCertificateError(QStringLiteral("https://www.bank.test/"),
                               QStringLiteral("The certificate has expired."), true);
    PaneNotice* notice = pane.widget()->findChild<PaneNotice*>();
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->Shown(), PaneNotice::Kind::Certificate);
    EXPECT_EQ(notice->TitleLabel()->text(), QStringLiteral("This site's certificate is not valid"));
    EXPECT_EQ(notice->TextLabel()->text(),
              PageRequests::CertificateText(QStringLiteral("https://www.bank.test/"),
                                            QStringLiteral("The certificate has expired."), true));
    EXPECT_TRUE(notice->TextLabel()->text().startsWith(QStringLiteral(
        "Bramblegate stopped before opening www.bank.test, because the site's certificate is not "
        "valid: The certificate has expired.")));
    Button(notice, "cmdGoOn")->click();
    EXPECT_EQ(notice->Shown(), PaneNotice::Kind::None);
    pane.RaiseCertificateError(QStringLiteral("https://www.bank.test/"), QStringLiteral("Pinned."), false);
    EXPECT_FALSE(Button(notice, "cmdGoOn") && Button(notice, "cmdGoOn")->isVisible());
    Button(notice, "cmdBack")->click();
    EXPECT_EQ(pane.calls(), QStringList({"AcceptCertificate", "RejectCertificate"}));

    // A crash while the login waits: the login starts again with the next load, the page shows.
    Link& bank = w.link(QStringLiteral("Bank"));
    w.click(QStringLiteral("Bank"));
    bank.SetPasswordSent(true);
    bank.SetLoginTimeOut(Clock::Now().addSecs(20));
    pane.ClearRecords();
    pane.RaisePageCrashed(PageEnd::Killed);
    EXPECT_EQ(notice->Shown(), PaneNotice::Kind::Crashed);
    EXPECT_EQ(notice->TextLabel()->text(), PageRequests::CrashText(PageEnd::Killed));
    EXPECT_FALSE(bank.PasswordSent());
    EXPECT_FALSE(bank.LoggedIn());
    EXPECT_LE(bank.LoginTimeOut(), Clock::Now());
    EXPECT_FALSE(browse.IsPlaceholderShown());
    Button(notice, "cmdReload")->click();
    EXPECT_EQ(pane.calls(), QStringList{"RecoverPage"});

    // A hang: Wait hides the notice, an answer from the page too.
    pane.RaisePageUnresponsive(true);
    EXPECT_EQ(notice->Shown(), PaneNotice::Kind::Unresponsive);
    Button(notice, "cmdWait")->click();
    EXPECT_EQ(notice->Shown(), PaneNotice::Kind::None);
    pane.RaisePageUnresponsive(true);
    pane.RaisePageUnresponsive(false);
    EXPECT_EQ(notice->Shown(), PaneNotice::Kind::None);
}

TEST(PageRequests, ANewWindowThatOnlyBroughtAFileGoesAndOneWithAPageStays) {
    BrowseFixture w({{"A", "http://a.test/"}});
    BrowseWindow& browse = w.Load();
    StandaloneWindow* empty =
        browse.PopUps().OpenNewWin(QStringLiteral("http://a.test/file.zip"), true, nullptr, true, QString());
    StandaloneWindow* page =
        browse.PopUps().OpenNewWin(QStringLiteral("http://a.test/"), true, nullptr, true, QString());
    ASSERT_TRUE(empty && page);
    static_cast<FakePane*>(page->Pane())->SimulateLoad(QStringLiteral("http://a.test/"));
    static_cast<FakePane*>(page->Pane())->RaiseFileDownload(QStringLiteral("http://a.test/report.pdf"));
    static_cast<FakePane*>(empty->Pane())->RaiseFileDownload(QStringLiteral("http://a.test/file.zip"));
    EXPECT_TRUE(WaitFor([&] { return browse.PopUps().NewWindows().size() == 1; }));
    EXPECT_EQ(browse.PopUps().NewWindows(), QList<StandaloneWindow*>{page});
}
