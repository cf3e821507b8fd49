// The everyday requests of pages, end to end: the real frame, browse window and engine against
// the local test sites. Auto-login from a click, downloads, the server's sign-in box, a
// certificate that is not valid, a page that hangs and is reloaded, its own dialogs, what a
// site asks leave for, and pop-ups at load.
#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <QWheelEvent>

#include "browse/BrowseWindow.h"
#include "browse/DownloadList.h"
#include "browse/DownloadsWindow.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/NavigationDriver.h"
#include "browse/PageRequests.h"
#include "browse/PaneArea.h"
#include "browse/PopupPolicy.h"
#include "browse/PopUpsList.h"
#include "browse/SitePermissions.h"
#include "browse/TabColour.h"
#include "core/AppState.h"
#include "e2e/E2eSupport.h"
#include "frame/MainWindow.h"
#include "frame/MessageFlasher.h"
#include "sites/TestSites.h"

namespace {

using sites::SharedSites;
using sites::TestSites;

} // namespace

TEST(Everyday, FilesSignInBoxesAutoLoginABadCertificateAHungPageAndNotificationsInOneWindow) {
    TempStore store;
    ScriptedDialogs dialogs;
    ScriptedFiles files;
    sites::TlsSite tls;
    App().CurrentUser = "e2e-everyday";
    App().PassPhrase = "everyday pass";
    const QString pw = TestSites::kPassword, user = TestSites::kUser;
    StoreLinks({{"Bank", "/login", user, pw, {}, "Accounts"},
                {"By anchor", "/login?next=/after/anchor", user, pw, {}, "Accounts"},
                {"By button", "/login?next=/after/button", user, pw, {}, "Accounts"},
                {"By image", "/login?next=/after/image", user, pw, {}, "go"},
                {"By list", "/login?next=/after/list", user, pw, {}, "Accounts"},
                {"Strict", "/login-strict", user, "not-the-password"},
                {"Vault", "/basic-auth", user, pw},
                {"Vault wrong", SharedSites().OtherUrl("/basic-auth"), user, "not-the-password"},
                {"Hang", "/hang-once?key=link", user, pw},
                {"Shady", tls.Url("/login"), user, pw},
                {"Files", "/plain", user, pw}});
    E2eWindow w;
    MainWindow& frame = *w.frame;
    BrowseWindow& browse = *w.browse;

    // One click logs in; the post-login text is found as an anchor, a button, an image or a list
    // option. (The many login page layouts: LoginLabE2e.)
    const auto inFront = [&](const QString& caption) {
        return !browse.IsPlaceholderShown() && browse.Panes().Front() == w.index(caption) &&
               w.pane(caption).ReadyState() == PaneReadyState::Complete;
    };
    // Logged in (not assumed), its page in front at an address holding `at`, its tab green.
    const auto loggedIn = [&](const QString& caption, const QString& at) {
        return w.link(caption).LoggedIn() && !w.link(caption).LoginAssumed() && inFront(caption) &&
               browse.TabColour(w.index(caption)) == TabColour::Green &&
               w.pane(caption).LocationURL().contains(at);
    };
    qsizetype accepted = 0, refused = 0;
    // Clicks the Link's button: its pane waits behind the "Please wait..." page until `settled`.
    const auto open = [&](const QString& caption, const std::function<bool()>& settled) {
        accepted = SharedSites().AcceptedLogins().size();
        refused = SharedSites().RefusedLogins().size();
        w.Click(caption);
        EXPECT_TRUE(browse.IsPlaceholderShown()) << caption.toStdString();
        return WaitFor(settled, 20000);
    };
    for (const char* kind : {"", "anchor", "button", "image", "list"}) {
        const QString caption = *kind ? QStringLiteral("By ") + kind : QStringLiteral("Bank");
        const QString at = *kind ? QStringLiteral("via=") + kind : QStringLiteral("/accounts");
        ASSERT_TRUE(open(caption, [&] { return loggedIn(caption, at); }))
            << kind << " " << w.pane(caption).LocationURL().toStdString();
        EXPECT_EQ(SharedSites().AcceptedLogins().mid(accepted), QStringList{"alice/p"});
        EXPECT_TRUE(w.link(caption).NavigateAfterLoginDone());
    }
    // The server refuses the password with its own 401 page: no login, the page shows at once.
    ASSERT_TRUE(open("Strict", [&] { return w.link("Strict").NavigationError() && inFront("Strict"); }));
    EXPECT_EQ(SharedSites().RefusedLogins().mid(refused), QStringList{"alice/p"});
    EXPECT_FALSE(w.link("Strict").LoggedIn());
    EXPECT_NE(browse.TabColour(w.index("Strict")), TabColour::Green);

    const auto notice = [&](const QString& caption) {
        return w.pane(caption).Widget()->findChild<PaneNotice*>("paneNotice");
    };
    const auto noticeShown = [&](const QString& caption, PaneNotice::Kind kind) {
        return notice(caption) && notice(caption)->Shown() == kind;
    };

    // A file is saved whole; a cancel leaves no part.
    QTemporaryDir dir;
    files.Next(dir.filePath("report.bin"));
    w.Click("Files");
    ASSERT_TRUE(WaitFor([&] { return w.pane("Files").ReadyState() == PaneReadyState::Complete; }));
    w.pane("Files").Navigate2(SharedSites().Url("/download?bytes=300000&name=report.bin"));
    const DownloadList& list = frame.Downloads();
    ASSERT_TRUE(WaitFor([&] { return !list.Items().isEmpty() && list.Items().last()->Finished(); }, 20000));
    EXPECT_EQ(list.Items().last()->CurrentState(), Download::State::Completed);
    // No page follows a file: the Link's square and progress are those of the page it still shows.
    EXPECT_EQ(browse.TabColour(w.index("Files")), TabColour::Yellow);
    EXPECT_EQ(w.link("Files").ProgressValue(), 0);
    EXPECT_EQ(FileBytes(dir.filePath("report.bin")), TestSites::DownloadBytes(300000));
    EXPECT_EQ(files.asked().value(0).fileName, "report.bin");
    EXPECT_EQ(frame.Flasher().FlashMessage(), "Download complete: report.bin");
    EXPECT_TRUE(frame.findChild<DownloadsWindow*>()->isVisible());

    // The next file is cancelled half-way: nothing of it stays. (Names and folders offered, and
    // nothing asked over the lock: Downloads.*.)
    files.Next(dir.filePath("report (1).bin"));
    w.pane("Files").Navigate2(SharedSites().Url("/download?bytes=6000000&name=report.bin&trickle=150"));
    ASSERT_TRUE(
        WaitFor([&] { return list.Items().size() == 2 && list.Items().last()->Received() > 0; }, 20000));
    list.Items().last()->Cancel();
    ASSERT_TRUE(WaitFor([&] { return list.Items().last()->CurrentState() == Download::State::Cancelled; }));
    QTest::qWait(1500);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"report.bin"});

    // A Link's own sign-in box is answered once.
    auto attempts = [n = SharedSites().SignInAttempts().size()]() mutable {
        const QStringList out = SharedSites().SignInAttempts().mid(n);
        n += out.size();
        return out;
    };
    w.Click("Vault");
    ASSERT_TRUE(WaitFor([&] { return w.pane("Vault").LocationName() == "Bramble Vault"; }, 20000));
    EXPECT_EQ(attempts(), QStringList({"", "alice:wonderland"})); // and no box: none is scripted

    // Another site's box never gets a Link's credentials.
    attempts();
    dialogs.Next([](QDialog&) { return int(QDialog::Rejected); });
    w.pane("Files").Navigate2(SharedSites().Url("/basic-auth").replace("127.0.0.1", "localhost"));
    ASSERT_TRUE(WaitFor([&] { return dialogs.count() == 1; }));
    EXPECT_EQ(attempts(), QStringList{""});

    // The Link's password is wrong: it is sent once, then what the user types in the box.
    dialogs.Next([&](QDialog& box) {
        box.findChild<QLineEdit*>("txtPassword")->setText(TestSites::kPassword);
        return int(QDialog::Accepted);
    });
    w.Click("Vault wrong");
    ASSERT_TRUE(WaitFor([&] { return w.pane("Vault wrong").LocationName() == "Bramble Vault"; }, 20000));
    EXPECT_EQ(attempts(), QStringList({"", "alice:not-the-password", "alice:wonderland"}));

    // A site with a bad certificate shows the program's page and is never logged into.
    w.Click("Shady");
    ASSERT_TRUE(WaitFor([&] { return noticeShown("Shady", PaneNotice::Kind::Certificate); }, 20000));
    EXPECT_TRUE(notice("Shady")->findChild<QLabel*>("lblText")->text().startsWith(
        "Bramblegate stopped before opening 127.0.0.1, because the site's certificate is not valid: "));
    EXPECT_FALSE(w.pane("Shady").CertificateOverridden());
    notice("Shady")->findChild<QPushButton*>("cmdGoOn")->click();
    ASSERT_TRUE(WaitFor([&] { return w.pane("Shady").LocationName() == "Sign In - Shady Bank"; }, 20000));
    EXPECT_TRUE(w.pane("Shady").CertificateOverridden());
    EXPECT_FALSE(notice("Shady")->isVisible());
    QTest::qWait(2500);
    EXPECT_EQ(tls.Posts(), 0);
    EXPECT_FALSE(w.link("Shady").PasswordSent());
    EXPECT_EQ(w.link("Shady").SecureLock, 0);

    // A page that hangs (the Link waits for a login that cannot come) is reloaded in a new
    // process, and its Link logs in.
    accepted = SharedSites().AcceptedLogins().size();
    browse.CreatePane(w.index("Hang"));
    w.pane("Hang").SetUnresponsiveAfter(1500);
    w.Click("Hang");
    ASSERT_TRUE(WaitFor([&] { return noticeShown("Hang", PaneNotice::Kind::Unresponsive); }, 30000));
    EXPECT_FALSE(w.link("Hang").LoggedIn());
    bool answered = false; // what waits on the hung page is answered (with no page) when it goes
    w.pane("Hang").RefreshDocument([&](DocumentPtr document) { answered = !document; });
    notice("Hang")->findChild<QPushButton*>("cmdReload")->click();
    ASSERT_TRUE(WaitFor([&] { return w.link("Hang").LoggedIn(); }, 30000));
    EXPECT_TRUE(answered);
    EXPECT_EQ(SharedSites().AcceptedLogins().mid(accepted), QStringList{"alice/p"});
    EXPECT_FALSE(noticeShown("Hang", PaneNotice::Kind::Crashed));

    // A site let show notifications is heard in the status bar.
    SitePermissions::Remember(App().CurrentUser, SharedSites().Url(QString()), SiteFeature::Notifications,
                              true);
    SharedSites().AddPage("/notify", "<script>Notification.requestPermission().then(() => new Notification("
                                     "'Tea is ready', {body: 'Earl Grey'}));</script>");
    w.Click("Files");
    w.pane("Files").Navigate2(SharedSites().Url("/notify"));
    EXPECT_TRUE(
        WaitFor([&] { return frame.Flasher().FlashMessage() == "127.0.0.1: Tea is ready - Earl Grey"; }));
}

// A pane of its own, shown, with the program's answers to the page's requests. Page dialogs
// carry the page's site, can be silenced, and never show over the lock. A page's request for
// full screen (a video's button) is asked like any feature; Esc leaves. Ctrl with the mouse wheel
// zooms the pane by the program's steps. (Other features asked for: PageRequests.)
TEST(EverydayPane, PageDialogsAndPermissionRequests) {
    TempStore store;
    App().CurrentUser = "e2e-pane";
    WebEnginePane pane(App().CurrentUser);
    EventLog log(&pane);
    const QString site = QUrl(SharedSites().Url()).authority();
    PageRequests::Attach(&pane);
    pane.Widget()->resize(700, 400);
    pane.Widget()->show();
    ScriptedDialogs dialogs;
    ASSERT_TRUE(LoadAndWait(pane, log, SharedSites().Url("/plain")));
    App().Locked = true;
    EXPECT_EQ(RunScript(pane, "alert('Hello'); confirm('Go?') ? 'yes' : 'no'"), "no"); // no box scripted
    App().Locked = false;

    QStringList titles;
    dialogs.Next([&](QDialog& d) {
        titles << d.windowTitle();
        EXPECT_EQ(d.findChild<QLabel*>("lblMessage")->text(), "Delete <b>all</b>?");
        EXPECT_FALSE(d.findChild<QCheckBox*>("chkSilence"));
        return int(QDialog::Accepted);
    });
    dialogs.Next([&](QDialog& d) {
        titles << d.windowTitle();
        d.findChild<QLineEdit*>("txtValue")->setText("Ada");
        d.findChild<QCheckBox*>("chkSilence")->setChecked(true);
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(RunScript(pane, "confirm('Delete <b>all</b>?') ? 'yes' : 'no'"), "yes");
    EXPECT_EQ(RunScript(pane, "prompt('Name?', 'x')"), "Ada");
    EXPECT_EQ(RunScript(pane, "alert('again'); confirm('more?') ? 'yes' : 'no'"), "no");
    EXPECT_EQ(titles, QStringList(2, site)); // the silenced third: no box

    QList<bool> changes;
    QObject::connect(&pane, &BrowserPane::FullScreenChanged, [&](bool on) { changes << on; });
    SharedSites().AddPage("/full",
                          "<!DOCTYPE html><button id=b onclick=v.requestFullscreen()>Full</button><div "
                          "id=v style='height:90px'></div>");
    ASSERT_TRUE(LoadAndWait(pane, log, SharedSites().Url("/full")));
    QWheelEvent wheel(QPointF(50, 50), pane.View()->mapToGlobal(QPointF(50, 50)), {}, QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(pane.View()->focusProxy(), &wheel);
    EXPECT_EQ(pane.ZoomPercent(), 110);
    EXPECT_DOUBLE_EQ(pane.View()->zoomFactor(), 1.1);
    pane.Widget()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(pane.Widget()));
    pane.View()->setFocus();
    RunScript(pane, "document.getElementById('b').focus()");
    QTest::keyClick(pane.View()->focusProxy(), Qt::Key_Space);
    PermissionBar* bar = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (bar = pane.Widget()->findChild<PermissionBar*>()) && bar->isVisible(); }));
    EXPECT_EQ(bar->findChild<QLabel*>("lblQuestion")->text(), site + " wants to fill the whole screen.");
    bar->findChild<QPushButton*>("cmdAllow")->click();
    const auto fullscreen = [&] { return RunScript(pane, "String(!!document.fullscreenElement)"); };
    ASSERT_TRUE(WaitFor([&] { return changes == QList<bool>{true}; }));
    QWidget* full = pane.View()->window();
    EXPECT_EQ(full->objectName(), "fullScreenWindow");
    EXPECT_TRUE(full->isFullScreen());
    EXPECT_TRUE(WaitFor([&] { return fullscreen() == "true"; }));
    full->activateWindow();
    QTest::keyClick(full, Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return changes == QList<bool>({true, false}); }));
    EXPECT_EQ(pane.View()->window(), pane.Widget()->window());
    EXPECT_TRUE(WaitFor([&] { return fullscreen() == "false"; }));
}

TEST(PopUpsE2e, PopUpsAtLoadAreListedNotLoadedAndOneOpensOnDemand) {
    TempStore store;
    ScriptedBoxes boxes;
    App().CurrentUser = "e2e-popups-list";
    App().PassPhrase = "pass";
    StoreLinks({{"Link", "/popup-three"}});
    const int served = SharedSites().main().CountRequests("/popup-target");
    E2eWindow w;
    BrowseWindow& browse = *w.browse;
    for (const char* timer : {"showPageTimer", "busyTimer"})
        browse.findChild<QTimer*>(timer)->stop();
    browse.Navigation().OpenLink(0);
    PopUpsList& list = w.frame->PopUps();
    ASSERT_TRUE(WaitFor([&] { return list.Count() == 3; }, 30000)) << list.Count();
    const QString last = SharedSites().Url("/popup-target?n=3");
    EXPECT_EQ(list.Items().first().url, last);
    QTest::qWait(300);
    EXPECT_EQ(SharedSites().main().CountRequests("/popup-target"), served)
        << "a blocked window loads nothing";
    // One opens on demand from the menu, in the visible Link. (The menu and beeps: PopUps.)
    w.frame->findChild<QMenu*>("mnpPopUpsList")->actions().first()->trigger();
    // The page's snapshot is there, not only the empty document of its first moment.
    WebEnginePane& pane = w.pane("Link");
    EXPECT_TRUE(WaitFor(
        [&] {
            return pane.ReadyState() == PaneReadyState::Complete && pane.Document() &&
                   pane.Document()->URL() == last && !pane.Document()->title().isEmpty();
        },
        15000));
    EXPECT_TRUE(browse.PopUps().NewWindows().isEmpty());
}
