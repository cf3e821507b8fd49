// The browse window's start-up with the real engine on the local test sites.
#include <gtest/gtest.h>

#include "browse/BrowseWindow.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/PaneArea.h"
#include "browse/TabColour.h"
#include "core/AppState.h"
#include "e2e/E2eSupport.h"
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

TEST(BrowseStartUp, LinksMarkedToLoadAtStartLoadInButtonOrderAndOthersCostNothing) {
    TempStore store;
    App().CurrentUser = "e2e-browse";
    App().PassPhrase = "pass";
    StoreLinks({{"Plain", "/plain", {}, {}, {}, {}, true, 2},
                {"Echo", "/echo", {}, {}, {}, {}, true, 0},
                {"Frames", "/iframes", {}, {}, {}, {}, true, 1},
                {"Later", "/welcome", {}, {}, {}, {}, false, 3}});
    QStringList navigations;
    E2eWindow w([&](QWidget* parent) { return new OrderedPane(parent, &navigations); });
    BrowseWindow& browse = *w.browse;
    for (const char* caption : {"Plain", "Echo", "Frames", "Later"})
        EXPECT_FALSE(w.pane(caption).HasEnginePage()) << caption << " before start-up";
    browse.OnLoadFavoritesTimer();
    const QString echo = SharedSites().Url("/echo");
    EXPECT_EQ(navigations, QStringList({echo, SharedSites().Url("/iframes"), SharedSites().Url("/plain")}));
    // Each loads, its square yellow (loaded, no login).
    ASSERT_TRUE(WaitFor(
        [&] {
            for (const char* caption : {"Plain", "Echo", "Frames"})
                if (w.pane(caption).ReadyState() != PaneReadyState::Complete ||
                    !w.pane(caption).LocationURL().startsWith("http") ||
                    browse.TabColour(w.index(caption)) != TabColour::Yellow)
                    return false;
            return true;
        },
        30000));
    EXPECT_EQ(browse.VisibleIndex(), w.index("Echo"));
    EXPECT_EQ(browse.Panes().Front(), w.index("Echo"));
    EXPECT_EQ(browse.AddressText(), echo);
    // A Link nobody opened has no engine page (and no renderer).
    EXPECT_FALSE(w.pane("Later").HasEnginePage());
}

} // namespace
