// Auto-login end to end as a click on a Link's button starts it: the real browse window on the
// real engine against the local test sites. (The many login page layouts: LoginLabE2eTest.)
#include <gtest/gtest.h>

#include "browse/BrowseWindow.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/PaneArea.h"
#include "browse/TabColour.h"
#include "core/AppState.h"
#include "e2e/E2eSupport.h"
#include "links/Links.h"
#include "sites/TestSites.h"

namespace {

using sites::SharedSites;

// A real pane that keeps what the program drew into it (the placeholder's progress pages).
class DrawnPane : public WebEnginePane {
public:
    DrawnPane(QObject* parent, QStringList* drawn)
        : WebEnginePane(App().CurrentUser, parent), m_drawn(drawn) {}
    void SetBodyHtml(const QString& markup) override {
        *m_drawn << markup;
        WebEnginePane::SetBodyHtml(markup);
    }

private:
    QStringList* m_drawn;
};

} // namespace

TEST(AutoLogin, OneClickLogsInThePostLoginTextFindsAnchorButtonImageAndListOptionAndARefusalShowsAtOnce) {
    TempStore store;
    App().CurrentUser = QStringLiteral("e2e-autologin");
    App().PassPhrase = QStringLiteral("autologin pass");
    const QString pw = QLatin1String(sites::TestSites::kPassword), user = sites::TestSites::kUser;
    StoreLinks({{"Bank", "/login", user, pw, {}, "Accounts"},
                {"By anchor", "/login?next=/after/anchor", user, pw, {}, "Accounts"},
                {"By button", "/login?next=/after/button", user, pw, {}, "Accounts"},
                {"By image", "/login?next=/after/image", user, pw, {}, "go"},
                {"By list", "/login?next=/after/list", user, pw, {}, "Accounts"},
                {"Strict", "/login-strict", user, "not-the-password"}});
    QStringList drawn;
    E2eWindow w([&](QWidget* parent) { return new DrawnPane(parent, &drawn); });
    BrowseWindow& browse = *w.browse;
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
    // The placeholder showed a progress page with this text.
    const auto drew = [&](const QString& text) {
        return !drawn.filter(QStringLiteral("Please wait... <br>") + text).isEmpty();
    };
    qsizetype accepted = 0, refused = 0;
    // Clicks the Link's button: its pane waits behind the "Please wait..." page until `settled`.
    const auto open = [&](const QString& caption, const std::function<bool()>& settled) {
        drawn.clear();
        accepted = SharedSites().AcceptedLogins().size();
        refused = SharedSites().RefusedLogins().size();
        w.Click(caption);
        EXPECT_TRUE(browse.IsPlaceholderShown() && drew("Getting ")) << caption.toStdString();
        return WaitFor(settled, 20000);
    };

    ASSERT_TRUE(open("Bank", [&] { return loggedIn("Bank", "/accounts"); }));
    EXPECT_EQ(SharedSites().AcceptedLogins().mid(accepted), QStringList{"alice/p"});
    EXPECT_TRUE(w.link("Bank").NavigateAfterLoginDone());
    EXPECT_TRUE(drew("Signing In Bank  "));
    for (const char* kind : {"anchor", "button", "image", "list"}) {
        const QString caption = QStringLiteral("By ") + kind;
        ASSERT_TRUE(open(caption, [&] { return loggedIn(caption, QStringLiteral("via=") + kind); }))
            << kind << " " << w.pane(caption).LocationURL().toStdString();
        EXPECT_EQ(SharedSites().AcceptedLogins().mid(accepted), QStringList{"alice/p"});
        EXPECT_TRUE(w.link(caption).NavigateAfterLoginDone());
    }

    // The server refuses the password with its own 401 page: no login, the page shows at once.
    ASSERT_TRUE(open("Strict", [&] { return w.link("Strict").NavigationError() && inFront("Strict"); }));
    EXPECT_EQ(SharedSites().RefusedLogins().mid(refused), QStringList{"alice/p"});
    EXPECT_TRUE(drew("Signing In Strict  "));
    EXPECT_FALSE(w.link("Strict").LoggedIn());
    EXPECT_NE(browse.TabColour(w.index("Strict")), TabColour::Green);
}
