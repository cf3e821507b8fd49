// Pop-up blocking over fake panes in a real frame and browse window: the decision table, the
// catcher, the blocked pop-ups list with its menu and flasher, the stand-alone window.
#include <QAction>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>

#include "browse/KeyState.h"
#include "browse/MasterHistory.h"
#include "browse/OfflineState.h"
#include "browse/PopUpCatcher.h"
#include "browse/PopupPolicy.h"
#include "browse/PopUpsList.h"
#include "browse/SearchPane.h"
#include "browse/StandaloneWindow.h"
#include "BrowseSupport.h"
#include "frame/MessageFlasher.h"

namespace {

// A browse window with a blocking Link "Ads" and a Link "Open" that lets pop-ups through; "Ads"
// is the visible one. Keys and beeps are the test's.
struct PopUps {
    PopUps() : w({{"Ads", "http://ads.test/"}, {"Open", "http://open.test/"}}) {
        KeyState::SetProbe([this] { return keys; });
        browse = &w.Load();
        w.link("Open").SetHidePopUps(false);
        policy().SetBeeper([this] { ++beeps; });
        w.click("Ads");
        App().LastClickedWindow = 0;
    }
    ~PopUps() { KeyState::SetProbe({}); }

    PopupPolicy& policy() { return browse->PopUps(); }
    PopUpsList& list() { return w.frame().PopUps(); }
    NewWindowEvent open(int pane, const QString& url = QStringLiteral("http://pop.test/"),
                        bool user = false) {
        return w.pane(pane).RaiseNewWindow2(url, user);
    }
    // The catcher or the stand-alone window that took the new window.
    PopUpCatcher* catcherOf(const NewWindowEvent& e) { return taker(policy().Catchers(), e); }
    StandaloneWindow* windowOf(const NewWindowEvent& e) { return taker(policy().NewWindows(), e); }
    template <class T> static T* taker(const QList<T*>& all, const NewWindowEvent& e) {
        for (T* one : all)
            if (e.Target() && one->Pane() == e.Target()) return one;
        return nullptr;
    }
    // A real click into the browse window (the frame's click credit).
    void clickBrowse() { QTest::mouseClick(browse->Widget(), Qt::LeftButton); }
    static FakePane& fake(BrowserPane* pane) { return *static_cast<FakePane*>(pane); }
    // Closed windows and finished catchers go at the next turn of the event loop.
    static bool gone(const QPointer<QObject>& object) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return object.isNull();
    }

    BrowseFixture w;
    BrowseWindow* browse = nullptr;
    Qt::KeyboardModifiers keys;
    int beeps = 0;
};

// Stands in for the desktop's browser.
class DesktopBrowser : public QObject {
    Q_OBJECT
public:
    QStringList opened;
public slots:
    void open(const QUrl& url) { opened << url.toString(); }
};

TEST(PopUps, DecisionForTheSearchPaneAndTheLinkPanes) {
    PopUps p;
    FakePane& search = PopUps::fake(p.browse->SearchPanel()->Pane());
    // The search pane: a window its page opens by itself is listed with a beep (a blank one only beeps).
    EXPECT_TRUE(search.RaiseNewWindow2("http://www.ads.test/x", false).Cancelled());
    EXPECT_TRUE(search.RaiseNewWindow2("about:blank", false).Cancelled());
    EXPECT_EQ(p.beeps, 2);
    EXPECT_EQ(p.list().Items(), QList<PopUpItem>({{"Ads.Test/x", "http://www.ads.test/x", {}}}));
    // With Ctrl it opens in the visible Link instead.
    p.keys = Qt::ControlModifier;
    search.RaiseNewWindow2("http://result.test/", false);
    EXPECT_EQ(p.w.navigations().last(), QString::number(p.w.index("Ads")) + " http://result.test/");
    p.keys = {};
    // A user gesture without the click credit is refused, never caught; with it, a window opens.
    EXPECT_TRUE(search.RaiseNewWindow2("http://x.test/", true).Cancelled());
    App().LastClickedWindow = p.browse->WindowHandle();
    StandaloneWindow* win = p.windowOf(search.RaiseNewWindow2("http://x.test/", true));
    ASSERT_TRUE(win);
    EXPECT_EQ(win->Pane()->ProfileId(), QString()) << "the search pane's windows are the user's shared ones";
    EXPECT_EQ(p.list().Count(), 1);

    // The Link panes: nothing while locked or ending.
    const int ads = p.w.index("Ads"), open = p.w.index("Open");
    for (bool* flag : {&App().Locked, &App().Unloading}) {
        *flag = true;
        EXPECT_TRUE(p.open(ads).Cancelled());
        *flag = false;
    }

    // Ctrl: caught to open in the current window, also while offline.
    OfflineState::SetOffline(true);
    p.keys = Qt::ControlModifier;
    App().LastClickedWindow = p.browse->WindowHandle();
    PopUpCatcher* catcher = p.catcherOf(p.open(ads));
    EXPECT_TRUE(catcher && catcher->OpenAfterCapture());
    p.keys = {};
    EXPECT_TRUE(p.open(open).Cancelled()) << "offline refuses even a wanted window";
    OfflineState::SetOffline(false);

    // The Link's own site opened it: a stand-alone window, once.
    p.browse->State().AllowNextNewWindow = true;
    win = p.windowOf(p.open(ads));
    EXPECT_TRUE(win && win->HidePopUps());
    EXPECT_FALSE(p.browse->State().AllowNextNewWindow);

    // Without a click: caught and listed later; Alt lets it open; a Link that allows pop-ups too.
    // (Each lives in the web profile of the Link whose page opened it: LinkProfilesE2e.)
    catcher = p.catcherOf(p.open(ads));
    ASSERT_TRUE(catcher && !catcher->OpenAfterCapture());
    p.keys = Qt::AltModifier;
    EXPECT_TRUE(p.windowOf(p.open(ads)));
    p.keys = {};
    win = p.windowOf(p.open(open));
    ASSERT_TRUE(win && !win->HidePopUps());

    // After the user's click in the browse window: wanted, and it comes to the front.
    p.clickBrowse();
    win = p.windowOf(p.open(ads));
    EXPECT_TRUE(win && p.w.frame().ActiveChild() == win);
    EXPECT_EQ(App().LastClickedWindow, quintptr(0)) << "a click is used once";
    EXPECT_TRUE(p.catcherOf(p.open(ads))) << "the next one is a pop-up again";
    EXPECT_EQ(p.beeps, 2) << "nothing more was blocked";
}

TEST(PopUps, CatcherListsTheFirstRealAddressOrOpensItAfterAClick) {
    PopUps p;
    const int ads = p.w.index("Ads");
    // Opened blank and given its address afterwards.
    PopUpCatcher* catcher = p.catcherOf(p.open(ads, QString()));
    ASSERT_TRUE(catcher);
    FakePane& pane = PopUps::fake(catcher->Pane());
    EXPECT_FALSE(pane.RaiseBeforeNavigate2("about:blank"));
    EXPECT_TRUE(pane.RaiseNewWindow2("http://deeper.test/", false).Cancelled());
    EXPECT_TRUE(pane.RaiseBeforeNavigate2("http://www.one.test/offer/"));
    EXPECT_TRUE(pane.RaiseBeforeNavigate2("http://two.test/")) << "nothing else loads";
    EXPECT_EQ(p.beeps, 1);
    EXPECT_TRUE(p.list().Items().isEmpty()) << "not before the delay";
    QPointer<QObject> first(catcher);
    ASSERT_TRUE(WaitFor([&] { return p.list().Count() == 1 && PopUps::gone(first); }));
    EXPECT_EQ(p.list().Items().first(),
              (PopUpItem{"One.Test/offer", "http://www.one.test/offer/", p.w.link("Ads").Id()}));

    // The user clicks while it is being caught: it opens in the visible Link instead.
    catcher = p.catcherOf(p.open(ads));
    PopUps::fake(catcher->Pane()).RaiseBeforeNavigate2("http://three.test/");
    p.clickBrowse();
    catcher->OnTimer();
    EXPECT_EQ(p.w.navigations().last(), QString::number(ads) + " http://three.test/");
    EXPECT_EQ(p.list().Count(), 1);

    // Ctrl: into the active stand-alone window when that is the current window.
    p.keys = Qt::AltModifier;
    StandaloneWindow* win = p.windowOf(p.open(ads));
    p.w.frame().findChild<QMdiArea*>("mdiArea")->setActiveSubWindow(
        qobject_cast<QMdiSubWindow*>(win->parentWidget()));
    p.keys = Qt::ControlModifier;
    catcher = p.catcherOf(p.open(ads));
    PopUps::fake(catcher->Pane()).RaiseBeforeNavigate2("http://four.test/");
    catcher->OnTimer();
    EXPECT_EQ(PopUps::fake(win->Pane()).navigations(), QStringList{"http://four.test/"});
    p.keys = {};

    // A window that never says where it goes, and one caught while the program ends: nothing.
    catcher = p.catcherOf(p.open(ads, "about:blank"));
    PopUps::fake(catcher->Pane()).RaiseBeforeNavigate2("about:blank");
    catcher->OnTimer();
    EXPECT_TRUE(catcher->Unloaded());
    catcher = p.catcherOf(p.open(ads));
    App().Unloading = true;
    PopUps::fake(catcher->Pane()).RaiseBeforeNavigate2("http://five.test/");
    EXPECT_TRUE(catcher->Unloaded());
    App().Unloading = false;
    EXPECT_EQ(p.list().Count(), 1);
    EXPECT_TRUE(p.policy().Catchers().isEmpty());
}

TEST(PopUps, AFloodOfWindowsCostsAFewPagesAndListsEveryAddress) {
    PopUps p;
    const int ads = p.w.index("Ads");
    // A page that opens windows in a loop, with addresses, then blank.
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(p.open(ads, QStringLiteral("http://flood.test/%1").arg(i)).Cancelled(),
                  i >= PopupPolicy::kMaxCatchingPanes);
    for (int i = 0; i < 200; ++i)
        EXPECT_TRUE(p.open(ads, "about:blank").Cancelled());
    EXPECT_EQ(p.policy().findChildren<FakePane*>().size(), PopupPolicy::kMaxCatchingPanes);
    // The first ones are caught with a page; every other address is listed without one.
    const int listed = 200 - PopupPolicy::kMaxCatchingPanes;
    ASSERT_TRUE(WaitFor([&] { return p.list().Count() == listed; }));
    EXPECT_EQ(p.list().Items().first().url, "http://flood.test/199");
    // Caught without a page, each still opens in the session of the Link whose page asked.
    EXPECT_EQ(p.list().Items().first().profile, p.w.link("Ads").Id());
    EXPECT_EQ(p.beeps, listed + 200);
}

TEST(PopUps, ListMenuAndFlasher) {
    PopUps p;
    FrameStatusBar& bar = p.w.statusBar();
    QAction* button = Child<QAction>(&p.w.frame(), "mnuNavigatePopUps");
    EXPECT_FALSE(button->isEnabled());
    bar.SetPanelText(3, "Working Offline");

    for (const QString& url : {QString(), QStringLiteral("about:blank"), core::BlankPageUrl(),
                               QStringLiteral("chrome-error://chromewebdata/")})
        p.list().AddPopUpItem(url);
    EXPECT_EQ(p.list().Count(), 0);
    const QString ads = p.w.link("Ads").Id();
    p.list().AddPopUpItem("https://ads.example.org/", ads);
    p.list().AddPopUpItem(QStringLiteral("http://www.shop.test/a b/") + QString(120, QLatin1Char('x')), ads);
    p.list().AddPopUpItem("https://ads.example.org/", p.w.link("Open").Id());
    EXPECT_TRUE(button->isEnabled());
    QMenu* menu = Child<QMenu>(&p.w.frame(), "mnpPopUpsList");
    QStringList captions;
    for (QAction* item : menu->actions())
        captions << item->text();
    EXPECT_EQ(captions, QStringList({"Ads.Example.Org", "Shop.Test/a B/" + QString(86, QLatin1Char('x')),
                                     "Ads.Example.Org"}));
    EXPECT_EQ(p.list().List().ItemExists("https://ads.example.org/")->Hits, 2);

    // The busy timer flashes the news, then gives the panel back.
    QStringList panel;
    for (int tick = 0; tick < MessageFlasher::kTicks; ++tick) {
        p.browse->OnBusyTimer();
        panel << bar.PanelText(3);
    }
    const QString on = PopUpsList::kFlashText, off = QStringLiteral("Working Offline");
    EXPECT_EQ(panel, QStringList({on, off, on, off, on, off, on, off, off}));
}

TEST(PopUps, StandAloneWindow) {
    PopUps p;
    MasterHistory history;
    p.browse->Recorder().SetMasterHistory(&history);
    StandaloneWindow* win = p.policy().OpenNewWin("http://news.test/", true, nullptr, true, QString());
    FakePane& wb = PopUps::fake(win->Pane());
    EXPECT_EQ(wb.navigations(), QStringList{"http://news.test/"});
    const QSize client = p.w.frame().findChild<QMdiArea*>("mdiArea")->viewport()->size();

    const auto page = [](const QString& url, const QString& type = {}) {
        return PageModelBuilder(url).Domain("news.test").ContentType(type).Build();
    };
    const QString title = "A headline long enough to be cut at seventy characters, certainly so, today";
    wb.SimulateLoad("http://news.test/", page("http://news.test/"), title);
    EXPECT_EQ(win->windowTitle(), title.left(67) + "...");
    EXPECT_EQ(win->AddressEdit()->text(), "http://news.test/");
    EXPECT_EQ(history.Items(), QList<HistoryEntry>({{win->History().Item(1)->Caption, "http://news.test/"}}));
    // Pages are recorded when an HTML page gets a real title: not a PDF, not an untitled page,
    // not a one-letter or "http:///" title.
    wb.SimulateLoad("http://news.test/a.pdf", page("http://news.test/a.pdf", "application/pdf"), "a.pdf");
    wb.SimulateLoad("http://news.test/untitled", page("http://news.test/untitled"));
    wb.RaiseTitleChange("x");
    wb.RaiseTitleChange("http:///");
    EXPECT_EQ(win->History().Count(), 1);
    EXPECT_EQ(history.Count(), 1);
    EXPECT_TRUE(wb.SimulateLoad("http://news.test/late", page("http://news.test/late")));
    wb.RaiseTitleChange("Late title");
    EXPECT_EQ(win->History().Count(), 2);
    EXPECT_EQ(history.Items().first(),
              (HistoryEntry{win->History().Item(1)->Caption, "http://news.test/late"}));

    // Click credit, the lock, the window's own new windows (no offline test there).
    App().LastClickedWindow = win->WindowHandle();
    wb.RaiseBeforeNavigate2("http://news.test/next");
    wb.RaiseBeforeNavigate2("javascript:more()");
    EXPECT_EQ(App().LastClickedWindow, win->WindowHandle());
    wb.RaiseBeforeNavigate2("http://elsewhere.test/");
    EXPECT_EQ(App().LastClickedWindow, quintptr(0));
    App().Locked = true;
    EXPECT_TRUE(wb.RaiseBeforeNavigate2("http://news.test/"));
    App().Locked = false;
    EXPECT_TRUE(p.catcherOf(wb.RaiseNewWindow2("http://ad.test/", false)));
    OfflineState::SetOffline(true);
    App().LastClickedWindow = win->WindowHandle();
    StandaloneWindow* child = p.windowOf(wb.RaiseNewWindow2("http://more.test/", true));
    OfflineState::SetOffline(false);
    ASSERT_TRUE(child);

    // Commands by their keys; an address typed with Ctrl+Enter is completed; New Window opens
    // the home page.
    wb.ClearRecords();
    DesktopBrowser desktop;
    QDesktopServices::setUrlHandler("http", &desktop, "open");
    win->RunCommand(WindowCommand::OpenInBrowser);
    QDesktopServices::unsetUrlHandler("http");
    EXPECT_EQ(desktop.opened, QStringList{"http://news.test/late"});
    win->RunCommand(WindowCommand::Back);
    win->RunCommand(WindowCommand::SearchTab); // the browse window's side bar: nothing here
    EXPECT_EQ(wb.calls(), QStringList{"GoBack"});
    win->AddressEdit()->setText("typed");
    QTest::keyClick(win->AddressEdit(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(wb.navigations().last(), "www.typed.com");
    Child<QPushButton>(win, "cmdNewWin")->click();
    StandaloneWindow* home = p.policy().NewWindows().last();
    EXPECT_TRUE(home != win && home != child && home->HidePopUps());
    EXPECT_EQ(PopUps::fake(home->Pane()).navigations(), QStringList{home->Pane()->HomePage()});

    // The page asks for a size: the page area gets it, as far as the frame has room.
    PopUps::fake(home->Pane()).RaiseWindowSetRect(QRect(0, 0, 300, 200));
    EXPECT_EQ(home->Pane()->Widget()->size(), QSize(300, 200));
    PopUps::fake(home->Pane()).RaiseWindowSetRect(QRect(0, 0, 9000, 9000));
    EXPECT_EQ(home->parentWidget()->size(), client);
}

// Ctrl held when the keyboard closes a window is not the user's Ctrl at the close box: the page
// stays where it was.
TEST(PopUps, CtrlOfTheKeyboardsCloseDoesNotMoveThePage) {
    PopUps p;
    const QString page = QStringLiteral("http://story.test/");
    StandaloneWindow* one = p.policy().OpenNewWin(page, true, nullptr, true, QString());
    PopUps::fake(one->Pane()).SimulateLoad(page);
    QPointer<QObject> win(one);
    QTest::keyClick(one->AddressEdit(), Qt::Key_Control, Qt::ControlModifier);
    p.keys = Qt::ControlModifier;
    qobject_cast<QMdiSubWindow*>(one->parentWidget())->close();
    p.keys = {};
    ASSERT_TRUE(WaitFor([&] { return PopUps::gone(win); }));
    EXPECT_EQ(p.w.navigations().last(), "-1 " + core::BlankPageUrl());
    EXPECT_FALSE(p.w.navigations().contains(QString::number(p.w.index("Ads")) + " " + page));
}

} // namespace

#include "PopUpsTest.moc"
