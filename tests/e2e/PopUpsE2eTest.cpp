// Pop-up blocking and stand-alone windows with the real engine on the local test sites.
#include <gtest/gtest.h>
#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>
#include <QWebEngineView>

#include "browse/BrowseWindow.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/KeyState.h"
#include "browse/NavigationDriver.h"
#include "browse/OfflineState.h"
#include "browse/PopupPolicy.h"
#include "browse/PopUpsList.h"
#include "browse/StandaloneWindow.h"
#include "core/AppState.h"
#include "core/SecretCipher.h"
#include "e2e/E2eSupport.h"
#include "frame/MainWindow.h"
#include "links/Links.h"
#include "sites/TestSites.h"

namespace {

using sites::SharedSites;

// The program's frame and browse window on the real engine, with one Link.
class RealFrame {
public:
    RealFrame(const QString& user, const QString& caption, const QString& url) {
        OfflineState::SetConnectionProbe([] { return true; });
        App().CurrentUser = user;
        App().PassPhrase = QStringLiteral("pass");
        {
            Links links(user);
            links.Add(caption, SecretCipher::EncryptMessage(url), QString(), QString(), QString(), QString(),
                      false, false, 0, false);
            links.SaveLinks(false);
        }
        frame.SetUserCaption();
        frame.resize(1100, 800);
        frame.show();
        browse = frame.LoadBrowseWindow([user](QWidget* parent) { return new WebEnginePane(user, parent); });
        for (const char* timer : {"loadFavoritesTimer", "showPageTimer", "busyTimer"})
            browse->findChild<QTimer*>(QLatin1String(timer))->stop();
        browse->PopUps().SetBeeper([this] { ++beeps; });
    }
    ~RealFrame() {
        KeyState::SetProbe({});
        frame.close();
        OfflineState::SetConnectionProbe({});
    }

    WebEnginePane& pane() { return *static_cast<WebEnginePane*>(browse->Pane(0)); }
    static bool Shows(BrowserPane& pane, const QString& url) {
        // The page's snapshot is there (not only the empty document of its first moment); every
        // page here has a title.
        return pane.LocationURL() == url && pane.ReadyState() == PaneReadyState::Complete &&
               pane.Document() && pane.Document()->URL() == url && !pane.Document()->title().isEmpty();
    }
    // A real click into a page.
    static void Click(BrowserPane& pane, QPoint at) {
        QWidget* target = static_cast<WebEnginePane&>(pane).view()->focusProxy();
        ASSERT_TRUE(target);
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at);
    }

    TempStore store;
    ScriptedBoxes boxes;
    MainWindow frame;
    BrowseWindow* browse = nullptr;
    int beeps = 0;
};

TEST(PopUpsE2e, PopUpsAtLoadAreListedNotShownAndEachOpensOnDemand) {
    const int served = SharedSites().main().CountRequests(QStringLiteral("/popup-target"));
    RealFrame f(QStringLiteral("e2e-popups-list"), QStringLiteral("Three"),
                SharedSites().Url("/popup-three"));
    f.browse->Navigation().OpenLink(0);

    PopUpsList& list = f.frame.PopUps();
    ASSERT_TRUE(WaitFor([&] { return list.Count() == 3; }, 30000)) << list.Count();
    QStringList urls;
    for (const PopUpItem& item : list.Items())
        urls << item.url;
    const auto target = [](int n) { return SharedSites().Url(QStringLiteral("/popup-target?n=%1").arg(n)); };
    EXPECT_EQ(urls, QStringList({target(3), target(2), target(1)}));
    EXPECT_EQ(f.beeps, 3);
    EXPECT_TRUE(f.browse->PopUps().NewWindows().isEmpty());
    Pump(300);
    EXPECT_EQ(SharedSites().main().CountRequests(QStringLiteral("/popup-target")), served)
        << "a blocked window loads nothing";

    // Each opens on demand from the menu, in the visible Link.
    const QList<QAction*> items = f.frame.findChild<QMenu*>(QStringLiteral("mnpPopUpsList"))->actions();
    ASSERT_EQ(items.size(), 3);
    for (int i : {0, 2}) {
        items[i]->trigger();
        ASSERT_TRUE(WaitFor([&] { return RealFrame::Shows(f.pane(), urls[i]); }, 15000)) << i;
    }
    EXPECT_TRUE(f.browse->PopUps().NewWindows().isEmpty());
}

TEST(PopUpsE2e, AClickedNewWindowStaysSignedInClosesItselfAndMovesWithCtrl) {
    const QString accounts = SharedSites().Url(QStringLiteral("/accounts"));
    const QString popupTarget = SharedSites().Url(QStringLiteral("/popup-target"));
    // On another host name, so that going there leaves the Link's site (no site-opened window).
    const QString links = QStringLiteral("http://localhost:%1/popup-links").arg(SharedSites().main().port());
    SharedSites().AddPage(
        QStringLiteral("/popup-links"),
        QStringLiteral("<html><head><title>Links</title></head><body style=\"margin:0\">"
                       "<a id=\"blank\" style=\"position:absolute;left:10px;top:10px;"
                       "font-size:30px\" href=\"%1\" target=\"_blank\">Accounts</a>"
                       "<button id=\"open\" style=\"position:absolute;left:10px;top:100px;"
                       "width:200px;height:50px\" onclick=\"window.open('%2')\">Open</button>"
                       "</body></html>")
            .arg(accounts, popupTarget));
    RealFrame f(QStringLiteral("e2e-popups-session"), QStringLiteral("Bank"), SharedSites().Url("/login"));
    WebEnginePane& pane = f.pane();
    f.browse->Navigation().OpenLink(0);
    ASSERT_TRUE(WaitFor([&] { return RealFrame::Shows(pane, SharedSites().Url("/login")); }, 20000));
    DocumentPtr login = pane.Document();
    login->getElementById("user")->SetValue(QString::fromLatin1(sites::TestSites::kUser));
    login->getElementById("pass")->SetValue(QString::fromLatin1(sites::TestSites::kPassword));
    login->getElementById("signin")->Click();
    ASSERT_TRUE(WaitFor([&] { return RealFrame::Shows(pane, SharedSites().Url("/welcome")); }, 20000));

    f.browse->NavigateURL(links);
    ASSERT_TRUE(WaitFor([&] { return RealFrame::Shows(pane, links); }, 20000));
    EXPECT_FALSE(f.browse->State().AllowNextNewWindow);
    Pump(300); // drawn, so that clicks land on the page

    // The user's click on a target=_blank link: a stand-alone window, signed in with the Link.
    RealFrame::Click(pane, QPoint(30, 25));
    ASSERT_TRUE(WaitFor([&] { return f.browse->PopUps().NewWindows().size() == 1; }, 15000));
    StandaloneWindow* win = f.browse->PopUps().NewWindows().first();
    ASSERT_TRUE(WaitFor([&] { return RealFrame::Shows(*win->Pane(), accounts); }, 20000))
        << win->Pane()->LocationURL().toStdString();
    EXPECT_EQ(win->windowTitle(), "Accounts") << "the server saw the session";
    EXPECT_TRUE(win->HidePopUps());

    // A window the page closes itself.
    RealFrame::Click(pane, QPoint(100, 125));
    ASSERT_TRUE(WaitFor([&] { return f.browse->PopUps().NewWindows().size() == 2; }, 15000));
    StandaloneWindow* closing = f.browse->PopUps().NewWindows().last();
    ASSERT_TRUE(WaitFor([&] { return RealFrame::Shows(*closing->Pane(), popupTarget); }, 20000));
    QPointer<QMdiSubWindow> closingSub = qobject_cast<QMdiSubWindow*>(closing->parentWidget());
    RunScript(*static_cast<WebEnginePane*>(closing->Pane()), QStringLiteral("document.getElementById('close').click(); true"));
    ASSERT_TRUE(WaitFor([&] { return f.browse->PopUps().NewWindows().size() == 1; }, 15000));
    EXPECT_FALSE(
        f.frame.findChild<QMdiArea*>(QStringLiteral("mdiArea"))->subWindowList().contains(closingSub.data()));
    EXPECT_TRUE(RealFrame::Shows(pane, links)) << "the Link keeps its page";

    // Closed with Ctrl held: its page moves into the visible Link, still signed in.
    // (The close box acts on what the pointer hovers, which synthetic events do not give; the
    // window's close after a mouse click is the same path.)
    QTest::mouseClick(win->AddressEdit(), Qt::LeftButton);
    KeyState::SetProbe([] { return Qt::ControlModifier; });
    qobject_cast<QMdiSubWindow*>(win->parentWidget())->close();
    KeyState::SetProbe({});
    ASSERT_TRUE(WaitFor([&] { return f.browse->PopUps().NewWindows().isEmpty(); }, 10000));
    ASSERT_TRUE(WaitFor([&] { return RealFrame::Shows(pane, accounts); }, 20000));
    EXPECT_EQ(pane.Document()->title(), "Accounts");
}

} // namespace
