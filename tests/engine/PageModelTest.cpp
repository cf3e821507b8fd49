#include <gtest/gtest.h>

#include "support/TestSupport.h"

#include "browse/engine/PageModelBuilder.h"

namespace {

QStringList Kinds(const QList<PageAction>& actions) {
    QStringList out;
    for (const PageAction& a : actions)
        out << a.Describe();
    return out;
}

// A login page with a search form first and a frame holding a second form.
DocumentPtr BankPage() {
    PageModelBuilder page(QStringLiteral("https://bank.test/signin"), QStringLiteral("Sign In"));
    page.Form(QStringLiteral("search"));
    page.Input(QStringLiteral("text"), QStringLiteral("q"));
    page.EndForm();
    page.Form(QStringLiteral("login"), QStringLiteral("return check(this);")).Id(QStringLiteral("lf"));
    page.Select(QStringLiteral("realm"), {QStringLiteral("Personal"), QStringLiteral("Business")});
    page.Input(QStringLiteral("TEXT"), QStringLiteral("user"))
        .Id(QStringLiteral("u"))
        .ParentParentText(QStringLiteral("User"));
    page.Input(QStringLiteral("password"), QStringLiteral("pw"));
    auto signIn = page.Anchor(QStringLiteral("javascript:doLogin()"), QString());
    signIn.FirstChild(page.Child(QStringLiteral("img")).Alt(QStringLiteral("Sign in")));
    page.EndForm();
    page.Image(QStringLiteral("https://bank.test/logo.gif"), QStringLiteral("Logo"));
    page.Image(QStringLiteral("https://bank.test/slow.gif"), QString(), false);
    page.Script(QStringLiteral("function doLogin() { document.login.submit(); }"));
    page.Frame(QStringLiteral("https://bank.test/side"), QStringLiteral("side"), [](PageModelBuilder& frame) {
        frame.Form(QStringLiteral("inner"));
        frame.Input(QStringLiteral("password"), QStringLiteral("pin"));
        frame.EndForm();
    });
    page.CrossOriginFrame(QStringLiteral("https://ads.test/banner"), QStringLiteral("ad"));
    return page.Build(7);
}

TEST(PageModel, BuiltPageReadsAsTheSnapshotWould) {
    const DocumentPtr doc = BankPage();
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->generation(), 7);
    EXPECT_EQ(doc->URL(), "https://bank.test/signin");
    EXPECT_EQ(doc->domain(), "bank.test");
    EXPECT_EQ(doc->protocol(), "HyperText Transfer Protocol with Privacy");
    EXPECT_EQ(doc->typeName(), "HTMLDocument");

    ASSERT_EQ(doc->forms().size(), 2);
    const DomElement* login = doc->forms()[1];
    EXPECT_EQ(login->name(), "login");
    EXPECT_EQ(login->onsubmit(), "function anonymous() { return check(this); }");
    EXPECT_EQ(doc->forms()[0]->onsubmit(), "");
    QStringList names;
    for (const DomElement* e : login->elements())
        names << e->nodeName() + QLatin1Char(' ') + e->type();
    EXPECT_EQ(names,
              (QStringList{"SELECT select-one", "OPTION ", "OPTION ", "INPUT text", "INPUT password", "A "}));
    // q, the list and its options, user, pw, the anchor, two images, two frames (not the
    // anchor's image, which is only its child).
    EXPECT_EQ(doc->all().size(), 11);
    EXPECT_EQ(doc->getElementById("u")->parentParentText(), "User");
    EXPECT_EQ(doc->getElementById("u")->form(), login);
    EXPECT_EQ(doc->getElementById("lf"), login);

    const DomElement* anchor = login->elements()[5];
    EXPECT_EQ(anchor->hostname(), "doLogin()");
    ASSERT_TRUE(anchor->firstChild());
    EXPECT_EQ(anchor->firstChild()->alt(), "Sign in");
    EXPECT_EQ(anchor->childElementCount(), 1);
    EXPECT_TRUE(anchor->outerHTML().contains("<img alt=\"Sign in\">")) << anchor->outerHTML().toStdString();

    ASSERT_EQ(doc->images().size(), 2);
    EXPECT_EQ(doc->images()[0]->readyState(), "complete");
    EXPECT_EQ(doc->images()[1]->readyState(), "loading");
    EXPECT_EQ(doc->scripts().size(), 1);

    ASSERT_EQ(doc->frames().size(), 2);
    ASSERT_TRUE(doc->frames()[0].document);
    EXPECT_EQ(doc->frames()[0].document->forms()[0]->elements()[0]->ownerDocument(),
              doc->frames()[0].document);
    EXPECT_EQ(doc->frames()[0].document->parentDocument(), doc.get());
    EXPECT_FALSE(doc->frames()[1].document);
    EXPECT_EQ(doc->frames()[1].src, "https://ads.test/banner");
    EXPECT_EQ(doc->model().documents().size(), 2u);
}

TEST(PageModel, ProtocolsAndDocumentTypes) {
    const auto protocol = [](const char* url) {
        return PageModelBuilder(QLatin1String(url)).Build()->protocol();
    };
    EXPECT_EQ(protocol("http://a.test/"), "HyperText Transfer Protocol");
    EXPECT_EQ(protocol("HTTPS://a.test/"), "HyperText Transfer Protocol with Privacy");
    EXPECT_EQ(protocol("file:///tmp/x.html"), "File Protocol");
    EXPECT_EQ(protocol("about:blank"), "Unknown Protocol");
    EXPECT_EQ(protocol("ftp://a.test/"), "Unknown Protocol");

    PageModelBuilder pdf(QStringLiteral("http://a.test/x.pdf"));
    pdf.ContentType(QStringLiteral("application/pdf"));
    EXPECT_FALSE(pdf.Build()->isHtml());
    EXPECT_EQ(pdf.Build()->typeName(), "PDFDocument");
    PageModelBuilder bare(QStringLiteral("http://a.test/"));
    bare.NoBody();
    EXPECT_FALSE(bare.Build()->hasBody());

    // The empty page: no elements; the document keeps its model alive.
    auto model = PageModel::Empty(QStringLiteral("about:blank"), 3);
    DocumentPtr empty = model->documentPtr();
    EXPECT_EQ(empty->URL(), "about:blank");
    EXPECT_TRUE(empty->hasBody() && empty->isHtml() && empty->all().isEmpty());
    EXPECT_EQ(empty->generation(), 3);
    const std::weak_ptr<PageModel> weak = model;
    model.reset();
    EXPECT_FALSE(weak.expired());
    empty.reset();
    EXPECT_TRUE(weak.expired());
}

TEST(PageModel, WritesAreSeenAtOnceAndRecordedInOrder) {
    const DocumentPtr doc = BankPage();
    int notified = 0;
    doc->model().SetActionListener([&] { ++notified; });
    DomElement* login = doc->forms()[1];
    DomElement* list = login->elements()[0];
    DomElement* user = login->elements()[3];

    user->SetValue(QStringLiteral("alice"));
    EXPECT_EQ(user->value(), "alice");
    // Selecting in a single-choice list deselects the others and moves the list's value.
    list->children()[1]->SetSelected(true);
    EXPECT_FALSE(list->children()[0]->selected());
    EXPECT_TRUE(list->children()[1]->selected());
    EXPECT_EQ(list->value(), "Business");
    // Deselecting every option leaves nothing selected.
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
    // The descriptions (what logs show) name the element, never the written text.
    // References: forms and the anchor's child image count too (0 search, 1 q, 2 login, 3 list,
    // 4-5 options, 6 user, 7 pw, 8 anchor, 9 its image, 10-11 images, 12 frame, 13 inner, 14 pin).
    EXPECT_EQ(Kinds(actions),
              (QStringList{"SetValue #6", "SetSelected #5 true", "SetSelected #4 false",
                           "SetSelected #5 false", "FireChange #3", "SetSrc #11", "Focus #7",
                           "CallOnSubmit #2", "PressEnter", "SetValue #14", "Click #8", "Navigate"}));
    EXPECT_EQ(actions[0].text, "alice");
    EXPECT_EQ(actions.last().text, "https://bank.test/next");
    EXPECT_TRUE(doc->model().pendingActions().isEmpty());
    doc->PressEnter();
    EXPECT_EQ(notified, 2);
}

TEST(PageModel, MalformedSnapshotsAreRefused) {
    QString error;
    EXPECT_FALSE(PageModel::FromJson("not json", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(PageModel::FromJson("[1,2]", &error));
    EXPECT_FALSE(PageModel::FromJson(R"({"gen":1,"els":[]})", &error));
    EXPECT_EQ(error, "no document");
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
    EXPECT_EQ(model->element(0)->form(), nullptr);
    EXPECT_EQ(model->element(2)->ownerDocument(), model->document());
    EXPECT_EQ(model->element(5), nullptr);
}

TEST(PageModel, SnapshotTextIsReadExactly) {
    // Escapes as the engine writes them, text outside Latin-1, a nested frame document.
    const QString json = QStringLiteral(
        R"( {"gen":4,"els":[{"t":"A","tx":"Caf\u00e9 \"quoted\"\nnext","ft":"  x\\y","h":"http://x.test/a?b=1&c=2"},)"
        R"({"t":"INPUT","ty":"password","gp":0,"v":"\u263a"},{"t":"IFRAME","s":"http://x.test/f"}],)"
        R"("texts":["Social Security \u2116"],"doc":{"u":"http://x.test/","b":1,"all":[0,1,2],"links":[0],)"
        R"("frames":[{"n":"f","s":"http://x.test/f","el":2,"d":{"u":"http://x.test/f","b":0,"unknown":[1,{"a":null}]}}]}} )");
    const auto model = PageModel::FromJson(QStringView(json));
    ASSERT_TRUE(model);
    const DomElement* a = model->element(0);
    EXPECT_EQ(a->innerText(), QStringLiteral("Caf\u00e9 \"quoted\"\nnext"));
    ASSERT_TRUE(a->firstChild());
    EXPECT_TRUE(a->firstChild()->isText());
    EXPECT_EQ(a->firstChild()->innerText(), "  x\\y");
    EXPECT_EQ(a->firstChild()->ref(), -1);
    EXPECT_EQ(a->href(), "http://x.test/a?b=1&c=2");
    EXPECT_EQ(model->element(1)->value(), QStringLiteral("\u263a"));
    EXPECT_EQ(model->element(1)->parentParentText(), QStringLiteral("Social Security \u2116"));
    EXPECT_EQ(model->element(3), nullptr); // the text node has no reference
    ASSERT_EQ(model->document()->frames().size(), 1);
    ASSERT_TRUE(model->document()->frames()[0].document);
    EXPECT_FALSE(model->document()->frames()[0].document->hasBody());
    // Writes to a text node record nothing.
    a->firstChild()->Click();
    EXPECT_TRUE(model->pendingActions().isEmpty());

    for (const char* broken :
         {"", R"({"gen":1,"els":[{"t":"A"}],"doc":{"u":"x")", R"({"gen":1,"doc":{"u":"\q"}})",
          R"({"gen":1,"doc":{"u":"x"}} trailing)", R"({"gen":1,"doc":{"u":"\u12"}})"}) {
        EXPECT_FALSE(PageModel::FromJson(QByteArray(broken))) << broken;
    }
    QByteArray deep = R"({"doc":{"u":"x"},"extra":)";
    deep += QByteArray(100, '[') + QByteArray(100, ']') + "}";
    EXPECT_FALSE(PageModel::FromJson(deep));
}

} // namespace
