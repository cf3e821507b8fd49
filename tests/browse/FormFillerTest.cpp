#include <functional>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <tuple>

#include "browse/engine/PageModelBuilder.h"
#include "browse/FormFiller.h"
#include "browse/LoginFormJudge.h"
#include "browse/LoginKeywords.h"
#include "core/AppState.h"
#include "core/Log.h"
#include "core/SecretCipher.h"
#include "links/Link.h"
#include "support/TestSupport.h"

using LoginKeywords::IsLoginText;
using LoginKeywords::IsSignUpText;

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

class Owner : public LinkOwner {
public:
    QStringList calls;
    void PasswordSent(int index) override { calls << QStringLiteral("PasswordSent %1").arg(index); }
    void LoggedIn(int) override {}
    void LoginAssumed(int) override {}
    void NavigationError(int) override {}
};

class FormFillerTest : public ::testing::Test {
protected:
    void SetUp() override {
        App().PassPhrase = QStringLiteral("master1");
        link.SetIndex(3);
        link.SetURL(SecretCipher::EncryptMessage(QStringLiteral("http://bank.test/login")));
        link.SetUserName(SecretCipher::EncryptMessage(kUser));
        link.Setpw(SecretCipher::EncryptMessage(kPass));
        link.SetReqLogin(true);
        link.SetProgressValue(40);
        link.SetOwner(&owner);
    }

    // Every parse starts as a fresh attempt: nothing sent yet.
    bool Parse(const DocumentPtr& doc) {
        link.SetPasswordSent(false);
        return filler.ParsePage(doc.get(), 2, link);
    }

    using Fill = std::function<void(PageModelBuilder&)>;
    // A "login" form: what `before` adds, the user name and password fields, what `after` adds.
    DocumentPtr LoginPage(const Fill& after = {}, const Fill& before = {},
                          const QString& url = QStringLiteral("http://bank.test/login")) {
        PageModelBuilder page(url);
        page.Form("login");
        if (before) before(page);
        userField = page.Input("text", "user").ref();
        passField = page.Input("password", "pass").ref();
        if (after) after(page);
        page.EndForm();
        return page.Build();
    }

    // The recorded page actions, readably; values shown (these are test values).
    static QStringList Actions(const DocumentPtr& doc) {
        QStringList out;
        for (const PageAction& a : doc->model().pendingActions()) {
            QString line = a.Describe();
            if (a.kind == PageAction::SetValue || a.kind == PageAction::Navigate)
                line += QLatin1Char(' ') + a.text;
            out << line;
        }
        return out;
    }

    TempStore temp;
    TestHost host;
    Owner owner;
    FormFiller filler{host};
    Link link;
    int userField = -1, passField = -1; // of the last LoginPage
};

QString V(int ref, const QString& value) {
    return QStringLiteral("SetValue #%1 %2").arg(ref).arg(value);
}
QString A(const char* kind, int ref) {
    return QStringLiteral("%1 #%2").arg(QLatin1String(kind)).arg(ref);
}

} // namespace

TEST(LoginKeywordsTest, LoginAndSignUpTexts) {
    for (const char* yes : {"Sign In", "SIGNIN", "<input type=image alt=\"Submit\">", "logon", "Login now",
                            "sign\u00a0in", "Signature"})
        EXPECT_TRUE(IsLoginText(QString::fromUtf8(yes))) << yes;
    for (const char* no : {"Sign up", "sign-up here", "Help with signing in", "Sign in assistance", "Log out",
                           "Continue", "", "log in"})
        EXPECT_FALSE(IsLoginText(QString::fromUtf8(no))) << no;
    // A no-break space between the words of "sign up" hides the sign-up.
    EXPECT_TRUE(IsLoginText(QString::fromUtf8("Sign\u00a0up")));
    EXPECT_TRUE(IsSignUpText("New? SIGN UP"));
    EXPECT_TRUE(IsSignUpText("sign-up"));
    EXPECT_FALSE(IsSignUpText("signup"));
    // Button texts: any part of the list matches, the empty text too ("go", within "logon").
    for (const char* yes : {"", "sign in", "LOG-ON", "n*sig", "login*log-in", "go"})
        EXPECT_TRUE(LoginKeywords::InLoginList(yes)) << yes;
    for (const char* no : {"next", "sign in now", "submit"})
        EXPECT_FALSE(LoginKeywords::InLoginList(no)) << no;
}

TEST_F(FormFillerTest, PlainFormIsFilledAndItsSubmitClickedInOrder) {
    PageModelBuilder page("http://bank.test/login");
    page.Form("login");
    const int user = page.Input("text", "user", "previous").ref();
    const int pass = page.Input("password", "pass").ref();
    page.Input("hidden", "from", "form");
    const int submit = page.Input("submit").Value("Sign In").ref();
    page.EndForm();
    const DocumentPtr doc = page.Build();

    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc),
              (QStringList{V(user, kUser), V(pass, kPass), A("Focus", submit), A("Click", submit)}));
    EXPECT_TRUE(link.PasswordSent());
    EXPECT_EQ(owner.calls, QStringList{"PasswordSent 3"});
    EXPECT_EQ(link.ProgressValue(), 0);
    // The model holds what was written.
    EXPECT_EQ(doc->model().element(user)->value(), kUser);
    // ... while the markup stays as the snapshot read it, before the writes.
    EXPECT_FALSE(doc->model().element(pass)->outerHTML().contains(kPass));
    EXPECT_TRUE(host.calls.isEmpty()); // no Enter, so the focus is left alone
}

TEST_F(FormFillerTest, SearchFormBeforeTheLoginKeepsTheUserName) {
    PageModelBuilder page("http://bank.test/");
    page.Form("search");
    const int q = page.Input("text", "q", "find").ref();
    page.Input("submit").Value("Search");
    page.EndForm();
    page.Form("login");
    const int user = page.Input("text", "user").ref();
    const int pass = page.Input("password", "pass").ref();
    const int go = page.Input("submit").Value("Go").ref();
    page.EndForm();
    const DocumentPtr doc = page.Build();

    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc),
              (QStringList{V(q, kUser), V(user, kUser), V(pass, kPass), A("Focus", go), A("Click", go)}));
}

TEST_F(FormFillerTest, WithoutSubmissionTheUserNameIsTakenBackFromTheFirstFieldHoldingIt) {
    // Two forms without a password: both text fields get the user name, nothing is submitted,
    // and the first field holding it gets the old value recorded last (the second form's).
    PageModelBuilder page("http://bank.test/");
    page.Form("search");
    const int q = page.Input("text", "q", "weather").ref();
    page.EndForm();
    page.Form("subscribe");
    const int mail = page.Input("text", "mail", "you@example.test").ref();
    page.Input("submit").Value("Subscribe");
    page.EndForm();
    const DocumentPtr doc = page.Build();

    EXPECT_FALSE(Parse(doc));
    EXPECT_EQ(Actions(doc), (QStringList{V(q, kUser), V(mail, kUser), V(q, "you@example.test")}));
    EXPECT_FALSE(link.PasswordSent());
    EXPECT_EQ(link.ProgressValue(), 40);
}

TEST_F(FormFillerTest, TwoPasswordFieldsTakeUserNameThenPassword) {
    // A form of password fields only (refs from 1; the form is 0), the first holding firstValue.
    const auto passwords = [](const QStringList& names, bool submit, const QString& firstValue = {}) {
        PageModelBuilder page("http://bank.test/login");
        page.Form("login");
        for (const QString& name : names)
            page.Input("password", name, name == names.first() ? firstValue : QString());
        if (submit) page.Input("submit").Value("Log in");
        page.EndForm();
        return page.Build();
    };
    DocumentPtr doc = passwords({"user", "pass"}, true);
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc),
              (QStringList{V(1, kPass), V(1, kUser), V(2, kPass), A("Focus", 3), A("Click", 3)}));

    // A field that already holds the SSN is left alone; so is one holding the password.
    host.ssn = QStringLiteral("123-45-6789");
    doc = passwords({"id", "pin"}, false, host.ssn);
    FormFiller::FormScan state;
    state.passwordWritten = true;
    filler.FillTwoPasswordFields(doc->forms()[0], link, state);
    EXPECT_EQ(Actions(doc), (QStringList{V(2, kPass)}));
    EXPECT_FALSE(state.userWritten);
    // Three password fields: not this case at all.
    doc = passwords({"a", "b", "c"}, false);
    filler.FillTwoPasswordFields(doc->forms()[0], link, state);
    EXPECT_TRUE(Actions(doc).isEmpty());
}

TEST_F(FormFillerTest, ButtonsMatchTheLoginListOrAScriptThatSubmits) {
    // An empty button value occurs within the login list: chosen.
    int button = -1;
    DocumentPtr doc = LoginPage([&](PageModelBuilder& p) { button = p.Input("button").ref(); });
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc).mid(2), (QStringList{A("Focus", button), A("Click", button)}));

    // "Continue" is not in the list, but its onclick calls a function that submits.
    doc = LoginPage([&](PageModelBuilder& p) {
        p.Script("var x = 1;\nfunction other() { return 1; }\n"
                 "function sendLogin() { check(); document.login.SUBMIT(); }\nfunction check() {}");
        p.Input("button").Value("Help").OnClick("other()");
        button = p.Input("button").Value(QString::fromUtf8("\u00a0Continue ")).OnClick("sendLogin()").ref();
    });
    EXPECT_TRUE(FormFiller::IsScriptSubmitButton("continue", doc->model().element(button)));
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc).mid(2), (QStringList{A("Focus", button), A("Click", button)}));

    // The submit belongs to the next function, or there is no onclick: no. The onclick is read
    // from the markup, "onclick =" included, quotes or none.
    PageModelBuilder page("http://bank.test/login");
    page.Script("function a() { return 1; } function b() { f.submit(); } function go(f) { f.submit() }");
    const int a = page.Input("button").Value("A").OnClick("a()").ref();
    const int none = page.Input("button").Value("B").ref();
    const int unknown = page.Input("button").Value("C").OnClick("zz()").ref();
    const int spaced =
        page.Input("button").OuterHtml("<INPUT type=button onclick =go(this.form) value=Go>").ref();
    doc = page.Build();
    EXPECT_FALSE(FormFiller::IsScriptSubmitButton("a", doc->model().element(a)));
    EXPECT_FALSE(FormFiller::IsScriptSubmitButton("b", doc->model().element(none)));
    EXPECT_FALSE(FormFiller::IsScriptSubmitButton("c", doc->model().element(unknown)));
    EXPECT_TRUE(FormFiller::IsScriptSubmitButton("go", doc->model().element(spaced)));
}

TEST_F(FormFillerTest, ListOptionIsChosenByWholeTextOrEveryOptionDeselected) {
    const auto parseWith = [&](const QString& option, QList<bool>* selected) {
        link.SetSelectOption(option);
        int list = -1;
        const DocumentPtr doc =
            LoginPage([](PageModelBuilder& p) { p.Input("submit").Value("Sign In"); },
                      [&](PageModelBuilder& p) {
                          list = p.Select("realm", {"Personal", "Business", "Business Plus"}, 0).ref();
                      });
        EXPECT_TRUE(Parse(doc));
        selected->clear();
        for (DomElement* o : doc->model().element(list)->children())
            selected->append(o->selected());
        return Actions(doc);
    };
    QList<bool> selected;
    // Options are 2, 3, 4; each one before the match is deselected, the match selected.
    EXPECT_EQ(parseWith("bUSINESS", &selected).mid(0, 3),
              (QStringList{"SetSelected #2 false", "SetSelected #3 true", V(5, kUser)}));
    EXPECT_EQ(selected, (QList<bool>{false, true, false}));
    EXPECT_EQ(
        parseWith("Business ", &selected).mid(0, 4),
        (QStringList{"SetSelected #2 false", "SetSelected #3 false", "SetSelected #4 false", V(5, kUser)}));
    EXPECT_EQ(selected, (QList<bool>{false, false, false}));
    // Without a list option, or a Link without login, the list is left alone.
    EXPECT_EQ(parseWith("", &selected).first(), V(5, kUser));
    EXPECT_EQ(selected, (QList<bool>{true, false, false}));
}

TEST_F(FormFillerTest, FormWithCardNumberFieldIsSkippedUnlessItIsTheLast) {
    PageModelBuilder page("http://bank.test/");
    page.Form("quick");
    const int card = page.Input("text", "card").ref();
    page.Input("text").Id("can");
    page.Input("password", "pin");
    page.Input("submit").Value("Sign In");
    page.EndForm();
    page.Form("login");
    const int user = page.Input("text", "user").ref();
    const int pass = page.Input("password", "pass").ref();
    const int submit = page.Input("submit").Value("Sign In").ref();
    page.EndForm();
    const DocumentPtr doc = page.Build();
    EXPECT_TRUE(Parse(doc));
    // The card field had the user name written before the form was given up; it stays.
    EXPECT_EQ(Actions(doc), (QStringList{V(card, kUser), V(user, kUser), V(pass, kPass), A("Focus", submit),
                                         A("Click", submit)}));

    // As the only form of the page it is filled like any other.
    PageModelBuilder only("http://bank.test/");
    only.Form("quick");
    only.Input("text", "user");
    only.Input("hidden", "Can");
    only.Input("password", "pin");
    const int go = only.Input("submit").Value("Go").ref();
    only.EndForm();
    const DocumentPtr doc2 = only.Build();
    EXPECT_TRUE(Parse(doc2));
    EXPECT_EQ(Actions(doc2).last(), A("Click", go));
}

TEST_F(FormFillerTest, ImageButtonsAndAnchorsAsTheSubmitControl) {
    const auto image = [](const char* name, const char* alt) {
        return [=](PageModelBuilder& p) { p.Input("image", name).Alt(alt).Src("http://bank.test/go.gif"); };
    };
    // An image before the password that is the only submit control: used once the scan reaches
    // the last element.
    DocumentPtr doc =
        LoginPage([](PageModelBuilder& p) { p.Input("checkbox", "remember"); }, image("go", "Sign in"));
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc),
              (QStringList{V(userField, kUser), V(passField, kPass), A("Focus", 1), A("Click", 1)}));
    // A submit button after the password is preferred.
    int submit = -1;
    doc = LoginPage(
        [&](PageModelBuilder& p) {
            submit = p.Input("submit").Value("Enter").ref();
            p.Input("text", "note");
        },
        image("go", "Sign in"));
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc).mid(2), (QStringList{A("Focus", submit), A("Click", submit)}));
    // An image after the password that does not read as a sign-in is not a submit control.
    doc = LoginPage(image("help", "Help"));
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc).mid(2), (QStringList{A("Focus", passField), "PressEnter"}));

    // A "javascript:submit..." link is the submit control.
    doc = LoginPage(
        [&](PageModelBuilder& p) { submit = p.Anchor("javascript:submitLogin()", "Continue").ref(); });
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc).mid(2), (QStringList{A("Focus", submit), A("Click", submit)}));
    // A sign-in link with an image inside: the image is clicked. A sign-in link before the
    // password is not looked at.
    doc = LoginPage(
        [&](PageModelBuilder& p) {
            auto img = p.Child("IMG").Src("http://bank.test/in.gif").Alt("Sign In");
            p.Anchor("http://bank.test/go", "").FirstChild(img);
            submit = img.ref();
        },
        [](PageModelBuilder& p) { p.Anchor("http://bank.test/in", "Sign in"); });
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc).mid(2), (QStringList{A("Focus", submit), A("Click", submit)}));
    // A sign-up link after the password: the form is submitted through itself at once.
    host.calls.clear();
    doc = LoginPage([](PageModelBuilder& p) {
        p.Anchor("http://bank.test/new", "New here? Sign up");
        p.Input("submit").Value("Sign In");
    });
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc).mid(2), (QStringList{A("Focus", passField), "PressEnter"}));
    EXPECT_EQ(host.calls, (QStringList{"Remember", "Restore"}));
}

TEST_F(FormFillerTest, SsnFieldsTakeTheNumberAndThePasswordGoesToTheNextField) {
    host.ssn = QStringLiteral("123-45-6789");
    PageModelBuilder page("http://bank.test/login");
    page.Form("login");
    const int user = page.Input("text", "user").ref();
    const int byName = page.Input("password", "ssn").ref();
    const int byText = page.Input("password", "number").ParentParentText("Your social security number").ref();
    const int pass = page.Input("password", "pass").ref();
    const int submit = page.Input("submit").Value("Sign In").ref();
    page.EndForm();
    const DocumentPtr doc = page.Build();
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc), (QStringList{V(user, kUser), V(byName, host.ssn), V(byText, host.ssn),
                                         V(pass, kPass), A("Focus", submit), A("Click", submit)}));

    // No SSN, or an SSN that is the password itself: the field is the password field. A name
    // that is not exactly "ssn" and no such text around: not an SSN field.
    for (const auto& [ssn, name, around] : {std::tuple{QString(), "ssn", ""}, std::tuple{kPass, "ssn", ""},
                                            std::tuple{QString("123-45-6789"), "SSN", "PIN"}}) {
        host.ssn = ssn;
        PageModelBuilder p("http://bank.test/login");
        const int field = p.Input("password", name).ParentParentText(around).ref();
        const DocumentPtr d = p.Build();
        EXPECT_FALSE(filler.FillSSNField(d->model().element(field), kPass)) << name << ssn.toStdString();
        EXPECT_TRUE(Actions(d).isEmpty());
    }
}

TEST_F(FormFillerTest, ScriptSubmitAnchorFindsTheFormsSubmitInItsFunction) {
    PageModelBuilder page("http://bank.test/login");
    page.Script("function helper() { x.submit(); }\nfunction sendForm(a) {\n  document.login.submit();\n}\n"
                "function later() {}");
    page.Script("function sendForm( ) { nothing(); }");
    const int anchor = page.Anchor("javascript:sendForm(1)", "Continue").ref();
    const int helper = page.Anchor("javascript:helper()", "Help").ref();
    const int plain = page.Anchor("http://bank.test/x", "X").ref();
    const DocumentPtr doc = page.Build();
    EXPECT_TRUE(FormFiller::IsScriptSubmitAnchor("login", doc->model().element(anchor)));
    EXPECT_TRUE(FormFiller::IsScriptSubmitAnchor("LOGIN", doc->model().element(anchor)));
    EXPECT_FALSE(FormFiller::IsScriptSubmitAnchor("other", doc->model().element(anchor)));
    EXPECT_FALSE(FormFiller::IsScriptSubmitAnchor("login", doc->model().element(helper)));
    EXPECT_FALSE(FormFiller::IsScriptSubmitAnchor("login", doc->model().element(plain)));
}

TEST_F(FormFillerTest, SubmittingThroughTheForm) {
    // An inline onsubmit handler: the password field is focused, the handler called, Enter
    // pressed; the active control is remembered before and given back after.
    const auto build = [](const QString& url, const QString& onsubmit, bool withButton) {
        PageModelBuilder page(url);
        page.Form("login", onsubmit);
        page.Input("text", "user");
        page.Input("password", "pass");
        page.EndForm();
        if (withButton) page.Button(QString::fromUtf8(" Sign\u00a0In "));
        return page.Build();
    };
    DocumentPtr doc = build("http://bank.test/login", "return check(this)", true);
    const int form = doc->forms()[0]->ref();
    EXPECT_TRUE(FormFiller::HasOnSubmitHandler(doc->forms()[0]));
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc).mid(2), (QStringList{A("Focus", 2), A("CallOnSubmit", form), "PressEnter"}));
    EXPECT_EQ(host.calls, (QStringList{"Remember", "Restore"}));

    // On the bank's pages its handler is not called.
    LoginSites bank;
    bank.bankDomain = QStringLiteral("bank.test");
    FormFiller bankFiller(host, bank);
    link.SetPasswordSent(false);
    doc = build("http://www.BANK.test/login", "return check(this)", false);
    EXPECT_TRUE(bankFiller.ParsePage(doc.get(), 2, link));
    EXPECT_EQ(Actions(doc).mid(2), (QStringList{A("Focus", 2), "PressEnter"}));

    // Without a handler, the page's sign-in button (no-break spaces ignored) is clicked.
    doc = build("http://bank.test/login", "", true);
    EXPECT_FALSE(FormFiller::HasOnSubmitHandler(doc->forms()[0]));
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc).mid(2), (QStringList{A("Click", 3)}));

    // Neither: Enter in the password field.
    doc = build("http://bank.test/login", "", false);
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc).mid(2), (QStringList{A("Focus", 2), "PressEnter"}));
    EXPECT_TRUE(link.PasswordSent());
    EXPECT_EQ(link.ProgressValue(), 0);
}

TEST_F(FormFillerTest, DocSubmitLinkIsASignInButtonOrTheFirstChildOfASignInLink) {
    PageModelBuilder page("http://bank.test/");
    page.Button("Search");
    page.Anchor("http://bank.test/help", "Sign in help");
    auto text = page.Child("SPAN").Text("Sign in");
    page.Anchor("http://bank.test/in", "Sign in").FirstChild(text);
    DocumentPtr doc = page.Build();
    DomElement* control = FormFiller::HasDocSubmitLink(doc.get());
    ASSERT_TRUE(control);
    EXPECT_EQ(control->ref(), text.ref());

    PageModelBuilder none("http://bank.test/");
    none.Button("Search");
    none.Anchor("http://bank.test/in", "Sign in"); // a link of text only has no child element
    doc = none.Build();
    EXPECT_EQ(FormFiller::HasDocSubmitLink(doc.get()), nullptr);
}

TEST_F(FormFillerTest, LaterFormWithTextAndPasswordIsPreferred) {
    // A PIN form, then a login form or (second page) a search form.
    const auto page = [](bool login) {
        PageModelBuilder p("http://bank.test/");
        p.Form("pin");
        p.Input("password", "pin");
        p.EndForm();
        p.Form(login ? "login" : "search");
        p.Input("text", login ? "user" : "q");
        if (login) p.Input("password", "pass");
        p.EndForm();
        return p.Build();
    };
    // Refs: 0 form, 1 pin, 2 form, 3 user, 4 pass.
    DocumentPtr doc = page(true);
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc),
              (QStringList{V(1, kPass), V(3, kUser), V(4, kPass), A("Focus", 4), "PressEnter"}));
    // When the next form has no text field, the first one is submitted.
    doc = page(false);
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc), (QStringList{V(1, kPass), A("Focus", 1), "PressEnter"}));
}

TEST_F(FormFillerTest, FramesAreParsedFirstAndAForeignFrameIsLoadedInThePane) {
    // A same-origin frame holding the login.
    PageModelBuilder page("http://bank.test/");
    page.Frame("http://bank.test/menu", "menu",
               [](PageModelBuilder& f) { f.Anchor("http://bank.test/", "Home"); });
    int user = -1;
    page.Frame("http://bank.test/in", "main", [&](PageModelBuilder& f) {
        f.Form("login");
        user = f.Input("text", "user").ref();
        f.Input("password", "pass");
        f.Input("submit").Value("Sign In");
        f.EndForm();
    });
    DocumentPtr doc = page.Build();
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc).first(), V(user, kUser));
    EXPECT_TRUE(link.PasswordSent());
    EXPECT_TRUE(host.calls.isEmpty());

    // A frame of another origin of the site: the pane loads it; the FRAME elements are counted,
    // the frames before it included. A frame of another site is left alone.
    const auto foreignFrame = [](const QString& src) {
        PageModelBuilder foreign("http://bank.test/");
        foreign.Frame("http://bank.test/top", "top", [](PageModelBuilder&) {});
        foreign.CrossOriginFrame(src, "main");
        return foreign.Build();
    };
    EXPECT_FALSE(Parse(foreignFrame("http://login.other.test/form")));
    EXPECT_TRUE(host.calls.isEmpty());
    doc = foreignFrame("http://login.bank.test/form");
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(host.calls, QStringList{"NavigatePane 2 http://login.bank.test/form"});
    EXPECT_FALSE(link.PasswordSent());
    // Not while the user has just stopped navigating.
    host.calls.clear();
    host.stopped = true;
    EXPECT_FALSE(Parse(doc));
    EXPECT_TRUE(host.calls.isEmpty());

    // A document without a body needs nothing.
    PageModelBuilder bare("http://bank.test/");
    bare.NoBody();
    EXPECT_TRUE(Parse(bare.Build()));
}

TEST_F(FormFillerTest, SpecialSiteClicksOnEverySecondParse) {
    LoginSites sites;
    sites.specialSitePrefix = QStringLiteral("http://twice.test/");
    FormFiller twice(host, sites);
    link.SetURL(SecretCipher::EncryptMessage(QStringLiteral("http://twice.test/")));
    const auto page = [&] {
        return LoginPage([](PageModelBuilder& p) { p.Input("submit").Value("Sign In"); }, {},
                         "http://TWICE.test/login");
    };
    DocumentPtr doc = page();
    EXPECT_FALSE(twice.ParsePage(doc.get(), 2, link));
    EXPECT_EQ(host.parseCount, 1);
    EXPECT_EQ(Actions(doc).size(), 2); // filled, not clicked
    EXPECT_TRUE(link.PasswordSent());  // the login decision clears it again
    link.SetPasswordSent(false);
    doc = page();
    EXPECT_TRUE(twice.ParsePage(doc.get(), 2, link));
    EXPECT_EQ(host.parseCount, 2);
    EXPECT_EQ(Actions(doc).last(), "Click #3");
}

TEST_F(FormFillerTest, SignInServicePagesAndItsImage) {
    LoginSites sites;
    sites.signInServiceDomain = QStringLiteral("login.service.test");
    sites.signInImageSrc = QStringLiteral("signin.gif");
    sites.signInImageAlt = QStringLiteral(".NET Passport");
    FormFiller service(host, sites);
    const auto page = [](const QString& url) {
        PageModelBuilder p(url);
        p.Image("http://shop.test/img/logo.gif", "Sign in with .NET Passport");
        p.Image("http://shop.test/img/SignIn.GIF", "Sign in with .net passport");
        p.Form("login");
        p.Input("text", "user");
        p.Input("password", "pass");
        p.EndForm();
        return p.Build();
    };
    // The image whose address and alt text both match is clicked.
    DocumentPtr doc = page("http://shop.test/");
    EXPECT_TRUE(service.ClickSignInImage(doc.get()));
    EXPECT_EQ(Actions(doc), QStringList{"Click #1"});

    // Once it was clicked, pages of other domains are left alone.
    link.SignInServiceUsed = true;
    doc = page("http://shop.test/");
    EXPECT_FALSE(service.ParsePage(doc.get(), 2, link));
    EXPECT_TRUE(Actions(doc).isEmpty());
    doc = page("https://login.service.test/signin");
    EXPECT_TRUE(service.ParsePage(doc.get(), 2, link));

    PageModelBuilder plain("http://shop.test/");
    plain.Image("http://shop.test/signin.gif", "Sign in");
    EXPECT_FALSE(service.ClickSignInImage(plain.Build().get()));
}

TEST_F(FormFillerTest, SignInLogLinesNeverHoldThePassword) {
    App().DiagnosticMode = true;
    const QString folder = core::LogFolder();
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    host.ssn = QString();

    PageModelBuilder page("http://bank.test/login");
    page.Form("login");
    page.Input("text", "user").Id("u");
    // A page that echoes the password into the markup.
    page.Input("password", "pass")
        .Id("p")
        .OuterHtml(
            QStringLiteral("<input type=\"password\" name=\"pass\" id=\"p\" value=\"%1\">").arg(kPass));
    page.Input("button", "b").Value("Next");
    page.Input("submit", "s").Id("go").Value("Sign In");
    page.EndForm();
    EXPECT_TRUE(Parse(page.Build()));

    PageModelBuilder two("http://bank.test/login2");
    two.Form("f2");
    two.Input("password", "id").Id("p1");
    two.Input("password", "pw")
        .Id("p2")
        .OuterHtml(QStringLiteral("<input type=password name=pw id=p2 VALUE=%1>").arg(kPass));
    two.EndForm();
    link.SetPasswordSent(false);
    EXPECT_TRUE(Parse(two.Build()));

    QFile file(folder + "/SignIn.Log");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
    for (QString& line : lines)
        line = line.mid(21); // "yyyy-MM-dd HH:mm:ss  "
    EXPECT_EQ(
        lines,
        (QStringList{
            "ParseDocument Link Url=http://bank.test/login",
            "UserId: u  UserName: user  login  <input type=\"text\" name=\"user\" id=\"u\">",
            "PWId: p  PWName: pass  login  <input type=\"password\" name=\"pass\" id=\"p\" "
            "value=\"********\">",
            "ButtonValue: Next  ButtonName: b  <input type=\"button\" name=\"b\" value=\"Next\">",
            "SubmitId: go  SubmitName: s  <input type=\"submit\" name=\"s\" id=\"go\" value=\"Sign In\">",
            "ParseDocument Link Url=http://bank.test/login",
            "PWId: p1  PWName: id  f2  <input type=\"password\" name=\"id\" id=\"p1\">",
            "**PWId1: p1  UserName: id value=********  <input type=\"password\" name=\"id\" id=\"p1\">",
            "**PWId2: p2  PWName: pw  <input type=password name=pw id=p2 VALUE=\"********\">",
            "Submit link not found, sAction=SendKeys {ENTER}",
        }));
    const QString all = lines.join('\n');
    EXPECT_FALSE(all.contains(kPass));
    App().DiagnosticMode = false;
}

TEST(LoginFormJudgeTest, FormsAreJudgedByWhatAPersonSees) {
    using Kind = LoginFormJudge::Kind;
    // Each form is built from a few fields; the user field and the press control are named.
    struct Case {
        const char* what;
        std::function<void(PageModelBuilder&)> fields;
        Kind kind;
        const char* user;  // name of the field for the user name ("" none)
        const char* press; // the id of the control that sends it ("" none)
        bool ssn = false;
        const char* title = "";
    };
    const auto text = [](PageModelBuilder& p, const char* name) { return p.Input("text", name); };
    const auto pass = [](PageModelBuilder& p, const char* name = "pw") { return p.Input("password", name); };
    const QList<Case> cases = {
        {"a plain login",
         [&](auto& p) {
             text(p, "login");
             pass(p);
             p.Button("Log in").Id("go");
         },
         Kind::Login, "login", "go"},
        {"the field its hint names, not the first",
         [&](auto& p) {
             text(p, "company");
             text(p, "f1").Autocomplete("username");
             pass(p);
             p.Input("submit").Id("go").Value("OK");
         },
         Kind::Login, "f1", "go"},
        {"a search box before the user field",
         [&](auto& p) {
             text(p, "q");
             text(p, "acct");
             pass(p);
             p.Button("Sign in").Id("go");
         },
         Kind::Login, "acct", "go"},
        {"hidden and disabled fields are no fields",
         [&](auto& p) {
             text(p, "trap").Hidden();
             text(p, "user").HtmlType("email");
             pass(p, "old").Hidden();
             pass(p);
             p.Button("Show").Type("button").Id("eye");
             p.Button("Forgot password?").Type("button");
             p.Button("Continue").Id("go").Disabled();
         },
         Kind::Login, "user", "go"},
        {"a new password",
         [&](auto& p) {
             text(p, "email");
             pass(p).Autocomplete("new-password");
         },
         Kind::NotLogin, "", ""},
        {"a password to confirm",
         [&](auto& p) {
             text(p, "user");
             pass(p);
             pass(p, "pw2").Label("Repeat password");
         },
         Kind::NotLogin, "", ""},
        {"three passwords", [&](auto& p) { pass(p, "a"), pass(p, "b"), pass(p, "c"); }, Kind::NotLogin, "",
         ""},
        {"three password fields, one the SSN",
         [&](auto& p) { pass(p, "ssn"), pass(p, "b"), pass(p, "c"), p.Input("submit").Id("go"); },
         Kind::Login, "", "go", true},
        {"personal details", [&](auto& p) { text(p, "first_name"), text(p, "email"), pass(p); },
         Kind::NotLogin, "", ""},
        {"a sign-up control", [&](auto& p) { text(p, "email"), pass(p), p.Button("Create account"); },
         Kind::NotLogin, "", ""},
        {"a sign-up button of its own before the login one",
         [&](auto& p) {
             text(p, "user");
             pass(p);
             p.Button("Sign up").Type("button");
             p.Button("Sign in").Id("go");
         },
         Kind::Login, "user", "go"},
        {"the user name alone, and Next",
         [&](auto& p) { text(p, "identifier").HtmlType("email"), p.Button("Next").Id("go"); },
         Kind::Identifier, "identifier", "go"},
        {"a newsletter box", [&](auto& p) { text(p, "email").HtmlType("email"), p.Button("Subscribe"); },
         Kind::Other, "", ""},
        {"a password reset", [&](auto& p) { text(p, "email").HtmlType("email"), p.Button("Reset password"); },
         Kind::Other, "", ""},
        {"a search box", [&](auto& p) { text(p, "q"), p.Button("Go"); }, Kind::Other, "", ""},
        {"a password change of two fields", [&](auto& p) { pass(p, "current"), pass(p, "newPassword"); },
         Kind::NotLogin, "", ""},
        {"a sign-up page whose control goes on",
         [&](auto& p) { text(p, "email"), pass(p), p.Button("Continue"); }, Kind::NotLogin, "", "", false,
         "Create your account"},
        {"a lost-password page whose control goes on",
         [&](auto& p) { text(p, "email").HtmlType("email"), p.Button("Continue"); }, Kind::Other, "", "",
         false, "Forgot your password?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PageModelBuilder page("http://bank.test/signin", QLatin1String(c.title));
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

TEST_F(FormFillerTest, PagesOfTodayAreSentThroughTheControlAPersonWouldPress) {
    // No <form>: the loose inputs and the div the page made its button.
    PageModelBuilder loose("http://bank.test/login");
    loose.Input("search").Name("q");
    loose.Loose();
    const int u = loose.Input("text", "u").ref();
    const int p = loose.Input("password", "p").ref();
    const int div = loose.Element("DIV").Role("button").Text("Sign in").ref();
    loose.EndForm();
    DocumentPtr doc = loose.Build();
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc), (QStringList{V(u, kUser), V(p, kPass), A("Focus", div), A("Click", div)}));

    // A form without a submit button, whose two fields Enter would not send: its span.
    int span = -1;
    doc = LoginPage([&](PageModelBuilder& pg) {
        pg.Anchor("http://bank.test/help", "Help");
        span = pg.Element("SPAN").TextControl().Text("Log in").ref();
    });
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc).mid(2), (QStringList{A("Focus", span), A("Click", span)}));

    // A submit button sends its form: the sign-in link before it ("Forgot your login?") is
    // not chosen, as the scan of old would.
    int button = -1;
    doc = LoginPage([&](PageModelBuilder& pg) {
        pg.Anchor("http://bank.test/login/forgot", "Forgot your login?");
        button = pg.Button("Continue").ref();
    });
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc).mid(2), (QStringList{A("Focus", button), A("Click", button)}));

    // The hidden copy of a form is passed over for the one shown.
    PageModelBuilder twins("http://bank.test/login");
    for (bool hidden : {true, false}) {
        twins.Form(hidden ? "small" : "large");
        twins.Input("text", "user").Hidden(hidden);
        twins.Input("password", "pass").Hidden(hidden);
        twins.Button("Log in").Hidden(hidden);
        twins.EndForm();
    }
    doc = twins.Build();
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc), (QStringList{V(5, kUser), V(6, kPass), A("Focus", 7), A("Click", 7)}));
}

TEST_F(FormFillerTest, CredentialsGoOnlyToTheLinksSiteAndOnlyIntoLoginForms) {
    const auto login = [](const QString& url) {
        PageModelBuilder page(url);
        page.Form("f");
        page.Input("text", "user");
        page.Input("password", "pass");
        page.Button("Log in");
        page.EndForm();
        return page.Build();
    };
    // Another site and a look-alike name get nothing; another port of the site is the site.
    for (const auto& [url, filled] :
         {std::pair{"http://evil.test/login", false}, std::pair{"http://bank.test.evil.test/", false},
          std::pair{"http://login.bank.test:81/x", true}}) {
        const DocumentPtr doc = login(QLatin1String(url));
        EXPECT_EQ(Parse(doc), filled) << url;
        EXPECT_EQ(Actions(doc).isEmpty(), !filled) << url;
    }
    link.SetURL(SecretCipher::EncryptMessage(QStringLiteral("https://bank.test/login")));
    DocumentPtr doc = login(QStringLiteral("http://www.bank.test/login"));
    EXPECT_FALSE(Parse(doc));
    EXPECT_TRUE(Actions(doc).isEmpty());
    // The Link's also allowed site, and the sign-in service's, may have them.
    link.SetAlsoAllowedSite(QStringLiteral("auth.partner.test"));
    EXPECT_TRUE(Parse(login(QStringLiteral("https://login.partner.test/"))));
    LoginSites sites;
    sites.signInServiceDomain = QStringLiteral("login.service.test");
    FormFiller service(host, sites);
    link.SetPasswordSent(false);
    EXPECT_TRUE(service.ParsePage(login(QStringLiteral("https://login.service.test/")).get(), 2, link));

    // A sign-up form before the login form: only the login form is filled.
    PageModelBuilder both("https://bank.test/");
    both.Form("join");
    both.Input("text", "email");
    both.Input("password", "new").Autocomplete("new-password");
    both.Button("Join");
    both.EndForm();
    both.Form("login");
    const int user = both.Input("text", "user").ref();
    const int pass = both.Input("password", "pass").ref();
    const int go = both.Button("Sign in").ref();
    both.EndForm();
    doc = both.Build();
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc), (QStringList{V(user, kUser), V(pass, kPass), A("Focus", go), A("Click", go)}));
}

TEST_F(FormFillerTest, TheUserNameAloneGoesOnceAsTheFirstOfTwoSteps) {
    const auto first = [] {
        PageModelBuilder page("http://bank.test/signin");
        page.Form("id");
        page.Input("text", "identifier").HtmlType("email").Autocomplete("username");
        page.Button("Next");
        page.EndForm();
        return page.Build();
    };
    DocumentPtr doc = first();
    EXPECT_TRUE(Parse(doc));
    EXPECT_EQ(Actions(doc), (QStringList{V(1, kUser), A("Focus", 2), A("Click", 2)}));
    EXPECT_TRUE(link.IdentifierSent);
    EXPECT_FALSE(link.PasswordSent());
    EXPECT_TRUE(owner.calls.isEmpty());
    // Asked for it again (the site did not take it): not sent twice.
    doc = first();
    EXPECT_FALSE(Parse(doc));
    EXPECT_EQ(Actions(doc), (QStringList{V(1, kUser), V(1, QString())}));
}
