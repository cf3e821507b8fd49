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

class AutoLogin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_store = new TempStore;
        App().CurrentUser = QStringLiteral("e2e-autologin");
        App().PassPhrase = QStringLiteral("autologin pass");
        const QString pw = QLatin1String(sites::TestSites::kPassword), user = sites::TestSites::kUser;
        StoreLinks({{"Bank", "/login", user, pw, {}, "Accounts"},
                    {"By anchor", "/login?next=/after/anchor", user, pw, {}, "Accounts"},
                    {"By button", "/login?next=/after/button", user, pw, {}, "Accounts"},
                    {"By image", "/login?next=/after/image", user, pw, {}, "go"},
                    {"By list", "/login?next=/after/list", user, pw, {}, "Accounts"},
                    {"Strict", "/login-strict", user, "not-the-password"}});
        s_window = new E2eWindow([](QWidget* parent) { return new DrawnPane(parent, &s_drawn); });
    }
    static void TearDownTestSuite() {
        delete s_window;
        delete s_store;
    }

    Link& link(const QString& caption) { return s_window->link(caption); }
    BrowseWindow& browse() { return *s_window->browse; }
    bool InFront(const QString& caption) {
        return !browse().IsPlaceholderShown() && browse().Panes().Front() == s_window->index(caption) &&
               s_window->pane(caption).ReadyState() == PaneReadyState::Complete;
    }
    // Logged in (not assumed), its page in front at an address holding `at`, its tab green.
    bool LoggedIn(const QString& caption, const QString& at) {
        return link(caption).LoggedIn() && !link(caption).LoginAssumed() && InFront(caption) &&
               browse().TabColour(s_window->index(caption)) == TabColour::Green &&
               s_window->pane(caption).LocationURL().contains(at);
    }
    // Clicks the Link's button: its pane waits behind the "Please wait..." page until `settled`.
    bool Open(const QString& caption, const std::function<bool()>& settled) {
        s_drawn.clear();
        accepted = int(SharedSites().AcceptedLogins().size());
        refused = int(SharedSites().RefusedLogins().size());
        s_window->Click(caption);
        EXPECT_TRUE(browse().IsPlaceholderShown() && Drew("Getting ")) << caption.toStdString();
        return WaitFor(settled, 20000);
    }
    QStringList Accepted() const { return SharedSites().AcceptedLogins().mid(accepted); }
    // The placeholder showed a progress page with this text.
    static bool Drew(const QString& text) {
        return !s_drawn.filter(QStringLiteral("Please wait... <br>") + text).isEmpty();
    }

    static TempStore* s_store;
    static E2eWindow* s_window;
    static QStringList s_drawn;
    int accepted = 0;
    int refused = 0;
};

TempStore* AutoLogin::s_store = nullptr;
E2eWindow* AutoLogin::s_window = nullptr;
QStringList AutoLogin::s_drawn;

} // namespace

TEST_F(AutoLogin, OneClickLogsInAndThePostLoginTextFindsAnchorButtonImageAndListOption) {
    ASSERT_TRUE(Open("Bank", [&] { return LoggedIn("Bank", "/accounts"); }));
    EXPECT_EQ(Accepted(), QStringList{"alice/p"});
    EXPECT_TRUE(link("Bank").NavigateAfterLoginDone());
    EXPECT_TRUE(Drew("Signing In Bank  "));
    for (const char* kind : {"anchor", "button", "image", "list"}) {
        const QString caption = QStringLiteral("By ") + kind;
        ASSERT_TRUE(Open(caption, [&] { return LoggedIn(caption, QStringLiteral("via=") + kind); }))
            << kind << " " << s_window->pane(caption).LocationURL().toStdString();
        EXPECT_EQ(Accepted(), QStringList{"alice/p"});
        EXPECT_TRUE(link(caption).NavigateAfterLoginDone());
    }
}

// The server refuses the password with its own 401 page: no login, the page shows at once.
TEST_F(AutoLogin, ARefusedPasswordShowsTheServersPageAtOnceWithoutALogin) {
    ASSERT_TRUE(Open("Strict", [&] { return link("Strict").NavigationError() && InFront("Strict"); }));
    EXPECT_EQ(SharedSites().RefusedLogins().mid(refused), QStringList{"alice/p"});
    EXPECT_TRUE(Drew("Signing In Strict  "));
    EXPECT_FALSE(link("Strict").LoggedIn());
    EXPECT_NE(browse().TabColour(s_window->index("Strict")), TabColour::Green);
}
