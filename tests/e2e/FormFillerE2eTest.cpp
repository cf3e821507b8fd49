#include <gtest/gtest.h>
#include <memory>

#include "browse/engine/WebEnginePane.h"
#include "browse/FormFiller.h"
#include "core/AppState.h"
#include "core/modEncrypt.h"
#include "e2e/E2eSupport.h"
#include "links/Links.h"
#include "sites/TestSites.h"
#include "support/TestSupport.h"

// The form filler on the real engine: a pane loads a login page of the local test sites, the
// filler runs inside its DocumentComplete as the login decision will run it, and the server
// says whether the login arrived.

namespace {

using sites::SharedSites;
using sites::TestSites;

QString Html(const QString& title, const QString& body) {
    return QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                          "<body>%2</body></html>")
        .arg(title, body);
}

// The opening tag of a form that posts to the login site (on the main origin from either one).
QString LoginFormTag(const QString& extra = {}) {
    return QStringLiteral("<form name=\"login\" method=\"post\" action=\"%1\"%2>")
        .arg(SharedSites().Url(QStringLiteral("/login")), extra);
}

const QString kUserField = QStringLiteral("<input type=\"text\" name=\"user\">");
const QString kPassField = QStringLiteral("<input type=\"password\" name=\"pass\">");

// The pages only these tests use, under /fill/.
void AddPages() {
    TestSites& s = SharedSites();
    s.AddPage(
        "/fill/search-first",
        Html("Search first", "<form name=\"search\" action=\"/fill/nowhere\"><input type=\"text\" name=\"q\">"
                             "<input type=\"submit\" value=\"Search\"></form>" +
                                 LoginFormTag() + kUserField + kPassField +
                                 "<input type=\"submit\" value=\"Sign In\"></form>"));
    s.AddPage("/fill/password-first",
              Html("Password first", LoginFormTag() + "<p>Password " + kPassField + "</p><p>User " +
                                         kUserField + "</p><input type=\"submit\" value=\"OK\"></form>"));
    s.AddPage("/fill/two-passwords",
              Html("Two passwords",
                   LoginFormTag() +
                       "Customer number <input type=\"password\" name=\"user\"> PIN "
                       "<input type=\"password\" name=\"pass\"><input type=\"submit\" value=\"Log in\">"
                       "</form>"));
    s.AddPage(
        "/fill/option",
        Html("Option", LoginFormTag() +
                           "<select name=\"realm\"><option value=\"p\">Personal</option><option value=\"b\">"
                           "Business</option><option value=\"v\">Private</option></select>" +
                           kUserField + kPassField + "<input type=\"submit\" value=\"Sign In\"></form>"));
    s.AddPage("/fill/image-first",
              Html("Image first",
                   LoginFormTag() +
                       "<input type=\"image\" name=\"go\" src=\"/img/dot.gif\" alt=\"Sign in\">" +
                       kUserField + kPassField +
                       "<label><input type=\"checkbox\" name=\"remember\"> Remember me</label></form>"));
    s.AddPage("/fill/can",
              Html("Card",
                   "<form name=\"quick\" method=\"post\" action=\"/fill/nowhere\">Card "
                   "<input type=\"text\" name=\"card\"><input type=\"text\" name=\"CAN\"> PIN "
                   "<input type=\"password\" name=\"pin\"><input type=\"submit\" value=\"Sign In\"></form>" +
                       LoginFormTag() + kUserField + kPassField +
                       "<input type=\"submit\" value=\"Sign In\"></form>"));
    s.AddPage(
        "/fill/script-anchor",
        Html("Script anchor", LoginFormTag() + kUserField + kPassField +
                                  "<a href=\"javascript:submitLogin()\">Continue</a></form>"
                                  "<script>function submitLogin() { document.login.submit(); }</script>"));
    s.AddPage(
        "/fill/script-button",
        Html("Script button", LoginFormTag() + kUserField + kPassField +
                                  "<input type=\"button\" value=\"Continue\" onclick=\"sendLogin()\"></form>"
                                  "<script>function other() { return 0; }\n"
                                  "function sendLogin() { document.forms.login.submit(); }</script>"));
    s.AddPage("/fill/empty-button",
              Html("Empty button", LoginFormTag() + kUserField + kPassField +
                                       "<input type=\"button\" onclick=\"this.form.submit()\"></form>"));
    const QString loginOnly = Html("Frame login", LoginFormTag() + kUserField + kPassField +
                                                      "<input type=\"submit\" value=\"Sign In\"></form>");
    s.AddPage("/fill/frame-login", loginOnly);
    s.AddPage("/fill/frame-top", Html("Top", "<p>Bramble Test Bank</p>"));
    s.AddPage("/fill/frame-same",
              "<!DOCTYPE html>\n<html><head><title>Frames</title></head><frameset rows=\"20%,80%\">"
              "<frame name=\"top\" src=\"/fill/frame-top\"><frame name=\"main\" src=\"/fill/frame-login\">"
              "</frameset></html>");
    s.AddPage(
        "/fill/frame-cross",
        QStringLiteral("<!DOCTYPE html>\n<html><head><title>Frames</title></head><frameset rows=\"20%,80%\">"
                       "<frame name=\"top\" src=\"/fill/frame-top\"><frame name=\"main\" src=\"%1\">"
                       "</frameset></html>")
            .arg(s.OtherUrl("/fill/frame-login")));
    // No submit control: the handler marks the form and submits it itself.
    s.AddPage("/fill/onsubmit",
              Html("Handler", LoginFormTag(" onsubmit=\"return sendIt(this)\"") + kUserField + kPassField +
                                  "<input type=\"hidden\" name=\"from\" value=\"form\"></form>"
                                  "<script>function sendIt(f) { f.from.value = 'onsubmit'; f.submit(); "
                                  "return false; }</script>"));
    // Fields without names, read only through the page's own input listeners; the page posts
    // what it has gathered itself.
    s.AddPage("/fill/framework",
              Html("App", "<form id=\"app\"><input type=\"text\" id=\"u\"><input type=\"password\" id=\"p\">"
                          "<button type=\"submit\">Sign in</button></form>"
                          "<script>var state = { user: '', pass: '' };\n"
                          "document.getElementById('u').addEventListener('input', function (e) {"
                          " state.user = e.target.value; });\n"
                          "document.getElementById('p').addEventListener('input', function (e) {"
                          " state.pass = e.target.value; });\n"
                          "document.getElementById('app').addEventListener('submit', function (e) {\n"
                          " e.preventDefault();\n"
                          " var body = new URLSearchParams(); body.set('user', state.user);"
                          " body.set('pass', state.pass);\n"
                          " fetch('/login', { method: 'POST', body: body, credentials: 'same-origin' })"
                          ".then(function (r) { location.href = r.url; });\n"
                          "});</script>"));
}

// The browse window's side of the filler, over the one pane.
class PaneHost : public FormFillerHost {
public:
    explicit PaneHost(BrowserPane* pane) : m_pane(pane) {}
    QStringList calls;
    int parseCount = 0;

    bool NavigateStopped() const override { return false; }
    void NavigatePane(int index, const QString& url) override {
        calls << QStringLiteral("NavigatePane %1 %2").arg(index).arg(url);
        m_pane->Navigate2(url);
    }
    QString SSN() const override { return {}; }
    int SignInParseCount() const override { return parseCount; }
    void SetSignInParseCount(int count) override { parseCount = count; }
    void RememberActiveControl() override { calls << QStringLiteral("Remember"); }
    void RestoreActiveControl() override { calls << QStringLiteral("Restore"); }

private:
    BrowserPane* m_pane;
};

class FormFillerE2e : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        AddPages();
        s_pane = new WebEnginePane(QStringLiteral("filler"));
        s_pane->widget()->resize(800, 600);
    }
    static void TearDownTestSuite() {
        delete s_pane;
        s_pane = nullptr;
    }

    void SetUp() override {
        App().CurrentUser = QStringLiteral("filler");
        App().PassPhrase = QStringLiteral("filler-pass");
        links = std::make_unique<Links>(QStringLiteral("filler"));
        log = std::make_unique<EventLog>(s_pane);
        host = std::make_unique<PaneHost>(s_pane);
        filler = std::make_unique<FormFiller>(*host);
        ASSERT_TRUE(LoadAndWait(*s_pane, *log, SharedSites().Url(QStringLiteral("/logout"))));
    }
    void TearDown() override { log->onTopDocumentComplete = nullptr; }

    // Opens the Link's page and fills every top-level document while its password has not
    // been sent, as the login decision does. Waits for the server's answer.
    bool LogIn(const QString& url, const QString& selectOption = {}) {
        Link* link = links->Add(QStringLiteral("Bank"), modEncrypt::EncryptMessage(url),
                                modEncrypt::EncryptMessage(QString::fromLatin1(TestSites::kUser)),
                                modEncrypt::EncryptMessage(QString::fromLatin1(TestSites::kPassword)),
                                selectOption, QString(), false, true);
        const int index = link->Index() - 1;
        log->onTopDocumentComplete = [this, link, index](const QString& url) {
            if (link->PasswordSent()) return;
            parsed << url;
            results << filler->ParsePage(s_pane->Document().get(), index, *link);
        };
        before = int(SharedSites().AcceptedLogins().size());
        refusedBefore = int(SharedSites().RefusedLogins().size());
        log->Clear();
        s_pane->Navigate2(url);
        const bool answered = WaitFor(
            [&] {
                return SharedSites().AcceptedLogins().size() > before ||
                       SharedSites().RefusedLogins().size() > refusedBefore;
            },
            15000);
        sent = link->PasswordSent();
        progress = link->ProgressValue();
        return answered;
    }
    QStringList Accepted() const { return SharedSites().AcceptedLogins().mid(before); }
    QStringList Refused() const { return SharedSites().RefusedLogins().mid(refusedBefore); }
    QString Events() const { return log->events.join(QLatin1Char('\n')); }
    bool WelcomeShown() {
        return log->WaitFor(QStringLiteral("DocumentComplete top ") +
                            SharedSites().Url(QStringLiteral("/welcome")));
    }

    static WebEnginePane* s_pane;
    TempStore temp;
    std::unique_ptr<Links> links;
    std::unique_ptr<EventLog> log;
    std::unique_ptr<PaneHost> host;
    std::unique_ptr<FormFiller> filler;
    QStringList parsed;
    QList<bool> results;
    int before = 0;
    int refusedBefore = 0;
    bool sent = false;
    int progress = -1;
};

WebEnginePane* FormFillerE2e::s_pane = nullptr;

} // namespace

TEST_F(FormFillerE2e, PlainFormLogsInThroughItsSubmitButton) {
    ASSERT_TRUE(LogIn(SharedSites().Url(QStringLiteral("/login")))) << Events().toStdString();
    EXPECT_EQ(Accepted(), QStringList{"alice/p"});
    EXPECT_EQ(results, QList<bool>{true});
    EXPECT_TRUE(sent);
    EXPECT_EQ(progress, 0);
    EXPECT_TRUE(WelcomeShown());
    // The page after the login has no form to fill: the filler was not asked again.
    EXPECT_EQ(parsed.size(), 1);
    EXPECT_TRUE(host->calls.isEmpty());
}

TEST_F(FormFillerE2e, FormLayoutsThatStillLogIn) {
    struct Case {
        const char* path;
        const char* option;
        const char* accepted;
    };
    const Case cases[] = {
        {"/fill/search-first", "", "alice"},  {"/fill/password-first", "", "alice"},
        {"/fill/two-passwords", "", "alice"}, {"/fill/option", "business", "alice/b"},
        {"/fill/image-first", "", "alice"},   {"/fill/can", "", "alice"},
        {"/fill/script-anchor", "", "alice"}, {"/fill/script-button", "", "alice"},
        {"/fill/empty-button", "", "alice"},  {"/fill/onsubmit", "", "alice (onsubmit)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        results.clear();
        ASSERT_TRUE(LogIn(SharedSites().Url(QLatin1String(c.path)), QLatin1String(c.option)))
            << Events().toStdString();
        EXPECT_EQ(Accepted(), QStringList{QString::fromLatin1(c.accepted)});
        EXPECT_TRUE(Refused().isEmpty());
        EXPECT_EQ(results, QList<bool>{true});
        EXPECT_TRUE(WelcomeShown()) << Events().toStdString();
        ASSERT_TRUE(LoadAndWait(*s_pane, *log, SharedSites().Url(QStringLiteral("/logout"))));
    }
    // The card-number form was never submitted.
    EXPECT_EQ(SharedSites().main().CountRequests(QStringLiteral("/fill/nowhere")), 0);
}

TEST_F(FormFillerE2e, LoginFormInASameOriginFrameIsFilledInPlace) {
    ASSERT_TRUE(LogIn(SharedSites().Url(QStringLiteral("/fill/frame-same")))) << Events().toStdString();
    EXPECT_EQ(Accepted(), QStringList{"alice"});
    EXPECT_EQ(results, QList<bool>{true});
    // The frame moved on to the welcome page; the frameset stayed.
    EXPECT_TRUE(log->WaitFor(QStringLiteral("DocumentComplete frame ") +
                             SharedSites().Url(QStringLiteral("/welcome"))));
    EXPECT_EQ(s_pane->LocationURL(), SharedSites().Url(QStringLiteral("/fill/frame-same")));
    EXPECT_TRUE(host->calls.isEmpty());
}

TEST_F(FormFillerE2e, LoginPageInAFrameFromAnotherSiteIsLoadedInThePaneAndFilledThere) {
    ASSERT_TRUE(LogIn(SharedSites().Url(QStringLiteral("/fill/frame-cross")))) << Events().toStdString();
    EXPECT_EQ(Accepted(), QStringList{"alice"});
    const QString frameUrl = SharedSites().OtherUrl(QStringLiteral("/fill/frame-login"));
    EXPECT_EQ(host->calls, QStringList{"NavigatePane 0 " + frameUrl});
    // The frameset "needed nothing" (its frame was handed to the pane); the frame's page,
    // loaded on its own, was filled and submitted.
    EXPECT_EQ(parsed, (QStringList{SharedSites().Url(QStringLiteral("/fill/frame-cross")), frameUrl}));
    EXPECT_EQ(results, (QList<bool>{true, true}));
    EXPECT_TRUE(WelcomeShown());
}

TEST_F(FormFillerE2e, FrameworkPageSeesTheValuesThroughItsOwnListeners) {
    ASSERT_TRUE(LogIn(SharedSites().Url(QStringLiteral("/fill/framework")))) << Events().toStdString();
    EXPECT_EQ(Accepted(), QStringList{"alice"});
    EXPECT_TRUE(Refused().isEmpty());
    // Submitted through the page's sign-in button, with the focus handling around it.
    EXPECT_EQ(host->calls, (QStringList{"Remember", "Restore"}));
    EXPECT_TRUE(WelcomeShown());
}

TEST_F(FormFillerE2e, TheWrittenPasswordNeverReachesTheFieldsMarkup) {
    // A fresh snapshot after the fill: the value is in the field, not in its markup.
    Link* link = links->Add(
        QStringLiteral("Bank"), modEncrypt::EncryptMessage(SharedSites().Url("/fill/option")),
        modEncrypt::EncryptMessage(QStringLiteral("nobody")),
        modEncrypt::EncryptMessage(QStringLiteral("pw-in-markup?")), QString(), QString(), false, true);
    ASSERT_TRUE(LoadAndWait(*s_pane, *log, SharedSites().Url(QStringLiteral("/fill/option"))));
    // Filled but not submitted: a special-site parse that defers its click.
    LoginSites sites = LoginSites::Defaults();
    sites.specialSitePrefix = SharedSites().Url(QStringLiteral("/fill/"));
    FormFiller deferring(*host, sites);
    EXPECT_FALSE(deferring.ParsePage(s_pane->Document().get(), 0, *link));
    bool applied = false;
    s_pane->ApplyActions([&](bool) { applied = true; });
    ASSERT_TRUE(WaitFor([&] { return applied; }));
    DocumentPtr fresh;
    s_pane->RefreshDocument([&](DocumentPtr d) { fresh = d; });
    ASSERT_TRUE(WaitFor([&] { return fresh != nullptr; }));
    DomElement* pass = nullptr;
    for (DomElement* e : fresh->forms()[0]->elements())
        if (e->name() == "pass") pass = e;
    ASSERT_TRUE(pass);
    EXPECT_EQ(pass->value(), "pw-in-markup?");
    EXPECT_FALSE(pass->outerHTML().contains("pw-in-markup"));
    EXPECT_FALSE(FormFiller::LoggedHtml(pass).contains("pw-in-markup"));
}
