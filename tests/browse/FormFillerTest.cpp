#include <tuple>

#include "browse/FormFiller.h"
#include "browse/LoginFormJudge.h"
#include "BrowseSupport.h"
#include "core/Log.h"
#include "core/SecretCipher.h"
#include "links/Link.h"

using Fill = std::function<void(PageModelBuilder&)>;

namespace {

const QString kUser = QStringLiteral("alice");
const QString kPass = QStringLiteral("wonderland");

// The browse window's side, as a recording.
class TestHost : public FormFillerHost {
public:
    bool stopped = false;
    QString ssn;
    int parseCount = 0;
    QStringList calls;

    bool NavigateStopped() const override { return stopped; }
    void NavigatePane(int index, const QString& url) override {
        calls << QStringLiteral("NavigatePane %1 %2").arg(index).arg(url);
    }
    QString SSN() const override { return ssn; }
    int SignInParseCount() const override { return parseCount; }
    void SetSignInParseCount(int count) override { parseCount = count; }
    void RememberActiveControl() override { calls << QStringLiteral("Remember"); }
    void RestoreActiveControl() override { calls << QStringLiteral("Restore"); }
};

// A page of what `fill` adds.
DocumentPtr Page(const Fill& fill, const QString& url = QStringLiteral("http://bank.test/login")) {
    PageModelBuilder page(url);
    fill(page);
    return page.Build();
}

// A "login" form (ref 0): what `before` adds, the user name and password fields, what `after` adds.
Fill LoginForm(const Fill& after = {}, const Fill& before = {}) {
    return [=](PageModelBuilder& p) {
        p.Form("login");
        if (before) before(p);
        p.Input("text", "user");
        p.Input("password", "pass");
        if (after) after(p);
        p.EndForm();
    };
}

class FormFillerTest : public ::testing::Test {
protected:
    void SetUp() override {
        App().PassPhrase = QStringLiteral("master1");
        link.SetIndex(3);
        link.SetURL(SecretCipher::EncryptMessage("http://bank.test/login"));
        link.SetUserName(SecretCipher::EncryptMessage(kUser));
        link.SetPassword(SecretCipher::EncryptMessage(kPass));
        link.SetReqLogin(true);
        link.SetProgressValue(40);
    }

    // Every parse starts as a fresh attempt: nothing sent yet.
    bool Parse(const DocumentPtr& doc, FormFiller* with = nullptr) {
        link.SetPasswordSent(false);
        return (with ? *with : filler).ParsePage(doc.get(), 2, link);
    }
    // Parses and tells what the page was made to do: "-" in front when Parse said no; values
    // written as "#ref=value" (u and p for the Link's user name and password).
    QString Filled(const DocumentPtr& doc, FormFiller* with = nullptr) {
        const bool sent = Parse(doc, with); // before the actions are read
        return (sent ? QString() : QStringLiteral("- ")) + Actions(doc);
    }
    static QString Actions(const DocumentPtr& doc) {
        QStringList out;
        for (const PageAction& a : doc->model().pendingActions()) {
            if (a.kind == PageAction::SetValue)
                out << QStringLiteral("#%1=%2").arg(a.element).arg(a.text == kUser   ? QStringLiteral("u")
                                                                   : a.text == kPass ? QStringLiteral("p")
                                                                                     : a.text);
            else
                out << a.Describe().replace(QLatin1String(" #"), QLatin1String("#"));
        }
        return out.join(QLatin1Char(' '));
    }

    TempStore temp;
    TestHost host;
    FormFiller filler{host};
    Link link;
};

} // namespace

// Pages and what the filler does on them. Refs count every element in order, forms included.
// (A plain form, a wordless image button and today's pages log in end to end:
// LoginLabE2e.TodaysLoginPagesLogInFromTheBackground.)
TEST_F(FormFillerTest, WhichFieldsAreFilledAndWhichControlSendsThem) {
    const auto image = [](const char* name, const char* alt) -> Fill {
        return [=](PageModelBuilder& p) { p.Input("image", name).Alt(alt).Src("http://bank.test/go.gif"); };
    };
    const struct {
        const char* what;
        Fill page;
        const char* filled;
    } cases[] = {
        {"without submission the first field holding the user name gets the last old value back",
         [](PageModelBuilder& p) {
             p.Form("search"), p.Input("text", "q", "weather"), p.EndForm();
             p.Form("subscribe"), p.Input("text", "mail", "you@example.test");
             p.Input("submit").Value("Subscribe"), p.EndForm();
         },
         "- #1=u #3=u #1=you@example.test"},
        {"the card number form alone",
         [](PageModelBuilder& p) {
             p.Form("quick"), p.Input("text", "user"), p.Input("hidden", "Can"), p.Input("password", "pin");
             p.Input("submit").Value("Go"), p.EndForm();
         },
         "#1=u #3=p Focus#4 Click#4"},
        {"a submit button after the password is preferred to the image",
         LoginForm([](PageModelBuilder& p) { p.Input("submit").Value("Enter"), p.Input("text", "note"); },
                   image("go", "Sign in")),
         "#2=u #3=p Focus#4 Click#4"},
        {"a PIN form, then the login form",
         [](PageModelBuilder& p) {
             p.Form("pin"), p.Input("password", "pin"), p.EndForm();
             LoginForm()(p);
         },
         "#1=p #3=u #4=p Focus#4 PressEnter"},
        {"a PIN form, then one without a password",
         [](PageModelBuilder& p) {
             p.Form("pin"), p.Input("password", "pin"), p.EndForm();
             p.Form("search"), p.Input("text", "q"), p.EndForm();
         },
         "#1=p Focus#1 PressEnter"},
        {"a sign-up link after the password: the form goes through itself",
         LoginForm([](PageModelBuilder& p) {
             p.Anchor("http://bank.test/new", "New here? Sign up"), p.Input("submit").Value("Sign In");
         }),
         "#1=u #2=p Focus#2 PressEnter"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Filled(Page(c.page)), QLatin1String(c.filled));
    }
}

TEST_F(FormFillerTest, ImagesInSignInLinksAndButtonsWhoseScriptSubmits) {
    int button = -1;
    // A sign-in link with an image inside: the image is clicked; a sign-in link before the
    // password is not looked at.
    DocumentPtr doc = Page(LoginForm(
        [&](PageModelBuilder& p) {
            auto img = p.Child("IMG").Src("http://bank.test/in.gif").Alt("Sign In");
            p.Anchor("http://bank.test/go", "").FirstChild(img);
            button = img.ref();
        },
        [](PageModelBuilder& p) { p.Anchor("http://bank.test/in", "Sign in"); }));
    EXPECT_TRUE(Filled(doc).endsWith(QStringLiteral("Focus#%1 Click#%1").arg(button)));

    // A button's onclick submits when the function it calls does: not the next function, not
    // without an onclick; read from the markup, "onclick =" included, quotes or none.
    PageModelBuilder page("http://bank.test/login");
    page.Script("function a() { return 1; } function b() { f.submit(); } function go(f) { f.submit() }");
    const int a = page.Input("button").Value("A").OnClick("a()").ref();
    const int none = page.Input("button").Value("B").ref();
    const int spaced =
        page.Input("button").OuterHtml("<INPUT type=button onclick =go(this.form) value=Go>").ref();
    doc = page.Build();
    EXPECT_FALSE(FormFiller::IsScriptSubmitButton("a", doc->model().element(a)));
    EXPECT_FALSE(FormFiller::IsScriptSubmitButton("b", doc->model().element(none)));
    EXPECT_TRUE(FormFiller::IsScriptSubmitButton("go", doc->model().element(spaced)));
}

TEST_F(FormFillerTest, SsnAndTwoPasswordFields) {
    host.ssn = QStringLiteral("123-45-6789");
    DocumentPtr doc = Page([](PageModelBuilder& p) {
        p.Form("login"), p.Input("text", "user"), p.Input("password", "ssn");
        p.Input("password", "number").ParentParentText("Your social security number");
        p.Input("password", "pass"), p.Input("submit").Value("Sign In"), p.EndForm();
    });
    EXPECT_EQ(Filled(doc), "#1=u #2=123-45-6789 #3=123-45-6789 #4=p Focus#5 Click#5");

    // No SSN, or an SSN that is the password itself: the field is the password field. A name
    // that is not exactly "ssn" and no such text around: not an SSN field.
    for (const auto& [ssn, name, around] : {std::tuple{QString(), "ssn", ""}, std::tuple{kPass, "ssn", ""},
                                            std::tuple{QString("123-45-6789"), "SSN", "PIN"}}) {
        host.ssn = ssn;
        doc = Page([&](PageModelBuilder& p) { p.Input("password", name).ParentParentText(around); });
        EXPECT_FALSE(filler.FillSSNField(doc->model().element(0), kPass)) << name << ssn.toStdString();
        EXPECT_TRUE(Actions(doc).isEmpty());
    }
    // Two password fields: one already holding the SSN is left alone, so is one holding the
    // password; three of them are not this case at all.
    host.ssn = QStringLiteral("123-45-6789");
    for (const QStringList& names : {QStringList{"id", "pin"}, QStringList{"a", "b", "c"}}) {
        doc = Page([&](PageModelBuilder& p) {
            p.Form("login");
            for (const QString& name : names)
                p.Input("password", name, name == names.first() ? host.ssn : QString());
            p.EndForm();
        });
        FormFiller::FormScan state;
        state.passwordWritten = true;
        filler.FillTwoPasswordFields(doc->forms()[0], link, state);
        EXPECT_EQ(Actions(doc), names.size() == 2 ? QStringLiteral("#2=p") : QString());
        EXPECT_FALSE(state.userWritten);
    }
}

TEST_F(FormFillerTest, SubmittingThroughTheForm) {
    // An inline onsubmit handler: the password field is focused, the handler called, Enter
    // pressed; the active control is remembered before and given back after.
    const auto build = [](const QString& url, const QString& onsubmit, bool withButton) {
        return Page(
            [&](PageModelBuilder& p) {
                p.Form("login", onsubmit), p.Input("text", "user"), p.Input("password", "pass"), p.EndForm();
                if (withButton) p.Button(QString::fromUtf8(" Sign\u00a0In "));
            },
            url);
    };
    EXPECT_EQ(Filled(build("http://bank.test/login", "return check(this)", true)),
              "#1=u #2=p Focus#2 CallOnSubmit#0 PressEnter");
    EXPECT_EQ(host.calls, (QStringList{"Remember", "Restore"}));
    EXPECT_TRUE(link.PasswordSent());
    EXPECT_EQ(link.ProgressValue(), 0);

    // On the bank's pages its handler is not called.
    LoginSites bank;
    bank.bankDomain = QStringLiteral("bank.test");
    FormFiller bankFiller(host, bank);
    EXPECT_EQ(Filled(build("http://www.BANK.test/login", "return check(this)", false), &bankFiller),
              "#1=u #2=p Focus#2 PressEnter");
    // Without a handler, the page's sign-in button (no-break spaces ignored) is clicked.
    EXPECT_EQ(Filled(build("http://bank.test/login", "", true)), "#1=u #2=p Click#3");
}

// (A login in a frame of the site is filled end to end: LoginLabE2e.TodaysLoginPagesLogInFromTheBackground.)
TEST_F(FormFillerTest, FramesOfAnotherSiteAreLeftAlone) {
    // A frame of another origin of the site: the pane loads it; the FRAME elements are counted,
    // the frames before it included. A frame of another site is left alone.
    const auto foreignFrame = [](const QString& src) {
        return Page([&](PageModelBuilder& p) {
            p.Frame("http://bank.test/top", "top", [](PageModelBuilder&) {});
            p.CrossOriginFrame(src, "main");
        });
    };
    EXPECT_FALSE(Parse(foreignFrame("http://login.other.test/form")));
    EXPECT_TRUE(host.calls.isEmpty());
    const DocumentPtr doc = foreignFrame("http://login.bank.test/form");
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(host.calls, QStringList{"NavigatePane 2 http://login.bank.test/form"});
    EXPECT_FALSE(link.PasswordSent());
    // Not while the user has just stopped navigating.
    host.calls.clear();
    host.stopped = true;
    EXPECT_FALSE(Parse(doc));
    EXPECT_TRUE(host.calls.isEmpty());
}

TEST_F(FormFillerTest, SignInLogLinesNeverHoldThePassword) {
    App().DiagnosticMode = true;
    const QString folder = core::LogFolder();
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    // Pages that echo the password into the markup.
    EXPECT_TRUE(Parse(Page([](PageModelBuilder& p) {
        p.Form("login"), p.Input("text", "user").Id("u");
        p.Input("password", "pass")
            .Id("p")
            .OuterHtml(
                QStringLiteral("<input type=\"password\" name=\"pass\" id=\"p\" value=\"%1\">").arg(kPass));
        p.Input("button", "b").Value("Next"), p.Input("submit", "s").Id("go").Value("Sign In"), p.EndForm();
    })));
    EXPECT_TRUE(Parse(Page(
        [](PageModelBuilder& p) {
            p.Form("f2"), p.Input("password", "id").Id("p1");
            p.Input("password", "pw")
                .Id("p2")
                .OuterHtml(QStringLiteral("<input type=password name=pw id=p2 VALUE=%1>").arg(kPass));
            p.EndForm();
        },
        "http://bank.test/login2")));
    App().DiagnosticMode = false;

    const QString log = QString::fromUtf8(FileBytes(folder + "/SignIn.Log"));
    ASSERT_FALSE(log.isEmpty());
    EXPECT_FALSE(log.contains(kPass));
    for (const char* line :
         {"  PWId: p  PWName: pass  login  <input type=\"password\" name=\"pass\" id=\"p\" "
          "value=\"********\">",
          "  **PWId1: p1  UserName: id value=********  <input type=\"password\" name=\"id\" id=\"p1\">",
          "  **PWId2: p2  PWName: pw  <input type=password name=pw id=p2 VALUE=\"********\">"})
        EXPECT_TRUE(log.contains(QLatin1String(line))) << line;
}

// Forms the login lab's pages do not show (its pages are judged end to end:
// LoginLabE2e.TodaysLoginPagesLogInFromTheBackground,
// LoginLabE2e.PagesThatAreNoLoginOfTheLinksSiteReceiveNothing).
TEST(LoginFormJudgeTest, FormsAreJudgedByWhatAPersonSees) {
    using Kind = LoginFormJudge::Kind;
    struct Case {
        const char* what;
        Fill fields;
        Kind kind;
        const char* user;  // name of the field for the user name ("" none)
        const char* press; // the id of the control that sends it ("" none)
        bool ssn = false;
    };
    const auto text = [](PageModelBuilder& p, const char* name) { return p.Input("text", name); };
    const auto pass = [](PageModelBuilder& p, const char* name = "pw") { return p.Input("password", name); };
    const QList<Case> cases = {
        {"a search box before the user field",
         [&](auto& p) { text(p, "q"), text(p, "acct"), pass(p), p.Button("Sign in").Id("go"); }, Kind::Login,
         "acct", "go"},
        {"hidden and disabled fields are no fields",
         [&](auto& p) {
             text(p, "trap").Hidden(), text(p, "user").HtmlType("email"), pass(p, "old").Hidden(), pass(p);
             p.Button("Show").Type("button").Id("eye"), p.Button("Forgot password?").Type("button");
             p.Button("Continue").Id("go").Disabled();
         },
         Kind::Login, "user", "go"},
        {"three password fields, one the SSN",
         [&](auto& p) { pass(p, "ssn"), pass(p, "b"), pass(p, "c"), p.Input("submit").Id("go"); },
         Kind::Login, "", "go", true},
        {"personal details", [&](auto& p) { text(p, "first_name"), text(p, "email"), pass(p); },
         Kind::NotLogin, "", ""},
        {"a sign-up button of its own before the login one",
         [&](auto& p) {
             text(p, "user"), pass(p), p.Button("Sign up").Type("button"), p.Button("Sign in").Id("go");
         },
         Kind::Login, "user", "go"},
        {"a password change of two fields", [&](auto& p) { pass(p, "current"), pass(p, "newPassword"); },
         Kind::NotLogin, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PageModelBuilder page("http://bank.test/signin");
        page.Form("f");
        c.fields(page);
        page.EndForm();
        const DocumentPtr doc = page.Build();
        const LoginFormJudge::Verdict v = LoginFormJudge::Judge(doc->forms()[0], doc.get(), c.ssn);
        EXPECT_EQ(int(v.kind), int(c.kind)) << v.reason.toStdString();
        EXPECT_EQ(v.user ? v.user->name() : QString(), QLatin1String(c.user));
        EXPECT_EQ(v.press ? v.press->id() : QString(), QLatin1String(c.press));
    }
}

TEST_F(FormFillerTest, CredentialsGoOnlyToTheLinksSiteAndOnlyIntoLoginForms) {
    const auto login = [](const QString& url) {
        return Page(LoginForm([](PageModelBuilder& p) { p.Button("Log in"); }), url);
    };
    // Another site and a look-alike name get nothing; another port of the site is the site.
    for (const auto& [url, filled] :
         {std::pair{"http://evil.test/login", false}, std::pair{"http://bank.test.evil.test/", false},
          std::pair{"http://login.bank.test:81/x", true}}) {
        const DocumentPtr doc = login(QLatin1String(url));
        EXPECT_EQ(Parse(doc), filled) << url;
        EXPECT_EQ(Actions(doc).isEmpty(), !filled) << url;
    }
    link.SetURL(SecretCipher::EncryptMessage("https://bank.test/login"));
    EXPECT_EQ(Filled(login("http://www.bank.test/login")), "- ");
    // The Link's also allowed site, and the sign-in service's, may have them.
    link.SetAlsoAllowedSite("auth.partner.test");
    EXPECT_TRUE(Parse(login("https://login.partner.test/")));
    LoginSites sites;
    sites.signInServiceDomain = QStringLiteral("login.service.test");
    FormFiller service(host, sites);
    EXPECT_TRUE(Parse(login("https://login.service.test/"), &service));
}
