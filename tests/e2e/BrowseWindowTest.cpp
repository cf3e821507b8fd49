// The browse window with the real engine on the local test sites.
#include <gtest/gtest.h>

#include "browse/BrowseWindow.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/PaneArea.h"
#include "browse/TabColour.h"
#include "core/AppState.h"
#include "core/Clock.h"
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
    OrderedPane(QObject* parent, QStringList* order)
        : WebEnginePane(App().CurrentUser, parent), m_order(order) {}
    void Navigate2(const QString& url) override {
        if (url != QLatin1String("about:blank")) *m_order << url;
        WebEnginePane::Navigate2(url);
    }

private:
    QStringList* m_order;
};

class BrowseFixture : public ::testing::Test {
protected:
    void Open(const QList<E2eLink>& links) {
        App().CurrentUser = QStringLiteral("e2e-browse");
        App().PassPhrase = QStringLiteral("pass");
        StoreLinks(links);
        w = std::make_unique<E2eWindow>(
            [this](QWidget* parent) { return new OrderedPane(parent, &navigations); });
        browse().findChild<QTimer*>(QStringLiteral("showPageTimer"))->stop();
    }
    BrowseWindow& browse() { return *w->browse; }
    bool Loaded(const char* caption) {
        const WebEnginePane& pane = w->pane(QLatin1String(caption));
        return pane.ReadyState() == PaneReadyState::Complete && !pane.LocationURL().isEmpty() &&
               pane.LocationURL() != QLatin1String("about:blank");
    }

    TempStore store;
    ScriptedBoxes boxes;
    QStringList navigations;
    std::unique_ptr<E2eWindow> w;
};

} // namespace

TEST_F(BrowseFixture, LinksMarkedToLoadAtStartLoadInButtonOrderAndOthersCostNothing) {
    Open({{"Plain", "/plain", {}, {}, {}, {}, true, 2},
          {"Echo", "/echo", {}, {}, {}, {}, true, 0},
          {"Frames", "/iframes", {}, {}, {}, {}, true, 1},
          {"Later", "/welcome", {}, {}, {}, {}, false, 3}});
    for (const char* caption : {"Plain", "Echo", "Frames", "Later"})
        EXPECT_FALSE(w->pane(QLatin1String(caption)).HasEnginePage()) << caption << " before start-up";
    browse().OnLoadFavoritesTimer();
    const QString echo = SharedSites().Url("/echo");
    EXPECT_EQ(navigations, QStringList({echo, SharedSites().Url("/iframes"), SharedSites().Url("/plain")}));
    ASSERT_TRUE(WaitFor([&] { return Loaded("Plain") && Loaded("Echo") && Loaded("Frames"); }, 30000));
    ASSERT_TRUE(WaitFor(
        [&] {
            for (const char* caption : {"Plain", "Echo", "Frames"})
                if (browse().TabColour(w->index(QLatin1String(caption))) != TabColour::Yellow) return false;
            return true;
        },
        10000));
    EXPECT_EQ(browse().VisibleIndex(), w->index("Echo"));
    EXPECT_EQ(browse().Panes().Front(), w->index("Echo"));
    EXPECT_EQ(browse().AddressText(), echo);
    // A Link nobody opened has no engine page (and no renderer).
    EXPECT_FALSE(w->pane("Later").HasEnginePage());
}

TEST_F(BrowseFixture, ClickingALinkShowsItsPageAndAScriptErrorInTheStatusBar) {
    Open({{"Plain", "/plain"}, {"Broken", "/script-error"}});
    w->Click("Plain");
    ASSERT_TRUE(
        WaitFor([&] { return Loaded("Plain") && browse().TabColour(w->index("Plain")) == TabColour::Yellow; },
                20000));
    EXPECT_EQ(browse().Panes().Front(), w->index("Plain"));
    EXPECT_EQ(browse().AddressText(), SharedSites().Url("/plain"));
    EXPECT_EQ(browse().windowTitle(), w->pane("Plain").LocationName());
    EXPECT_FALSE(w->pane("Broken").HasEnginePage());

    w->Click("Broken");
    FrameStatusBar& status = w->frame->StatusBar();
    ASSERT_TRUE(WaitFor([&] { return status.Panel1Picture() == QLatin1String("PageError"); }, 20000));
    EXPECT_EQ(status.PanelText(1), QStringLiteral("Error on Page "));
    EXPECT_TRUE(status.Panel1Tag().startsWith(QLatin1String("Line: ")));
}

TEST_F(BrowseFixture, ALoginLinkWaitsBehindTheRealProgressPage) {
    Open({{"Login", "/login", sites::TestSites::kUser, sites::TestSites::kPassword}});
    browse().SetLoginDecider(nullptr); // the progress page alone: nobody fills the form
    w->Click("Login");
    EXPECT_TRUE(browse().IsPlaceholderShown());
    ASSERT_TRUE(WaitFor([&] { return Loaded("Login"); }, 20000));
    EXPECT_TRUE(browse().IsPlaceholderShown()) << "nobody fills the form: the page waits for its deadline";
    EXPECT_TRUE(static_cast<WebEnginePane*>(browse().Placeholder())->HasEnginePage());
    Clock::SetNow(QDateTime::currentDateTime().addSecs(25));
    browse().OnShowPageTimer();
    EXPECT_EQ(browse().Panes().Front(), w->index("Login"));
    Clock::Reset();
}
