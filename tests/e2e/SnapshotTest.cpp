// The snapshot of a real page: what the login rules read of its documents and elements.
#include <gtest/gtest.h>

#include "browse/engine/WebEnginePane.h"
#include "e2e/E2eSupport.h"
#include "sites/TestSites.h"

namespace {

using sites::SharedSites;

QString Url(const char* path) {
    return SharedSites().Url(QLatin1String(path));
}

QStringList Names(const QList<DomElement*>& list) {
    QStringList out;
    for (const DomElement* e : list) {
        QString text = e->nodeName();
        if (!e->type().isEmpty()) text += QLatin1Char(':') + e->type();
        if (!e->name().isEmpty())
            text += QLatin1Char(' ') + e->name();
        else if (!e->id().isEmpty())
            text += QLatin1Char('#') + e->id();
        out << text;
    }
    return out;
}

class Snapshot : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_pane = new WebEnginePane(QStringLiteral("snapshot")); }
    static void TearDownTestSuite() { delete s_pane; }
    // The snapshot of a page, read with the Link's own texts (links the rules have no words for
    // are left out otherwise).
    DocumentPtr Load(const QString& url, const QStringList& texts = {}) {
        EventLog log(s_pane);
        s_pane->SetSnapshotTexts(texts);
        const bool loaded = LoadAndWait(*s_pane, log, url);
        s_pane->SetSnapshotTexts({});
        return loaded ? s_pane->Document() : nullptr;
    }
    static WebEnginePane* s_pane;
};

WebEnginePane* Snapshot::s_pane = nullptr;

TEST_F(Snapshot, LoginPageFormsElementsAndDocumentValues) {
    const DocumentPtr doc = Load(Url("/login"));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->URL(), Url("/login"));
    EXPECT_EQ(doc->domain(), "127.0.0.1");
    EXPECT_EQ(doc->protocol(), "HyperText Transfer Protocol");
    EXPECT_EQ(doc->title(), "Sign In - Bramble Test Bank");
    EXPECT_EQ(doc->typeName(), "HTMLDocument");
    EXPECT_TRUE(doc->hasBody() && doc->bodyHasContent() && doc->frames().isEmpty());
    ASSERT_EQ(doc->forms().size(), 1);
    const DomElement* form = doc->forms()[0];
    EXPECT_EQ(form->name(), "login");
    EXPECT_EQ(form->onsubmit(), "");
    EXPECT_EQ(Names(form->elements()),
              (QStringList{"SELECT:select-one realm", "OPTION", "OPTION", "INPUT:text user",
                           "INPUT:password pass", "INPUT:hidden from", "INPUT:submit#signin"}));
    EXPECT_EQ(Names(doc->all()), Names(form->elements()) + QStringList{"A"});
    for (const DomElement* e : form->elements())
        EXPECT_EQ(e->form(), form);
    const DomElement* list = form->elements()[0];
    ASSERT_EQ(list->children().size(), 2);
    EXPECT_EQ(list->children()[1]->innerText(), "Business");
    EXPECT_TRUE(list->children()[0]->selected() && !list->children()[1]->selected());
    EXPECT_EQ(list->value(), "p");
    const DomElement* user = form->elements()[3];
    EXPECT_EQ(user->outerHTML(), "<input type=\"text\" name=\"user\" id=\"user\">");
    EXPECT_EQ(user->parentParentText(), ""); // read for password fields only
    EXPECT_TRUE(form->elements()[4]->parentParentText().contains("Password")); // the table row
    EXPECT_EQ(form->elements()[6]->value(), "Sign In");
    ASSERT_EQ(doc->links().size(), 1);
    EXPECT_EQ(doc->links()[0]->innerText(), "Help with signing in");
    EXPECT_EQ(doc->links()[0]->href(), Url("/help"));
    EXPECT_EQ(doc->links()[0]->hostname(), "127.0.0.1");
}

TEST_F(Snapshot, PlainPageAnchorsImagesButtonsAndScripts) {
    EXPECT_EQ(Names(Load(Url("/plain"))->links()), (QStringList{"A#pic", "A#script"})); // no text; "Log in"
    const DocumentPtr doc = Load(Url("/plain"), {"welcome", "Go to accounts", "Anchor"});
    ASSERT_TRUE(doc);
    // The anchor without href is in all() but not in links().
    EXPECT_EQ(Names(doc->links()), (QStringList{"A#first", "A#pic", "A#script"}));
    EXPECT_EQ(Names(doc->getElementsByTagName("a")),
              (QStringList{"A#first", "A#pic", "A#script", "A anchor-only"}));
    const DomElement* pic = doc->getElementById("pic");
    ASSERT_TRUE(pic && pic->firstChild());
    EXPECT_EQ(pic->childElementCount(), 1);
    EXPECT_EQ(pic->firstChild()->alt(), "Go to accounts");
    EXPECT_TRUE(pic->innerHTML().startsWith("<img"));
    const DomElement* first = doc->getElementById("first");
    ASSERT_TRUE(first && first->firstChild());
    EXPECT_TRUE(first->firstChild()->isText());
    EXPECT_EQ(first->innerHTML(), "Welcome"); // sent once, as its text
    EXPECT_EQ(doc->getElementById("script")->hostname(), "doLogin()");
    ASSERT_EQ(doc->images().size(), 2);
    EXPECT_EQ(doc->images()[0]->readyState(), "complete");
    EXPECT_EQ(doc->images()[0]->src(), Url("/img/dot.gif"));
    EXPECT_EQ(doc->images()[1]->readyState(), "loading");
    const DomElement* button = doc->getElementById("btn");
    ASSERT_TRUE(button);
    EXPECT_EQ(button->type(), "submit");
    EXPECT_EQ(button->innerText(), QStringLiteral("Sign\u00a0In"));
    EXPECT_EQ(button->onclick(), "go()");
    ASSERT_EQ(doc->scripts().size(), 1);
    EXPECT_TRUE(doc->scripts()[0].contains("function doLogin() { document.forms[0].submit(); }"));
}

TEST_F(Snapshot, SameOriginFramesAreReadAndCrossOriginFramesAreMarked) {
    const DocumentPtr doc = Load(Url("/iframes"), {"/plain"}); // the frames' links lead there
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->frames().size(), 3);
    const DomFrame& same = doc->frames()[0];
    EXPECT_EQ(same.name, "same");
    ASSERT_TRUE(same.document);
    EXPECT_EQ(same.document->URL(), Url("/frame-left"));
    EXPECT_EQ(same.document->parentDocument(), doc.get());
    ASSERT_EQ(same.document->forms().size(), 1);
    EXPECT_EQ(same.document->forms()[0]->ownerDocument(), same.document);
    EXPECT_EQ(same.element->nodeName(), "IFRAME");
    EXPECT_TRUE(doc->all().contains(same.element));
    EXPECT_FALSE(doc->frames()[1].document);
    EXPECT_EQ(doc->frames()[1].src, SharedSites().OtherUrl("/frame-right"));
    const DomFrame& nest = doc->frames()[2];
    ASSERT_TRUE(nest.document && nest.document->frames().size() == 1 && nest.document->frames()[0].document);
    EXPECT_EQ(nest.document->frames()[0].document->forms().size(), 1);
    EXPECT_EQ(nest.document->links().size(), 1);
    // The top document's own lists hold only its own elements.
    EXPECT_EQ(doc->forms().size(), 0);
    EXPECT_EQ(doc->links().size(), 1);
    EXPECT_EQ(doc->model().documents().size(), 4u);

    const DocumentPtr frameset = Load(Url("/frames"));
    ASSERT_TRUE(frameset && frameset->hasBody());
    EXPECT_EQ(Names(frameset->getElementsByTagName("FRAME")), (QStringList{"FRAME left", "FRAME right"}));
    ASSERT_EQ(frameset->frames().size(), 2);
    ASSERT_TRUE(frameset->frames()[0].document);
    EXPECT_EQ(frameset->frames()[0].document->forms().size(), 1);
    EXPECT_FALSE(frameset->frames()[1].document);
}

TEST_F(Snapshot, ValuesAsTheProgramReadsThem) {
    SharedSites().AddPage(QStringLiteral("/t/values"), QStringLiteral(R"(<!DOCTYPE html>
<html><head><title>Values</title></head><body>
<form name="f1" onsubmit="return check(this);"><INPUT TYPE="Password" NAME="pw" value="typed">
<a href="/signin">
   <img src="/img/dot.gif" alt="Sign In"></a>
<span><b><input type="text" name="ssn"></b></span><div style="display:none">Social Security Number</div>
<select name="multi" multiple><option selected>A</option><option selected>B</option></select>
<textarea name="note">Some note</textarea>
</form>
<form name="f2" id="f2"><input type="checkbox" name="c"></form>
<img src="/img/dot.gif" alt="x"><input type="image" name="go" form="f2" alt="Go">
</body></html>)"));
    const DocumentPtr doc = Load(Url("/t/values"));
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->forms().size(), 2);
    const DomElement* f1 = doc->forms()[0];
    EXPECT_EQ(f1->onsubmit(), "function anonymous() { return check(this); }");
    EXPECT_EQ(Names(f1->elements()),
              (QStringList{"INPUT:password pw", "A", "IMG", "INPUT:text ssn", "SELECT:select-multiple multi",
                           "OPTION", "OPTION", "TEXTAREA:textarea note"}));
    EXPECT_EQ(f1->elements()[0]->value(), "typed");
    // Whitespace before the image does not count as the anchor's first child.
    EXPECT_EQ(f1->elements()[1]->firstChild(), f1->elements()[2]);
    EXPECT_EQ(f1->elements()[7]->value(), "Some note");
    EXPECT_TRUE(f1->elements()[5]->selected() && f1->elements()[6]->selected());
    // An image button tied to its form by a form attribute is one of the form's.
    EXPECT_EQ(Names(doc->forms()[1]->elements()), (QStringList{"INPUT:checkbox c", "INPUT:image go"}));
    EXPECT_EQ(doc->images().size(), 2);
}

} // namespace
