#include <gtest/gtest.h>

#include "support/PageModelBuilder.h"
#include "support/TestSupport.h"

namespace {

// A login page with a search form first and a frame holding a second form.
DocumentPtr BankPage() {
    PageModelBuilder page("https://bank.test/signin", "Sign In");
    page.Form("search");
    page.Input("text", "q");
    page.EndForm();
    page.Form("login", "return check(this);").Id("lf");
    page.Select("realm", {"Personal", "Business"});
    page.Input("TEXT", "user").Id("u");
    page.Input("password", "pw");
    page.Anchor("javascript:doLogin()", QString()).FirstChild(page.Child("img").Alt("Sign in"));
    page.EndForm();
    page.Image("https://bank.test/logo.gif", "Logo");
    page.Image("https://bank.test/slow.gif", QString(), false);
    page.Frame("https://bank.test/side", "side", [](PageModelBuilder& frame) {
        frame.Form("inner");
        frame.Input("password", "pin");
        frame.EndForm();
    });
    page.CrossOriginFrame("https://ads.test/banner", "ad");
    return page.Build(7);
}

TEST(PageModel, TheEmptyPageKeepsItsModelAlive) {
    auto model = PageModel::Empty(QStringLiteral("about:blank"), 3);
    const std::weak_ptr<PageModel> weak = model;
    DocumentPtr empty = model->documentPtr();
    model.reset(); // the document alone holds it now
    EXPECT_TRUE(!weak.expired() && empty->hasBody() && empty->isHtml() && empty->all().isEmpty());
    empty.reset();
    EXPECT_TRUE(weak.expired());
}

TEST(PageModel, WritesAreSeenAtOnceAndRecordedInOrderWithoutTheirText) {
    const DocumentPtr doc = BankPage();
    int notified = 0;
    doc->model().SetActionListener([&] { ++notified; });
    DomElement* login = doc->forms()[1];
    DomElement* list = login->elements()[0];
    login->elements()[3]->SetValue(QStringLiteral("alice"));
    EXPECT_EQ(login->elements()[3]->value(), "alice");
    // Selecting in a single-choice list deselects the others and moves the list's value.
    list->children()[1]->SetSelected(true);
    EXPECT_FALSE(list->children()[0]->selected());
    EXPECT_EQ(list->value(), "Business");
    for (DomElement* option : list->children())
        option->SetSelected(false);
    EXPECT_EQ(list->value(), "");
    list->FireChange();
    doc->images()[1]->SetSrc(doc->images()[1]->src());
    login->elements()[4]->Focus();
    login->CallOnSubmit();
    doc->PressEnter();
    doc->frames()[0].document->forms()[0]->elements()[0]->SetValue(QStringLiteral("1234"));
    login->elements()[5]->Click();
    doc->Navigate(QStringLiteral("https://bank.test/next"));
    EXPECT_EQ(notified, 1); // once, for the first action of a batch
    const QList<PageAction> actions = doc->model().TakeActions();
    // What logs show names the element, never the written text. References count forms and the
    // anchor's image too (0 search, 1 q, 2 login, 3 list, 4-5 options, 6 user, 7 pw, 8 anchor,
    // 9 its image, 10-11 images, 12 frame, 13 inner, 14 pin).
    QStringList described;
    for (const PageAction& a : actions)
        described << a.Describe();
    EXPECT_EQ(described,
              (QStringList{"SetValue #6", "SetSelected #5 true", "SetSelected #4 false",
                           "SetSelected #5 false", "FireChange #3", "SetSrc #11", "Focus #7",
                           "CallOnSubmit #2", "PressEnter", "SetValue #14", "Click #8", "Navigate"}));
    EXPECT_EQ(actions[0].text, "alice");
    EXPECT_TRUE(doc->model().pendingActions().isEmpty());
    doc->PressEnter();
    EXPECT_EQ(notified, 2);
}

TEST(PageModel, MalformedSnapshotsAreRefusedOrTrimmed) {
    QString error;
    for (const char* broken :
         {"not json", "[1,2]", R"({"gen":1,"els":[]})", "", R"({"gen":1,"els":[{"t":"A"}],"doc":{"u":"x")",
          R"({"gen":1,"doc":{"u":"\q"}})", R"({"gen":1,"doc":{"u":"x"}} trailing)",
          R"({"gen":1,"doc":{"u":"\u12"}})"})
        EXPECT_FALSE(PageModel::FromJson(QByteArray(broken), &error)) << broken;
    QByteArray deep = R"({"doc":{"u":"x"},"extra":)";
    deep += QByteArray(100, '[') + QByteArray(100, ']') + "}";
    EXPECT_FALSE(PageModel::FromJson(deep));
    // References outside the element table are left out rather than trusted; only a SELECT has
    // children and only a FORM members, and every element has its document.
    const auto model = PageModel::FromJson(
        R"({"gen":2,"els":[{"t":"SELECT","fc":99,"ch":[5,0]},{"t":"A","ch":[0],"fe":[0]},{"t":"INPUT"}],)"
        R"("doc":{"u":"http://x.test/","b":1,"all":[0,1,42,-1],"links":[7]}})");
    ASSERT_TRUE(model);
    EXPECT_EQ(model->document()->all().size(), 2);
    EXPECT_TRUE(model->document()->links().isEmpty());
    EXPECT_EQ(model->element(0)->firstChild(), nullptr);
    EXPECT_EQ(model->element(0)->children().size(), 1);
    EXPECT_TRUE(model->element(1)->children().isEmpty());
    EXPECT_EQ(model->element(2)->ownerDocument(), model->document());
    EXPECT_EQ(model->element(5), nullptr);
    // A value of the wrong kind (a page that made a form's id an element) costs that value.
    const auto clobbered = PageModel::FromJson(
        R"({"gen":3,"els":[{"t":"FORM","i":{},"n":["x"],"fe":[1]},{"t":"INPUT","ty":"text","n":"id"}],)"
        R"("doc":{"u":"http://x.test/","b":1,"all":[1],"forms":[0]}})");
    ASSERT_TRUE(clobbered);
    EXPECT_EQ(clobbered->element(0)->id(), QString());
    EXPECT_EQ(clobbered->element(0)->elements().size(), 1);
}

TEST(PageModel, SnapshotFieldsAndTheImplicitForm) {
    // Escapes as the engine writes them, text outside Latin-1, inputs outside any form, a frame.
    const QString json = QStringLiteral(
        R"( {"gen":4,"els":[{"t":"A","tx":"Caf\u00e9 \"q\"\nnext","ft":"  x\\y","h":"http://x.test/a?b=1&c=2"},)"
        R"({"t":"INPUT","ty":"password","gp":0,"v":"\u263a","dis":1},{"t":"IFRAME","s":"http://x.test/f"},)"
        R"({"t":"INPUT","ty":"text","ht":"email","ac":"username","lb":"Email","hid":0},)"
        R"({"t":"DIV","ro":"button","tx":"Go","cx":1,"hid":1}],"texts":["Social Security \u2116"],)"
        R"("doc":{"u":"http://x.test/","b":1,"all":[0,1,2,3,4],"links":[0],"ifm":{"fe":[3,1,4]},)"
        R"("frames":[{"n":"f","s":"http://x.test/f","el":2,"d":{"u":"http://x.test/f","b":0,"unknown":[1,{"a":null}]}}]}} )");
    const auto model = PageModel::FromJson(QStringView(json));
    ASSERT_TRUE(model);
    const DomElement* a = model->element(0);
    EXPECT_EQ(a->innerText(), QStringLiteral("Caf\u00e9 \"q\"\nnext"));
    ASSERT_TRUE(a->firstChild() && a->firstChild()->isText());
    EXPECT_EQ(a->firstChild()->innerText(), "  x\\y");
    EXPECT_EQ(a->href(), "http://x.test/a?b=1&c=2");
    EXPECT_EQ(model->element(1)->value(), QStringLiteral("\u263a"));
    EXPECT_EQ(model->element(1)->parentParentText(), QStringLiteral("Social Security \u2116"));
    ASSERT_TRUE(model->document()->frames()[0].document);
    EXPECT_FALSE(model->document()->frames()[0].document->hasBody());
    a->firstChild()->Click(); // a text node records nothing
    EXPECT_TRUE(model->pendingActions().isEmpty());

    ASSERT_EQ(model->document()->forms().size(), 1);
    const DomElement* implicit = model->document()->forms()[0];
    EXPECT_TRUE(implicit->isImplicitForm());
    EXPECT_EQ(implicit->ref(), -1);
    ASSERT_EQ(implicit->elements().size(), 3);
    const DomElement* user = implicit->elements()[0];
    EXPECT_EQ(user->form(), implicit);
    EXPECT_EQ(user->type() + user->htmlType() + user->autocomplete() + user->label(),
              "textemailusernameEmail");
    EXPECT_TRUE(user->shown() && !user->disabled() && implicit->elements()[1]->disabled());
    EXPECT_TRUE(implicit->elements()[2]->isTextControl() && !implicit->elements()[2]->shown());
    EXPECT_EQ(implicit->elements()[2]->role(), "button");
}

} // namespace
