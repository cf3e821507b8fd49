// The everyday requests of pages, end to end: the real frame, browse window and engine against
// the local test sites. Downloads, the server's sign-in box, a certificate that is not valid, a
// page that hangs and is reloaded, its own dialogs, and what a site asks leave for.
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWheelEvent>

#include "browse/BrowseWindow.h"
#include "browse/DownloadList.h"
#include "browse/DownloadsWindow.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/PageDialogs.h"
#include "browse/PageRequests.h"
#include "browse/PaneArea.h"
#include "browse/SignInBox.h"
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

// A pane of its own, shown, for the current user (made up for the test), with the program's
// answers to the page's requests.
struct ShownPane {
    explicit ShownPane(const QString& user) : pane((App().CurrentUser = user)), log(&pane) {
        PageRequests::Attach(&pane);
        pane.Widget()->resize(700, 400);
        pane.Widget()->show();
    }
    PermissionBar* Bar() {
        PermissionBar* bar = nullptr;
        return WaitFor([&] { return (bar = pane.Widget()->findChild<PermissionBar*>()) && bar->isVisible(); })
                   ? bar
                   : nullptr;
    }
    TempStore store;
    WebEnginePane pane;
    EventLog log;
};

QString Port() {
    return QString::number(QUrl(SharedSites().Url()).port());
}

} // namespace

TEST(Everyday, FilesSignInBoxesABadCertificateAHungPageAndNotificationsInOneWindow) {
    TempStore store;
    ScriptedDialogs dialogs;
    ScriptedFiles files;
    sites::TlsSite tls;
    App().CurrentUser = "e2e-everyday";
    App().PassPhrase = "everyday pass";
    const QString pw = TestSites::kPassword, user = TestSites::kUser;
    StoreLinks({{"Vault", "/basic-auth", user, pw},
                {"Vault wrong", SharedSites().OtherUrl("/basic-auth"), user, "not-the-password"},
                {"Vault elsewhere", "/plain", user, pw},
                {"Hang", "/hang-once?key=link", user, pw},
                {"Shady", tls.Url("/login"), user, pw},
                {"Files", "/plain", user, pw}});
    E2eWindow w;
    MainWindow& frame = *w.frame;
    const auto open = [&](const QString& caption) { w.Click(caption); };
    const auto notice = [&](const QString& caption) {
        return w.pane(caption).Widget()->findChild<PaneNotice*>("paneNotice");
    };
    const auto noticeShown = [&](const QString& caption, PaneNotice::Kind kind) {
        return notice(caption) && notice(caption)->Shown() == kind;
    };

    // A file is saved whole; a cancel leaves no part.
    QTemporaryDir dir;
    files.Next(dir.filePath("report.bin"));
    open("Files");
    ASSERT_TRUE(WaitFor([&] { return w.pane("Files").ReadyState() == PaneReadyState::Complete; }));
    w.pane("Files").Navigate2(SharedSites().Url("/download?bytes=300000&name=report.bin"));
    const DownloadList& list = frame.Downloads();
    ASSERT_TRUE(WaitFor([&] { return !list.Items().isEmpty() && list.Items().last()->Finished(); }, 20000));
    EXPECT_EQ(list.Items().last()->CurrentState(), Download::State::Completed);
    // No page follows a file: the Link's square and progress are those of the page it still shows.
    EXPECT_EQ(w.browse->TabColour(w.index("Files")), TabColour::Yellow);
    EXPECT_EQ(w.link("Files").ProgressValue(), 0);
    QFile file(dir.filePath("report.bin"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), TestSites::DownloadBytes(300000));
    ASSERT_EQ(files.asked().size(), 1);
    EXPECT_EQ(files.asked()[0].fileName, "report.bin");
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
    Pump(1500);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"report.bin"});

    // A Link's own sign-in box is answered once; a refusal asks the user.
    auto attempts = [n = SharedSites().SignInAttempts().size()]() mutable {
        const QStringList out = SharedSites().SignInAttempts().mid(n);
        n += out.size();
        return out;
    };
    open("Vault");
    ASSERT_TRUE(WaitFor([&] { return w.pane("Vault").LocationName() == "Bramble Vault"; }, 20000));
    EXPECT_EQ(attempts(), QStringList({"", "alice:wonderland"}));
    EXPECT_EQ(dialogs.count(), 0);

    // Another site's box never gets a Link's credentials.
    open("Vault elsewhere");
    ASSERT_TRUE(WaitFor([&] { return w.pane("Vault elsewhere").ReadyState() == PaneReadyState::Complete; }));
    attempts();
    dialogs.Next([](QDialog&) { return int(QDialog::Rejected); });
    w.pane("Vault elsewhere").Navigate2(SharedSites().Url("/basic-auth").replace("127.0.0.1", "localhost"));
    ASSERT_TRUE(WaitFor([&] { return dialogs.count() == 1; }));
    EXPECT_EQ(attempts(), QStringList{""});

    // The Link's password is wrong: it is sent once, then the user is asked.
    QString question, offeredUser;
    dialogs.Next([&](QDialog& box) {
        question = box.findChild<QLabel*>("lblQuestion")->text();
        offeredUser = box.findChild<QLineEdit*>("txtUserName")->text();
        box.findChild<QLineEdit*>("txtPassword")->setText(TestSites::kPassword);
        return int(QDialog::Accepted);
    });
    open("Vault wrong");
    ASSERT_TRUE(WaitFor([&] { return w.pane("Vault wrong").LocationName() == "Bramble Vault"; }, 20000));
    EXPECT_EQ(attempts(), QStringList({"", "alice:not-the-password", "alice:wonderland"}));
    EXPECT_EQ(question,
              QStringLiteral("The site 127.0.0.1:%1 asks for a user name and password. It says: \"Bramble "
                             "Vault\"\n\nThe connection to this site is not private: what you type can be "
                             "read on its way.")
                  .arg(QUrl(SharedSites().OtherUrl()).port()));
    EXPECT_EQ(offeredUser, TestSites::kUser);
    EXPECT_EQ(dialogs.count(), 2);

    // A site with a bad certificate shows the program's page and is never logged into.
    open("Shady");
    ASSERT_TRUE(WaitFor([&] { return noticeShown("Shady", PaneNotice::Kind::Certificate); }, 20000));
    EXPECT_TRUE(notice("Shady")->findChild<QLabel*>("lblText")->text().startsWith(
        "Bramblegate stopped before opening 127.0.0.1, because the site's certificate is not valid: "));
    EXPECT_FALSE(w.pane("Shady").CertificateOverridden());
    notice("Shady")->findChild<QPushButton*>("cmdGoOn")->click();
    ASSERT_TRUE(WaitFor([&] { return w.pane("Shady").LocationName() == "Sign In - Shady Bank"; }, 20000));
    EXPECT_TRUE(w.pane("Shady").CertificateOverridden());
    EXPECT_FALSE(notice("Shady")->isVisible());
    Pump(2500);
    EXPECT_EQ(tls.Posts(), 0);
    EXPECT_FALSE(w.link("Shady").PasswordSent());
    EXPECT_EQ(w.link("Shady").SecureLock, 0);

    // A page that hangs (the Link waits for a login that cannot come) is reloaded in a new
    // process, and its Link logs in.
    const qsizetype accepted = SharedSites().AcceptedLogins().size();
    w.browse->CreatePane(w.index("Hang"));
    w.pane("Hang").SetUnresponsiveAfter(1500);
    open("Hang");
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
    SitePermissions::Remember(App().CurrentUser, "http://127.0.0.1:" + Port(), SiteFeature::Notifications,
                              true);
    SharedSites().AddPage(
        "/notify", "<html><body><script>Notification.requestPermission().then(function () {"
                   " new Notification('Tea is ready', {body: 'Earl Grey'}); });</script></body></html>");
    open("Files");
    w.pane("Files").Navigate2(SharedSites().Url("/notify"));
    EXPECT_TRUE(
        WaitFor([&] { return frame.Flasher().FlashMessage() == "127.0.0.1: Tea is ready - Earl Grey"; }));
}

// Page dialogs carry the page's site, can be silenced, and never show over the lock; a site's
// request for a feature is asked in the pane and remembered per user.
TEST(EverydayPane, PageDialogsAndPermissionRequests) {
    ShownPane shown("e2e-asks");
    WebEnginePane& pane = shown.pane;
    ScriptedDialogs dialogs;
    ASSERT_TRUE(LoadAndWait(pane, shown.log, SharedSites().Url("/plain")));
    App().Locked = true;
    EXPECT_EQ(RunScript(pane, "alert('Hello'); confirm('Go?') ? 'yes' : 'no'"), "no");
    EXPECT_EQ(dialogs.count(), 0);
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
    EXPECT_EQ(titles, QStringList(2, "127.0.0.1:" + Port()));
    EXPECT_EQ(dialogs.count(), 2);

    // Leave to show notifications: asked in a bar over the page, remembered when wished.
    ASSERT_TRUE(LoadAndWait(pane, shown.log, SharedSites().Url("/ask-permission")));
    PermissionBar* bar = shown.Bar();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->findChild<QLabel*>("lblQuestion")->text(),
              "127.0.0.1:" + Port() + " wants to show notifications.");
    bar->findChild<QCheckBox*>("chkRemember")->setChecked(true);
    bar->findChild<QPushButton*>("cmdAllow")->click();
    ASSERT_TRUE(WaitFor([&] { return pane.LocationName() == "Answer granted"; }));
    EXPECT_EQ(
        SitePermissions::Lookup(App().CurrentUser, "http://127.0.0.1:" + Port(), SiteFeature::Notifications),
        SitePermissions::Answer::Allow);
}

// A page's request for full screen (a video's button) is asked like any feature; Esc leaves.
// Ctrl with the mouse wheel zooms the pane by the program's steps.
TEST(EverydayPane, FullScreenIsAskedForAndEscLeavesIt) {
    ShownPane shown("e2e-full");
    WebEnginePane& pane = shown.pane;
    QList<bool> changes;
    QObject::connect(&pane, &BrowserPane::FullScreenChanged, [&](bool on) { changes << on; });
    SharedSites().AddPage("/full",
                          "<!DOCTYPE html><html><body><button id='b' onclick=\"document.getElementById('v')."
                          "requestFullscreen()\">Full</button><div id='v' style='width:160px;height:90px;"
                          "background:#234'></div></body></html>");
    ASSERT_TRUE(LoadAndWait(pane, shown.log, SharedSites().Url("/full")));
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
    PermissionBar* bar = shown.Bar();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->findChild<QLabel*>("lblQuestion")->text(),
              "127.0.0.1:" + Port() + " wants to fill the whole screen.");
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
