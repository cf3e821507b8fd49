// Feeds arbitrary text to the reader of page snapshots (the JSON the page script hands back from
// a page that may be hostile): it never crashes, and a model it accepts holds together: every
// element and document it hands out can be walked, and the writes of the login engine work on it.
#include <cstdint>
#include <cstdlib>
#include <unordered_set>

#include "browse/engine/PageModel.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void walk(DomElement* element, std::unordered_set<const DomElement*>& seen, int depth) {
    check(depth < 1000);
    if (!element || !seen.insert(element).second) return;
    element->readyState();
    if (element->form()) check(element->form()->nodeName() == QLatin1String("FORM"));
    if (element->ref() >= 0) check(element->ownerDocument()->model().element(element->ref()) == element);
    for (DomElement* child : element->children())
        walk(child, seen, depth + 1);
    for (DomElement* inner : element->elements())
        walk(inner, seen, depth + 1);
    walk(element->firstChild(), seen, depth + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QString error;
    const std::shared_ptr<PageModel> model =
        PageModel::FromJson(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), &error);
    if (!model) return 0;
    check(model->document() != nullptr);
    std::unordered_set<const DomElement*> seen;
    for (DomDocument* document : model->documents()) {
        document->protocol();
        document->typeName();
        for (const QList<DomElement*>* list :
             {&document->forms(), &document->all(), &document->links(), &document->images()})
            for (DomElement* element : *list)
                walk(element, seen, 0);
        for (const DomFrame& frame : document->frames())
            if (frame.document) check(frame.document->parentDocument() == document);
        document->getElementById(QStringLiteral("user"));
    }
    // What the login engine does to a page.
    for (DomElement* element : model->document()->all()) {
        element->SetValue(QStringLiteral("x"));
        element->SetSelected(true);
        element->Click();
    }
    model->TakeActions();
    return 0;
}
