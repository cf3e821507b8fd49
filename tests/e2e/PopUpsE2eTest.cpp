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
#include "browse/PopupPolicy.h"
#include "browse/PopUpsList.h"
#include "browse/StandaloneWindow.h"
#include "core/AppState.h"
#include "e2e/E2eSupport.h"
#include "frame/MainWindow.h"
#include "sites/TestSites.h"

namespace {

using sites::SharedSites;

// The frame and browse window over one Link without a login, its pop-up beeps counted.
class PopUpsE2e : public ::testing::Test {
protected:
    void Open(const char* user, const char* url) {
        App().CurrentUser = QLatin1String(user);
        App().PassPhrase = QStringLiteral("pass");
        StoreLinks({{"Link", SharedSites().Url(QLatin1String(url))}});
        w = std::make_unique<E2eWindow>();
        for (const char* timer : {"showPageTimer", "busyTimer"})
            browse().findChild<QTimer*>(QLatin1String(timer))->stop();
        browse().PopUps().SetBeeper([this] { ++beeps; });
        browse().Navigation().OpenLink(0);
    }
    void TearDown() override { KeyState::SetProbe({}); }
    BrowseWindow& browse() { return *w->browse; }
    WebEnginePane& pane() { return w->pane("Link"); }
    // The page's snapshot is there (not only the empty document of its first moment); every page
    // here has a title.
    static bool Shows(BrowserPane& pane, const QString& url) {
        return pane.LocationURL() == url && pane.ReadyState() == PaneReadyState::Complete &&
               pane.Document() && pane.Document()->URL() == url && !pane.Document()->title().isEmpty();
    }
    void Click(QPoint at) {
        QTest::mouseClick(pane().View()->focusProxy(), Qt::LeftButton, Qt::NoModifier, at);
    }
    QList<StandaloneWindow*> Windows() { return browse().PopUps().NewWindows(); }

    TempStore store;
    ScriptedBoxes boxes;
    std::unique_ptr<E2eWindow> w;
    int beeps = 0;
};

} // namespace

TEST_F(PopUpsE2e, PopUpsAtLoadAreListedNotShownAndEachOpensOnDemand) {
    const int served = SharedSites().main().CountRequests(QStringLiteral("/popup-target"));
    Open("e2e-popups-list", "/popup-three");
    PopUpsList& list = w->frame->PopUps();
    ASSERT_TRUE(WaitFor([&] { return list.Count() == 3; }, 30000)) << list.Count();
    QStringList urls;
    for (const PopUpItem& item : list.Items())
        urls << item.url;
    const auto target = [](int n) { return SharedSites().Url(QStringLiteral("/popup-target?n=%1").arg(n)); };
    EXPECT_EQ(urls, QStringList({target(3), target(2), target(1)}));
    EXPECT_EQ(beeps, 3);
    EXPECT_TRUE(Windows().isEmpty());
    Pump(300);
    EXPECT_EQ(SharedSites().main().CountRequests(QStringLiteral("/popup-target")), served)
        << "a blocked window loads nothing";
    // Each opens on demand from the menu, in the visible Link.
    const QList<QAction*> items = w->frame->findChild<QMenu*>(QStringLiteral("mnpPopUpsList"))->actions();
    ASSERT_EQ(items.size(), 3);
    for (int i : {0, 2}) {
        items[i]->trigger();
        ASSERT_TRUE(WaitFor([&] { return Shows(pane(), urls[i]); }, 15000)) << i;
    }
    EXPECT_TRUE(Windows().isEmpty());
}

TEST_F(PopUpsE2e, AClickedNewWindowStaysSignedInClosesItselfAndMovesWithCtrl) {
    const QString accounts = SharedSites().Url(QStringLiteral("/accounts"));
    const QString popupTarget = SharedSites().Url(QStringLiteral("/popup-target"));
    // On another host name, so that going there leaves the Link's site (no site-opened window).
    const QString links = QStringLiteral("http://localhost:%1/popup-links").arg(SharedSites().main().port());
    SharedSites().AddPage(
        QStringLiteral("/popup-links"),
        QStringLiteral("<html><head><title>Links</title></head><body style='margin:0'><a id=blank "
                       "style='position:absolute;left:10px;top:10px;font-size:30px' href='%1' "
                       "target=_blank>Accounts</a><button id=open style='position:absolute;left:"
                       "10px;top:100px;width:200px;height:50px' onclick=\"window.open('%2')\">"
                       "Open</button></body></html>")
            .arg(accounts, popupTarget));
    Open("e2e-popups-session", "/login");
    ASSERT_TRUE(WaitFor([&] { return Shows(pane(), SharedSites().Url("/login")); }, 20000));
    DocumentPtr login = pane().Document();
    login->getElementById("user")->SetValue(QString::fromLatin1(sites::TestSites::kUser));
    login->getElementById("pass")->SetValue(QString::fromLatin1(sites::TestSites::kPassword));
    login->getElementById("signin")->Click();
    ASSERT_TRUE(WaitFor([&] { return Shows(pane(), SharedSites().Url("/welcome")); }, 20000));
    browse().NavigateURL(links);
    ASSERT_TRUE(WaitFor([&] { return Shows(pane(), links); }, 20000));
    EXPECT_FALSE(browse().State().AllowNextNewWindow);
    Pump(300); // drawn, so that clicks land on the page

    // The user's click on a target=_blank link: a stand-alone window, signed in with the Link.
    Click(QPoint(30, 25));
    ASSERT_TRUE(WaitFor([&] { return Windows().size() == 1; }, 15000));
    StandaloneWindow* win = Windows().first();
    ASSERT_TRUE(WaitFor([&] { return Shows(*win->Pane(), accounts); }, 20000))
        << win->Pane()->LocationURL().toStdString();
    EXPECT_EQ(win->windowTitle(), "Accounts") << "the server saw the session";
    EXPECT_TRUE(win->HidePopUps());

    // A window the page closes itself.
    Click(QPoint(100, 125));
    ASSERT_TRUE(WaitFor([&] { return Windows().size() == 2; }, 15000));
    StandaloneWindow* closing = Windows().last();
    ASSERT_TRUE(WaitFor([&] { return Shows(*closing->Pane(), popupTarget); }, 20000));
    QPointer<QMdiSubWindow> closingSub = qobject_cast<QMdiSubWindow*>(closing->parentWidget());
    RunScript(*static_cast<WebEnginePane*>(closing->Pane()),
              QStringLiteral("document.getElementById('close').click(); true"));
    ASSERT_TRUE(WaitFor([&] { return Windows().size() == 1; }, 15000));
    EXPECT_FALSE(w->frame->findChild<QMdiArea*>(QStringLiteral("mdiArea"))
                     ->subWindowList()
                     .contains(closingSub.data()));
    EXPECT_TRUE(Shows(pane(), links)) << "the Link keeps its page";

    // Closed with Ctrl held: its page moves into the visible Link, still signed in. (The close box
    // acts on what the pointer hovers, which synthetic events do not give; the window's close
    // after a mouse click is the same path.)
    QTest::mouseClick(win->AddressEdit(), Qt::LeftButton);
    KeyState::SetProbe([] { return Qt::ControlModifier; });
    qobject_cast<QMdiSubWindow*>(win->parentWidget())->close();
    KeyState::SetProbe({});
    ASSERT_TRUE(WaitFor([&] { return Windows().isEmpty(); }, 10000));
    ASSERT_TRUE(WaitFor([&] { return Shows(pane(), accounts); }, 20000));
    EXPECT_EQ(pane().Document()->title(), "Accounts");
}
