// Opening Links: from their buttons, at start-up and its fallback, the dummy Link, Stop, the
// progress page with its login deadline, addresses typed for the visible Link, working offline.
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "browse/AddressBox.h"
#include "browse/engine/ProgramPages.h"
#include "browse/engine/WebProfiles.h"
#include "browse/LinkButtonsPanel.h"
#include "browse/NavigationBar.h"
#include "browse/NavigationDriver.h"
#include "browse/OfflineState.h"
#include "browse/PaneArea.h"
#include "BrowseSupport.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/UrlUtils.h"
#include "frame/FrameStatusBar.h"
#include "frame/MainWindow.h"
#include "links/Links.h"

using namespace browsetest;

namespace {

const QString kStart = QString::fromLatin1(ProgramPages::kStartPageUrl);

TEST(Navigation, StartUpOpensTheMarkedLinksInButtonOrder) {
    // Positions 1..4, button order D, A, C, B; A, C and D load at start.
    BrowseFixture w({{"A", "http://a.test/", true, false, "", "", 1},
                     {"B", "http://b.test/", false, false, "", "", 3},
                     {"C", "http://c.test/", true, false, "", "", 2},
                     {"D", "http://d.test/", true, false, "", "", 0}});
    BrowseWindow& browse = w.Load();
    EXPECT_TRUE(w.navigations().isEmpty()) << "nothing opens before the first favorites tick";
    w.startUp();
    EXPECT_EQ(w.navigations(), QStringList({"3 http://d.test/", "0 http://a.test/", "2 http://c.test/"}));
    for (const char* c : {"A", "C", "D"})
        EXPECT_EQ(w.link(QLatin1String(c)).NavigateMode(), NavigationDriver::ModeStartUp) << c;
    EXPECT_EQ(w.link("B").NavigateMode(), NavigationDriver::ModeNone);
    // The first one opened is on show.
    EXPECT_EQ(browse.VisibleIndex(), w.index("D"));
    EXPECT_EQ(browse.Panes().Front(), w.index("D"));
    EXPECT_EQ(browse.StatusText(), QStringLiteral("Loading, Please wait..."));
    EXPECT_TRUE(browse.State().startUpNavigationDone);
    // Once only.
    w.startUp();
    EXPECT_EQ(w.navigations().size(), 3);
}

TEST(Navigation, StartUpWithoutMarkedLinksOpensTheFirstButton) {
    BrowseFixture w(
        {{"A", "http://a.test/", false, false, "", "", 1}, {"B", "http://b.test/", false, false, "", "", 0}});
    BrowseWindow& browse = w.Load();
    w.startUp();
    EXPECT_EQ(w.navigations(), QStringList({"1 http://b.test/"}));
    EXPECT_EQ(browse.VisibleIndex(), w.index("B"));
    // The Link at position 1 is the one marked as typed in, as the fallback always did.
    EXPECT_EQ(w.link("A").NavigateMode(), NavigationDriver::ModeUser);
    EXPECT_TRUE(w.boxes().shown().isEmpty());
}

TEST(Navigation, ANewUserSeesTheHomePageAndGettingStarted) {
    BrowseFixture w({{"Home Page$$", "BGDummy", true},
                     {"Getting Started", "http://bramblegate.localhost/help/quickstart.asp", true}},
                    /*newUser*/ true);
    BrowseWindow& browse = w.Load();
    w.startUp();
    // Both open at start; then the first button is shown, its home page opened again.
    EXPECT_EQ(
        w.navigations(),
        QStringList({"0 " + kStart, "1 http://bramblegate.localhost/help/quickstart.asp", "0 " + kStart}));
    EXPECT_EQ(browse.VisibleIndex(), 0);
    EXPECT_EQ(browse.AddressText(), QStringLiteral("Please wait..."));
}

TEST(Navigation, DamagedSettingsGiveAHomeLinkOrEndTheProgram) {
    {
        BrowseFixture w;
        BrowseWindow& browse = w.Load();
        w.boxes().Answer(msgbox::OK);
        w.startUp();
        ASSERT_GE(w.boxes().count(), 1);
        const msgbox::Request box = w.boxes().shown().first();
        EXPECT_EQ(box.title, QStringLiteral("Bramblegate - Severe Error inalice's Settings"));
        EXPECT_EQ(box.buttons, msgbox::OKCancel);
        EXPECT_EQ(box.icon, msgbox::Critical);
        EXPECT_TRUE(
            box.text.startsWith(QLatin1String("A severe error has been found in this User's setttings.\r")));
        EXPECT_TRUE(
            box.text.endsWith(QLatin1String("Click OK to continue, click CANCEL to Retry again.\r\r")));
        EXPECT_EQ(w.buttonOrder(), QStringList({"Home Page$$"}));
        EXPECT_EQ(w.link("Home Page$$").URL(), QStringLiteral("BGDummy"));
        EXPECT_TRUE(App().NewUserCreated);
        EXPECT_EQ(w.navigations(), QStringList({"0 " + kStart, "0 " + kStart}));
        EXPECT_EQ(browse.VisibleIndex(), 0);
    }
    {
        BrowseFixture w;
        w.Load();
        w.boxes().Answer(msgbox::Cancel);
        w.startUp();
        ASSERT_EQ(w.boxes().count(), 2);
        EXPECT_EQ(w.boxes().lastText(), QStringLiteral("Bramblegate will now exit. Please start again."));
        EXPECT_EQ(w.boxes().lastTitle(), QStringLiteral("Restart Bramblegate"));
        EXPECT_TRUE(w.frame().LifeCycle().EndRequested());
        EXPECT_TRUE(App().EndingOnError);
        EXPECT_TRUE(w.navigations().isEmpty());
        EXPECT_EQ(Links(QLatin1String(BrowseFixture::kUser)).Count(), 0) << "nothing was saved";
    }
}

TEST(Navigation, AnEmptyAddressIsAnInvalidUrl) {
    BrowseFixture w({{"Nowhere", ""}, {"Somewhere", "http://some.test/"}});
    BrowseWindow& browse = w.Load();
    w.click(QStringLiteral("Nowhere"));
    ASSERT_EQ(w.boxes().count(), 1);
    EXPECT_EQ(w.boxes().lastText(), QStringLiteral("The Web Address for this Link is invalid."));
    EXPECT_EQ(w.boxes().lastTitle(), QStringLiteral("Invalid URL"));
    EXPECT_EQ(w.boxes().shown().last().icon, msgbox::Information);
    EXPECT_TRUE(w.navigations().isEmpty());
    EXPECT_EQ(w.link("Nowhere").NavigateMode(), NavigationDriver::ModeNone);
    EXPECT_EQ(browse.VisibleIndex(), -1);
}

TEST(Navigation, StopHoldsNavigationsForFiveSecondsButAClickStillOpens) {
    BrowseFixture w({{"A", "http://a.test/", true}, {"B", "http://b.test/"}});
    BrowseWindow& browse = w.Load();
    BrowseFixture::freezeClock();
    w.startUp();
    w.clearNavigations();

    browse.RunCommand(WindowCommand::Stop);
    EXPECT_TRUE(w.pane(0).calls().contains(QStringLiteral("Stop")));
    EXPECT_EQ(w.statusBar().PanelText(3), QStringLiteral("Navigation Cancelled"));
    EXPECT_FALSE(browse.Navigation().DoNavigate(1));
    Clock::Advance(5000);
    EXPECT_FALSE(browse.Navigation().DoNavigate(1));
    EXPECT_TRUE(w.navigations().isEmpty());
    Clock::Advance(1500);
    browse.OnBusyTimer();
    EXPECT_EQ(w.statusBar().PanelText(3), QString())
        << "the busy timer clears the panel once it ran out";
    EXPECT_TRUE(browse.Navigation().DoNavigate(1));
    EXPECT_EQ(w.navigations(), QStringList({"1 http://b.test/"}));

    browse.RunCommand(WindowCommand::Stop);
    w.click(QStringLiteral("A"));
    EXPECT_EQ(w.navigations().last(), QStringLiteral("0 http://a.test/"));
    EXPECT_FALSE(w.links().NavigateStopped());
}

TEST(Navigation, ALoginLinkWaitsBehindTheProgressPageForItsDeadline) {
    BrowseFixture w(
        {{"Bank", "http://bank.test/login", false, true, "me", "secret"}, {"News", "http://news.test/"}});
    BrowseWindow& browse = w.Load();
    browse.SetLoginDecider(nullptr); // the driver alone: nobody looks at the page
    const QDateTime start = BrowseFixture::freezeClock();
    const int bank = w.index("Bank");
    w.click(QStringLiteral("Bank"));

    Link& link = w.link("Bank");
    EXPECT_EQ(link.NavigateMode(), NavigationDriver::ModeButton);
    EXPECT_EQ(w.navigations(), QStringList({"0 http://bank.test/login"}));
    EXPECT_TRUE(browse.IsPlaceholderShown());
    EXPECT_EQ(
        w.pane(BrowseWindow::kPlaceholder).bodyHtml(),
        QStringLiteral("<html><BODY><FONT size=2 FAMILY=SANSSERIF FACE=Arial><B>Please wait... <br>Getting "
                       "Bank</B></BODY></html>"));
    EXPECT_EQ(link.LoginTimeOut(), start.addSecs(24));
    EXPECT_TRUE(browse.ShowPageTimer().isActive());
    EXPECT_EQ(w.statusBar().PanelText(1), QStringLiteral("Getting Bank"));

    // The site's page loads; nobody fills its form: the progress page stays until the deadline.
    Clock::Advance(2000);
    w.pane(bank).SimulateLoad(QStringLiteral("http://bank.test/login"), {}, QStringLiteral("Sign in"));
    EXPECT_TRUE(w.pane(BrowseWindow::kPlaceholder).bodyHtml().contains(QLatin1String("Getting Bank  ")));
    const QDateTime deadline = start.addSecs(2 + 24);
    EXPECT_EQ(link.LoginTimeOut(), deadline);
    Clock::Advance(23000);
    browse.OnShowPageTimer();
    EXPECT_TRUE(browse.IsPlaceholderShown());
    Clock::Advance(1000);
    browse.OnShowPageTimer();
    EXPECT_EQ(browse.Panes().Front(), bank);
    EXPECT_FALSE(link.LoginTimeOut().isValid());
    browse.OnShowPageTimer();
    EXPECT_FALSE(browse.ShowPageTimer().isActive());

    // A Link without login never gets a deadline.
    w.click(QStringLiteral("News"));
    EXPECT_FALSE(w.link("News").LoginTimeOut().isValid());
    EXPECT_EQ(browse.Panes().Front(), w.index("News"));
}

TEST(Navigation, AnAnsweredLoginShowsThePageWhenLoadingEnds) {
    BrowseFixture w({{"Bank", "http://bank.test/login", false, true, "me", "secret"}});
    BrowseWindow& browse = w.Load();
    BrowseFixture::freezeClock();
    w.click(QStringLiteral("Bank"));
    Link& link = w.link("Bank");
    RecordingPane& pane = w.pane(0);
    pane.SimulateLoad(QStringLiteral("http://bank.test/login"));

    // The form is sent (as the login logic would): "Signing In", the deadline again.
    Clock::Advance(3000);
    link.SetPasswordSent(true);
    EXPECT_TRUE(w.pane(BrowseWindow::kPlaceholder).bodyHtml().contains(QLatin1String("Signing In Bank  ")));
    EXPECT_EQ(link.LoginTimeOut(), Clock::Now().addSecs(24));
    // The site's answer: logged in; the page shows once its load has ended.
    pane.SimulateLoad(QStringLiteral("http://bank.test/accounts"));
    EXPECT_TRUE(link.LoggedIn());
    EXPECT_FALSE(link.PasswordSent());
    EXPECT_TRUE(browse.IsPlaceholderShown());
    pane.RaiseProgressChange(100);
    EXPECT_EQ(link.ProgressValue(), 0);
    EXPECT_FALSE(browse.IsPlaceholderShown());
    EXPECT_EQ(browse.Panes().Front(), 0);
}

TEST(Navigation, TheDummyLinkBecomesTheFirstSiteOpenedInIt) {
    BrowseFixture w({{"Home Page$$", "BGDummy", true}, {"Other", "http://other.test/"}});
    BrowseWindow& browse = w.Load();
    w.startUp();
    EXPECT_EQ(w.navigations(), QStringList({"0 " + kStart}));
    EXPECT_EQ(browse.AddressText(), QStringLiteral("Please wait..."));
    // Its own start page does not name it.
    w.pane(0).SimulateLoad(kStart, {}, QStringLiteral("Bramblegate Start Page"));
    EXPECT_EQ(w.link("Home Page$$").URL(), QStringLiteral("BGDummy"));
    // The first real site does.
    w.pane(0).SimulateLoad(QStringLiteral("http://www.example.com/news"));
    Link& made = *w.links().Item(1);
    EXPECT_EQ(made.Caption(), QStringLiteral("Example"));
    EXPECT_EQ(made.URL(), QStringLiteral("http://www.example.com/news"));
    EXPECT_TRUE(made.AutoNavigate());
    EXPECT_FALSE(made.ReqLogin());
    EXPECT_EQ(browse.Buttons().LinkButtonAt(0)->text(), QStringLiteral("Example"));
    Links stored(QLatin1String(BrowseFixture::kUser));
    EXPECT_EQ(stored.Item(1)->Caption(), QStringLiteral("Example"));
    EXPECT_EQ(stored.Item(1)->URL(), QStringLiteral("http://www.example.com/news"));
}

TEST(Navigation, TypedAddressesGoToTheVisibleLink) {
    BrowseFixture w({{"A", "http://a.test/"}, {"B", "http://b.test/"}});
    BrowseWindow& browse = w.Load();
    // No Link on show: nothing happens.
    browse.Nav2Visible(QStringLiteral("http://x.test/"), NavigationDriver::ModeUser);
    EXPECT_TRUE(w.navigations().isEmpty());

    w.click(QStringLiteral("B"));
    w.pane(1).SimulateLoad(QStringLiteral("http://b.test/"));
    QLineEdit* box = browse.findChild<AddressBox*>()->lineEdit();
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("example.org/page"));
    EXPECT_TRUE(browse.IsAddressBeingEdited());
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(w.navigations().last(), QStringLiteral("1 example.org/page"));
    EXPECT_EQ(w.link("B").NavigateMode(), NavigationDriver::ModeUser);
    EXPECT_FALSE(browse.IsAddressBeingEdited());
    // Empty text opens nothing.
    w.clearNavigations();
    browse.NavigateURL(QString());
    EXPECT_TRUE(w.navigations().isEmpty());
    // The program's blank page shows as an empty box.
    browse.SetAddressText(core::BlankPageUrl());
    EXPECT_EQ(browse.AddressText(), QString());
}

TEST(Navigation, OfflineCancelsOnlyStartUpLoadsThatCannotBeShown) {
    BrowseFixture w({{"A", "http://a.test/x", true}, {"B", "http://b.test/"}});
    BrowseWindow& browse = w.Load();
    RecordingPane& a = w.pane(0);
    Link& link = w.link("A");
    link.SetNavigateMode(NavigationDriver::ModeStartUp);
    link.SetFrameURL(QStringLiteral("http://a.test/x#top"));
    WebProfiles::SetOffline(true);

    // Before the window has finished loading nothing goes out.
    browse.State().finishedLoading = false;
    EXPECT_TRUE(a.RaiseBeforeNavigate2(QStringLiteral("http://a.test/x")));
    browse.State().finishedLoading = true;

    // The same page (another fragment) may show; another page of a start-up load may not.
    EXPECT_FALSE(a.RaiseBeforeNavigate2(QStringLiteral("http://a.test/x#more")));
    EXPECT_TRUE(a.RaiseBeforeNavigate2(QStringLiteral("http://a.test/y")));
    link.SetNavigateMode(NavigationDriver::ModeButton);
    EXPECT_FALSE(a.RaiseBeforeNavigate2(QStringLiteral("http://a.test/y")));
    link.SetNavigateMode(NavigationDriver::ModeStartUp);
    // The program's own pages are there offline, once Work Offline is ticked.
    EXPECT_TRUE(a.RaiseBeforeNavigate2(kStart));
    w.frame().SetWorkOfflineChecked(true);
    EXPECT_FALSE(a.RaiseBeforeNavigate2(kStart));
    EXPECT_EQ(browse.TabColour(0), QColor(255, 255, 192));
    EXPECT_TRUE(a.RaiseBeforeNavigate2(QStringLiteral("http://a.test/y")));

    // The parse time-out timer says so in the status bar.
    w.statusBar().SetPanelText(3, QString());
    browse.OnParseTimeOut();
    EXPECT_EQ(w.statusBar().PanelText(3), QStringLiteral("Working Offline"));
}

TEST(Navigation, WorkOfflineAtStartUpAsksAndRemembers) {
    BrowseFixture w({{"A", "http://a.test/"}});
    OfflineState::SetConnectionProbe([] { return false; });
    BrowseWindow& browse = w.Load();
    w.boxes().Answer(msgbox::Yes);
    browse.Navigation().CheckOnline();
    ASSERT_EQ(w.boxes().count(), 1);
    EXPECT_EQ(w.boxes().lastTitle(), QStringLiteral("No Internet Connection Found"));
    EXPECT_EQ(w.boxes().lastText(),
              QStringLiteral("A connection to the Internet could not be found. \r\rDo you want to "
                             "work Offline? If you don't want to work Offline, please \rconnect "
                             "to the Internet first and then come back here and click 'No'. \r\r"));
    EXPECT_EQ(w.boxes().shown().last().defaultButton, 2);
    EXPECT_TRUE(OfflineState::IsOffline());
    EXPECT_TRUE(w.frame().WorkOfflineChecked());

    // Next start, with a connection: going online is offered.
    WebProfiles::SetOffline(false);
    OfflineState::SetConnectionProbe([] { return true; });
    w.frame().RestoreOfflineState();
    EXPECT_TRUE(OfflineState::IsOffline());
    w.boxes().Answer(msgbox::Yes);
    browse.Navigation().CheckOnline();
    EXPECT_EQ(w.boxes().lastText(),
              QStringLiteral("Bramblegate is now in Offline mode.\r\rDo you want to go Online?\r\r"));
    EXPECT_EQ(w.boxes().lastTitle(), QStringLiteral("Working Offline"));
    EXPECT_FALSE(OfflineState::IsOffline());
    EXPECT_FALSE(w.frame().WorkOfflineChecked());
}

} // namespace
