// The browse window with the real engine on the local test sites.
#include <gtest/gtest.h>
#include <QTest>

#include "browse/BrowseWindow.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/LinkButtonsPanel.h"
#include "browse/NavigationDriver.h"
#include "browse/OfflineState.h"
#include "browse/PaneArea.h"
#include "browse/TabColour.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/SecretCipher.h"
#include "e2e/E2eSupport.h"
#include "frame/FrameStatusBar.h"
#include "frame/MainWindow.h"
#include "links/Links.h"
#include "sites/TestSites.h"

namespace {

using sites::SharedSites;

// A real pane that says in which order the program asked it to navigate.
class OrderedPane : public WebEnginePane {
public:
    OrderedPane(const QString& user, QObject* parent, QStringList* order)
        : WebEnginePane(user, parent), m_order(order) {}
    void Navigate2(const QString& url) override {
        if (url != QLatin1String("about:blank")) *m_order << url;
        WebEnginePane::Navigate2(url);
    }

private:
    QStringList* m_order;
};

struct Site {
    const char* caption;
    const char* path;
    bool autoNavigate;
    int order;
};

class RealBrowse {
public:
    explicit RealBrowse(const QList<Site>& sites) {
        OfflineState::SetConnectionProbe([] { return true; });
        App().CurrentUser = QStringLiteral("e2e-browse");
        App().PassPhrase = QStringLiteral("pass");
        {
            Links links(App().CurrentUser);
            for (const Site& s : sites)
                links.Add(QLatin1String(s.caption),
                          SecretCipher::EncryptMessage(SharedSites().Url(QLatin1String(s.path))), QString(),
                          QString(), QString(), QString(), s.autoNavigate, false, s.order, false);
            links.SaveLinks(false);
        }
        frame.SetUserCaption();
        frame.show();
        browse = frame.LoadBrowseWindow(
            [this](QWidget* parent) { return new OrderedPane(App().CurrentUser, parent, &navigations); });
        for (const char* timer : {"loadFavoritesTimer", "showPageTimer"})
            browse->findChild<QTimer*>(QLatin1String(timer))->stop();
    }
    ~RealBrowse() {
        frame.close();
        OfflineState::SetConnectionProbe({});
    }

    WebEnginePane& pane(int i) { return *static_cast<WebEnginePane*>(browse->Pane(i)); }
    int index(const char* caption) {
        for (Link* l : browse->links())
            if (l->Caption() == QLatin1String(caption)) return l->Index() - 1;
        return -1;
    }
    bool loaded(int i) {
        return pane(i).ReadyState() == PaneReadyState::Complete && !pane(i).LocationURL().isEmpty() &&
               pane(i).LocationURL() != QLatin1String("about:blank");
    }

    TempStore store;
    ScriptedBoxes boxes;
    MainWindow frame;
    BrowseWindow* browse = nullptr;
    QStringList navigations;
};

TEST(BrowseFixture, LinksMarkedToLoadAtStartLoadInButtonOrderAndOthersCostNothing) {
    RealBrowse w({{"Plain", "/plain", true, 2},
                  {"Echo", "/echo", true, 0},
                  {"Frames", "/iframes", true, 1},
                  {"Later", "/welcome", false, 3}});
    BrowseWindow& browse = *w.browse;
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(w.pane(i).HasEnginePage()) << "pane " << i << " before start-up";

    browse.OnLoadFavoritesTimer();
    const QString plain = SharedSites().Url("/plain"), echo = SharedSites().Url("/echo"),
                  frames = SharedSites().Url("/iframes");
    EXPECT_EQ(w.navigations, QStringList({echo, frames, plain}));
    ASSERT_TRUE(WaitFor([&] { return w.loaded(0) && w.loaded(1) && w.loaded(2); }, 30000));
    ASSERT_TRUE(WaitFor(
        [&] {
            return browse.TabColour(0) == TabColour::Yellow && browse.TabColour(1) == TabColour::Yellow &&
                   browse.TabColour(2) == TabColour::Yellow;
        },
        10000));
    EXPECT_EQ(browse.VisibleIndex(), w.index("Echo"));
    EXPECT_EQ(browse.Panes().Front(), w.index("Echo"));
    EXPECT_EQ(browse.AddressText(), echo);
    // A Link nobody opened has no engine page (and no renderer).
    EXPECT_FALSE(w.pane(w.index("Later")).HasEnginePage());
}

TEST(BrowseFixture, ClickingALinkShowsItsPageAndA404ItsErrorPage) {
    RealBrowse w({{"Plain", "/plain", false, 0},
                  {"Missing", "/missing", false, 1},
                  {"Broken", "/script-error", false, 2}});
    BrowseWindow& browse = *w.browse;
    QTest::mouseClick(browse.Buttons().LinkButtonAt(w.index("Plain")), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return w.loaded(0) && browse.TabColour(0) == TabColour::Yellow; }, 20000));
    EXPECT_EQ(browse.Panes().Front(), 0);
    EXPECT_EQ(browse.AddressText(), SharedSites().Url("/plain"));
    EXPECT_EQ(browse.windowTitle(), w.pane(0).LocationName());
    EXPECT_FALSE(w.pane(1).HasEnginePage());

    const int missing = w.index("Missing");
    QTest::mouseClick(browse.Buttons().LinkButtonAt(missing), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return w.pane(missing).IsErrorPage() && w.loaded(missing); }, 20000));
    EXPECT_TRUE(browse.links().Item(missing + 1)->NavigationError());
    EXPECT_EQ(browse.VisibleIndex(), missing);
    EXPECT_EQ(browse.Panes().Front(), missing);
    EXPECT_EQ(w.pane(missing).LocationURL(), SharedSites().Url("/missing"));

    // A script error of the page on show is reported in the status bar.
    const int broken = w.index("Broken");
    QTest::mouseClick(browse.Buttons().LinkButtonAt(broken), Qt::LeftButton);
    ASSERT_TRUE(
        WaitFor([&] { return w.frame.StatusBar().Panel1Picture() == QLatin1String("PageError"); }, 20000));
    EXPECT_EQ(w.frame.StatusBar().PanelText(1), QStringLiteral("Error on Page "));
    EXPECT_TRUE(w.frame.StatusBar().Panel1Tag().startsWith(QLatin1String("Line: ")));
}

TEST(BrowseFixture, ALoginLinkWaitsBehindTheRealProgressPage) {
    App().CurrentUser = QStringLiteral("e2e-login");
    RealBrowse w({{"Login", "/login", false, 0}});
    BrowseWindow& browse = *w.browse;
    browse.SetLoginDecider(nullptr); // the progress page alone: nobody fills the form
    Link* link = browse.links().Item(1);
    link->SetReqLogin(true);
    link->SetUserName(SecretCipher::EncryptMessage(QLatin1String(sites::TestSites::kUser)));
    link->Setpw(SecretCipher::EncryptMessage(QLatin1String(sites::TestSites::kPassword)));
    QTest::mouseClick(browse.Buttons().LinkButtonAt(0), Qt::LeftButton);
    EXPECT_TRUE(browse.IsPlaceholderShown());
    ASSERT_TRUE(WaitFor([&] { return w.loaded(0); }, 20000));
    EXPECT_TRUE(browse.IsPlaceholderShown()) << "nobody fills the form: the page waits for its deadline";
    auto* placeholder = static_cast<WebEnginePane*>(browse.Placeholder());
    EXPECT_TRUE(placeholder->HasEnginePage());
    Clock::SetNow(QDateTime::currentDateTime().addSecs(25));
    browse.OnShowPageTimer();
    EXPECT_EQ(browse.Panes().Front(), 0);
    Clock::Reset();
}

} // namespace
