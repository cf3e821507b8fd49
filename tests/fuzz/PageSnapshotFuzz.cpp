// The reader of page snapshots (the JSON the page script hands back from a page that may be
// hostile): a model it accepts holds together, every element it hands out can be walked, and the
// login engine's writes work on it.
#include <unordered_set>

#include "browse/engine/PageModel.h"
#include "Fuzz.h"

static void Walk(DomElement* element, std::unordered_set<const DomElement*>& seen, int depth = 0) {
    Check(depth < 1000);
    if (!element || !seen.insert(element).second) return;
    element->readyState();
    if (element->form()) Check(element->form()->nodeName() == "FORM");
    if (element->ref() >= 0) Check(element->ownerDocument()->model().element(element->ref()) == element);
    for (DomElement* child : element->children() + element->elements())
        Walk(child, seen, depth + 1);
    Walk(element->firstChild(), seen, depth + 1);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QString error;
    const std::shared_ptr<PageModel> model = PageModel::FromJson(Bytes(data, size), &error);
    if (!model) return 0;
    std::unordered_set<const DomElement*> seen;
    for (DomDocument* document : model->documents()) {
        document->protocol();
        document->typeName();
        for (DomElement* element :
             document->forms() + document->all() + document->links() + document->images())
            Walk(element, seen);
        for (const DomFrame& frame : document->frames())
            Check(!frame.document || frame.document->parentDocument() == document);
    }
    for (DomElement* element : model->document()->all()) {
        element->SetValue("x");
        element->SetSelected(true);
        element->Click();
    }
    model->TakeActions();
    return 0;
}
