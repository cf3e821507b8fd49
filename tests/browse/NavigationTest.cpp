// Opening Links: at start-up and its fallback, the dummy Link, Stop, the frame's keys and typed
// addresses for the visible Link, working offline.
#include <QAction>
#include <QLineEdit>

#include "browse/AddressBox.h"
#include "browse/engine/ProgramPages.h"
#include "browse/engine/WebProfiles.h"
#include "browse/NavigationDriver.h"
#include "browse/OfflineState.h"
#include "BrowseSupport.h"

namespace {

const QString kStart = QString::fromLatin1(ProgramPages::kStartPageUrl);

// (The order of the Links marked to load at start is the end-to-end tests'.)
TEST(Navigation, StartUpWithoutMarkedLinksOpensTheFirstButtonOnce) {
    BrowseFixture w(
        {{"A", "http://a.test/", false, false, "", "", 1}, {"B", "http://b.test/", false, false, "", "", 0}});
    BrowseWindow& browse = w.Load();
    EXPECT_TRUE(w.navigations().isEmpty()) << "nothing opens before the first favorites tick";
    browse.OnLoadFavoritesTimer();
    browse.OnLoadFavoritesTimer();
    EXPECT_EQ(w.navigations(), QStringList({"1 http://b.test/"}));
    EXPECT_EQ(browse.VisibleIndex(), w.index("B"));
    // The Link at position 1 is the one marked as typed in, as the fallback always did.
    EXPECT_EQ(w.link("A").NavigateMode(), NavigationDriver::ModeUser);
}

TEST(Navigation, ANewUsersHomePageLinkBecomesTheFirstSiteOpenedInIt) {
    BrowseFixture w({{"Home Page$$", "BGDummy", true},
                     {"Getting Started", "http://bramblegate.localhost/help/quickstart.asp", true}},
                    /*newUser*/ true);
    BrowseWindow& browse = w.Load();
    browse.OnLoadFavoritesTimer();
    // Both open at start; then the first button is shown, its home page opened again.
    EXPECT_EQ(
        w.navigations(),
        QStringList({"0 " + kStart, "1 http://bramblegate.localhost/help/quickstart.asp", "0 " + kStart}));
    EXPECT_EQ(browse.VisibleIndex(), 0);
    // Its own start page does not name it; the first real site does.
    w.pane(0).SimulateLoad(kStart, {}, "Bramblegate Start Page");
    EXPECT_EQ(w.link("Home Page$$").URL(), "BGDummy");
    w.pane(0).SimulateLoad("http://www.example.com/news");
    Link& made = *w.links().Item(1);
    EXPECT_EQ(made.Caption(), "Example");
    EXPECT_TRUE(made.AutoNavigate() && !made.ReqLogin());
    EXPECT_EQ(browse.Buttons().LinkButtonAt(0)->text(), "Example");
    EXPECT_EQ(Links(QLatin1String(BrowseFixture::kUser)).Item(1)->URL(), "http://www.example.com/news");
}

TEST(Navigation, StopHoldsNavigationsForFiveSecondsButAClickStillOpens) {
    BrowseFixture w({{"A", "http://a.test/", true}, {"B", "http://b.test/"}, {"Nowhere", ""}});
    BrowseWindow& browse = w.Load();
    Clock::SetNow(QDateTime(QDate(2024, 3, 5), QTime(10, 0)));
    browse.OnLoadFavoritesTimer();
    w.clearNavigations();
    browse.RunCommand(WindowCommand::Stop);
    EXPECT_TRUE(w.pane(0).calls().contains("Stop"));
    EXPECT_EQ(w.statusBar().PanelText(3), "Navigation Cancelled");
    Clock::Advance(5000);
    EXPECT_FALSE(browse.Navigation().DoNavigate(1));
    Clock::Advance(1500);
    browse.OnBusyTimer();
    EXPECT_EQ(w.statusBar().PanelText(3), QString()) << "the busy timer clears the panel once it ran out";
    EXPECT_TRUE(browse.Navigation().DoNavigate(1));
    EXPECT_EQ(w.navigations(), QStringList({"1 http://b.test/"}));
    browse.RunCommand(WindowCommand::Stop);
    browse.RunCommand(WindowCommand::Home); // the user's own request goes, Stop or not
    EXPECT_EQ(w.navigations().last(), "0 " + kStart);
    w.click("A");
    EXPECT_EQ(w.navigations().last(), "0 http://a.test/");
    EXPECT_FALSE(w.links().NavigateStopped());

    // An empty address is an invalid one: nothing opens.
    w.boxes().Answer(msgbox::OK);
    w.click("Nowhere");
    EXPECT_EQ(w.boxes().lastTitle(), "Invalid URL");
    EXPECT_EQ(w.navigations().size(), 3);
    EXPECT_EQ(w.link("Nowhere").NavigateMode(), NavigationDriver::ModeNone);
}

TEST(Navigation, KeysAndTypedAddressesGoToTheVisibleLinkAndWorkOfflineCancelsOnlyStartUpLoadsThatCannotShow) {
    BrowseFixture w({{"A", "http://a.test/x", true}, {"B", "http://b.test/"}});
    BrowseWindow& browse = w.Load();
    browse.Nav2Visible("http://x.test/", NavigationDriver::ModeUser);
    EXPECT_TRUE(w.navigations().isEmpty()) << "no Link on show";
    w.click("B");
    RecordingPane& pane = w.pane(1);
    pane.SimulateLoad("http://b.test/");
    pane.RaiseCommandStateChange(PaneCommand::Back, true);
    pane.ClearRecords();
    QTest::keyClick(&w.frame(), Qt::Key_Left, Qt::AltModifier);
    QTest::keyClick(&w.frame(), Qt::Key_F5);
    QTest::keyClick(&w.frame(), Qt::Key_Escape);
    EXPECT_EQ(pane.calls(), QStringList({"GoBack", "Refresh", "Stop"}));
    EXPECT_EQ(w.link("B").NavigateMode(), 3);
    EXPECT_TRUE(w.links().NavigateStopped());

    QLineEdit* box = browse.findChild<AddressBox*>()->lineEdit();
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, "example.org/page");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(w.navigations().last(), "1 example.org/page");
    EXPECT_EQ(w.link("B").NavigateMode(), NavigationDriver::ModeUser);
    EXPECT_FALSE(browse.IsAddressBeingEdited());
    browse.NavigateURL(QString());
    EXPECT_EQ(w.navigations().size(), 2) << "empty text opens nothing";
    // Ctrl+L reaches the address box through the frame.
    box->clearFocus();
    QTest::keyClick(&w.frame(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(browse.findChild<AddressBox*>()->hasFocus());

    // Offline: asked at start when there is no connection.
    OfflineState::SetConnectionProbe([] { return false; });
    w.boxes().Answer(msgbox::Yes);
    browse.Navigation().CheckOnline();
    EXPECT_EQ(w.boxes().lastTitle(), "No Internet Connection Found");
    EXPECT_TRUE(OfflineState::IsOffline() && w.frame().WorkOfflineChecked());
    // Next start, with a connection: going online is offered.
    WebProfiles::SetOffline(false);
    OfflineState::SetConnectionProbe([] { return true; });
    w.frame().RestoreOfflineState();
    EXPECT_TRUE(OfflineState::IsOffline());
    w.boxes().Answer(msgbox::Yes);
    browse.Navigation().CheckOnline();
    EXPECT_EQ(w.boxes().lastTitle(), "Working Offline");
    EXPECT_FALSE(OfflineState::IsOffline() || w.frame().WorkOfflineChecked());

    // The menu switches it, and the choice is stored; a page loading meanwhile finds the menu
    // in step with the switch.
    QAction* offline = Child<QAction>(&w.frame(), "mnuFileWorkOffline");
    const auto stored = [] { return core::GetValue("General", "WorkOffline"); };
    offline->trigger();
    EXPECT_TRUE(WebProfiles::IsOffline());
    EXPECT_EQ(w.statusBar().PanelText(3), "Working Offline");
    EXPECT_EQ(stored(), "True");
    WebProfiles::SetOffline(false);
    w.pane(0).RaiseDownloadBegin();
    EXPECT_FALSE(offline->isChecked());
    offline->trigger();
    offline->trigger();
    EXPECT_FALSE(WebProfiles::IsOffline());
    EXPECT_EQ(stored(), "False");

    // Offline, only start-up loads that cannot be shown are cancelled.
    RecordingPane& a = w.pane(0);
    Link& link = w.link("A");
    link.SetNavigateMode(NavigationDriver::ModeStartUp);
    link.SetFrameURL("http://a.test/x#top");
    WebProfiles::SetOffline(true);
    // Before the window has finished loading nothing goes out.
    browse.State().finishedLoading = false;
    EXPECT_TRUE(a.RaiseBeforeNavigate2("http://a.test/x"));
    browse.State().finishedLoading = true;
    // The same page (another fragment) may show; another page of a start-up load may not.
    EXPECT_FALSE(a.RaiseBeforeNavigate2("http://a.test/x#more"));
    EXPECT_TRUE(a.RaiseBeforeNavigate2("http://a.test/y"));
    link.SetNavigateMode(NavigationDriver::ModeButton);
    EXPECT_FALSE(a.RaiseBeforeNavigate2("http://a.test/y"));
    link.SetNavigateMode(NavigationDriver::ModeStartUp);
    // The program's own pages are there offline, once Work Offline is ticked.
    EXPECT_TRUE(a.RaiseBeforeNavigate2(kStart));
    w.frame().SetWorkOfflineChecked(true);
    EXPECT_FALSE(a.RaiseBeforeNavigate2(kStart));
    EXPECT_EQ(browse.TabColour(0), QColor(255, 255, 192));
    // The parse time-out timer says so in the status bar and, past the time-out, clears progress.
    w.statusBar().SetPanelText(3, QString());
    link.SetProgressValue(40);
    Clock::Advance(3600 * 1000);
    browse.OnParseTimeOut();
    EXPECT_EQ(link.ProgressValue(), 0);
    EXPECT_EQ(w.statusBar().PanelText(3), "Working Offline");
}

} // namespace
