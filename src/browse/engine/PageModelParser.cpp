#include "browse/engine/PageModel.h"

#include "browse/engine/SnapshotJsonReader.h"

// Turns the page script's snapshot (JSON) into a PageModel: the elements first, by reference,
// then the documents and frames, and at the end the references become pointers.

namespace {

// A document as read, before its references become pointers.
struct RawDocument {
    QString url, domain, title, contentType;
    bool hasBody = false, bodyContent = false;
    QList<int> all, forms, links, images;
    QStringList scripts;
    // The implicit form: its members, and its place among the model's elements once made.
    QList<int> looseMembers;
    bool hasLoose = false;
    int looseForm = -1;
    struct Frame {
        QString name, src;
        int element = -1;
        std::unique_ptr<RawDocument> document;
    };
    std::vector<Frame> frames;
};

// References of one element, resolved once every element has its place.
struct RawLinks {
    int firstChild = -1; // snapshot reference
    int textChild = -1;  // index of a text node made for it
    int parentText = -1;
    QList<int> children;
    QList<int> formElements;
};

constexpr int kMaxFrameDepth = 32;

} // namespace

struct PageModel::Parser {
    SnapshotJsonReader in;
    PageModel& model;
    std::vector<RawLinks> links;
    QStringList texts;
    std::vector<std::pair<size_t, QString>> firstTexts; // element index, text of its first child
    int tableSize = 0;                                  // elements the snapshot refers to

    void Element() {
        DomElement e;
        RawLinks r;
        QString firstText;
        bool hasFirstText = false, firstIsText = false, hasInner = false;
        int complete = -1;
        in.Object([&](QStringView key) {
            if (key == QLatin1String("t"))
                e.m_nodeName = in.Text();
            else if (key == QLatin1String("i"))
                e.m_id = in.Text();
            else if (key == QLatin1String("n"))
                e.m_name = in.Text();
            else if (key == QLatin1String("ty"))
                e.m_type = in.Text();
            else if (key == QLatin1String("v"))
                e.m_value = in.Text();
            else if (key == QLatin1String("tx"))
                e.m_innerText = in.Text();
            else if (key == QLatin1String("ih")) {
                e.m_innerHTML = in.Text();
                hasInner = true;
            } else if (key == QLatin1String("oh"))
                e.m_outerHTML = in.Text();
            else if (key == QLatin1String("h"))
                e.m_href = in.Text();
            else if (key == QLatin1String("hn"))
                e.m_hostname = in.Text();
            else if (key == QLatin1String("al"))
                e.m_alt = in.Text();
            else if (key == QLatin1String("s"))
                e.m_src = in.Text();
            else if (key == QLatin1String("oc"))
                e.m_onclick = in.Text();
            else if (key == QLatin1String("os"))
                e.m_onsubmit = in.Text();
            else if (key == QLatin1String("sel"))
                e.m_selected = in.Int() != 0;
            else if (key == QLatin1String("ck"))
                complete = in.Int();
            else if (key == QLatin1String("cc"))
                e.m_childCount = in.Int();
            else if (key == QLatin1String("fc"))
                r.firstChild = in.Int();
            else if (key == QLatin1String("gp"))
                r.parentText = in.Int();
            else if (key == QLatin1String("ch"))
                r.children = in.IntArray();
            else if (key == QLatin1String("fe"))
                r.formElements = in.IntArray();
            else if (key == QLatin1String("ht"))
                e.m_htmlType = in.Text();
            else if (key == QLatin1String("ac"))
                e.m_autocomplete = in.Text();
            else if (key == QLatin1String("ph"))
                e.m_placeholder = in.Text();
            else if (key == QLatin1String("lb"))
                e.m_label = in.Text();
            else if (key == QLatin1String("ro"))
                e.m_role = in.Text();
            else if (key == QLatin1String("hid"))
                e.m_hidden = in.Int() != 0;
            else if (key == QLatin1String("dis"))
                e.m_disabled = in.Int() != 0;
            else if (key == QLatin1String("rdo"))
                e.m_readOnly = in.Int() != 0;
            else if (key == QLatin1String("cx"))
                e.m_textControl = in.Int() != 0;
            else if (key == QLatin1String("ft")) {
                firstText = in.Text();
                hasFirstText = true;
            } else if (key == QLatin1String("fx"))
                firstIsText = in.Int() != 0;
            else
                in.SkipValue();
        });
        if (e.m_nodeName == QLatin1String("IMG")) e.m_complete = complete > 0;
        // The snapshot leaves out what equals the element's text: the markup of an anchor or
        // a button that is text alone, and a first child that is all of it.
        if (!hasInner && (e.m_nodeName == QLatin1String("A") || e.m_nodeName == QLatin1String("AREA") ||
                          e.m_nodeName == QLatin1String("BUTTON")))
            e.m_innerHTML = e.m_innerText;
        if (firstIsText && !hasFirstText) {
            firstText = e.m_innerText;
            hasFirstText = true;
        }
        e.m_ref = int(model.m_elements.size());
        if (hasFirstText) firstTexts.emplace_back(model.m_elements.size(), firstText);
        model.m_elements.push_back(std::move(e));
        links.push_back(std::move(r));
    }

    // Text nodes that are some element's first child become elements of their own, after the
    // snapshot's (whose positions are their references).
    void AddTextNodes() {
        tableSize = int(model.m_elements.size());
        for (auto& [owner, text] : firstTexts) {
            DomElement node;
            node.m_nodeName = QStringLiteral("#text");
            node.m_innerText = std::move(text);
            links[owner].textChild = int(model.m_elements.size());
            model.m_elements.push_back(std::move(node));
            links.emplace_back();
        }
    }

    std::unique_ptr<RawDocument> Document(int depth) {
        auto d = std::make_unique<RawDocument>();
        in.Object([&](QStringView key) {
            if (key == QLatin1String("u"))
                d->url = in.String();
            else if (key == QLatin1String("dm"))
                d->domain = in.String();
            else if (key == QLatin1String("ti"))
                d->title = in.String();
            else if (key == QLatin1String("ct"))
                d->contentType = in.String();
            else if (key == QLatin1String("b"))
                d->hasBody = in.Int() != 0;
            else if (key == QLatin1String("bc"))
                d->bodyContent = in.Int() != 0;
            else if (key == QLatin1String("all"))
                d->all = in.IntArray();
            else if (key == QLatin1String("forms"))
                d->forms = in.IntArray();
            else if (key == QLatin1String("links"))
                d->links = in.IntArray();
            else if (key == QLatin1String("images"))
                d->images = in.IntArray();
            else if (key == QLatin1String("scripts"))
                in.Array([&] { d->scripts.append(in.Text()); });
            else if (key == QLatin1String("ifm")) {
                d->hasLoose = true;
                in.Object([&](QStringView k) {
                    if (k == QLatin1String("fe"))
                        d->looseMembers = in.IntArray();
                    else
                        in.SkipValue();
                });
            } else if (key == QLatin1String("frames")) {
                in.Array([&] {
                    RawDocument::Frame frame;
                    in.Object([&](QStringView k) {
                        if (k == QLatin1String("n"))
                            frame.name = in.String();
                        else if (k == QLatin1String("s"))
                            frame.src = in.String();
                        else if (k == QLatin1String("el"))
                            frame.element = in.Int();
                        else if (k == QLatin1String("d") && !in.IsNull()) {
                            if (depth < kMaxFrameDepth)
                                frame.document = Document(depth + 1);
                            else
                                in.SkipValue();
                        } else if (k != QLatin1String("d"))
                            in.SkipValue();
                    });
                    d->frames.push_back(std::move(frame));
                });
            } else
                in.SkipValue();
        });
        return d;
    }

    void AddImplicitForms(RawDocument& d) {
        if (d.hasLoose) {
            DomElement form;
            form.m_nodeName = QStringLiteral("FORM");
            form.m_implicit = true;
            d.looseForm = int(model.m_elements.size());
            model.m_elements.push_back(std::move(form));
            RawLinks r;
            r.formElements = d.looseMembers;
            links.push_back(std::move(r));
        }
        for (RawDocument::Frame& f : d.frames)
            if (f.document) AddImplicitForms(*f.document);
    }

    DomElement* At(int ref) const {
        if (ref < 0 || ref >= tableSize) return nullptr;
        return &model.m_elements[size_t(ref)];
    }
    QList<DomElement*> List(const QList<int>& refs) const {
        QList<DomElement*> out;
        out.reserve(refs.size());
        for (int ref : refs)
            if (DomElement* e = At(ref)) out.append(e);
        return out;
    }

    static void Own(DomDocument* d, const QList<DomElement*>& list) {
        for (DomElement* e : list) {
            if (!e->m_document) e->m_document = d;
            if (e->m_firstChild && !e->m_firstChild->m_document) e->m_firstChild->m_document = d;
            for (DomElement* c : std::as_const(e->m_children))
                if (!c->m_document) c->m_document = d;
        }
    }

    DomDocument* Build(const RawDocument& raw, DomDocument* parent) {
        model.m_documents.push_back(std::make_unique<DomDocument>());
        DomDocument* d = model.m_documents.back().get();
        d->m_model = &model;
        d->m_parent = parent;
        d->m_url = raw.url;
        d->m_domain = raw.domain;
        d->m_title = raw.title;
        d->m_contentType = raw.contentType;
        d->m_hasBody = raw.hasBody;
        d->m_bodyContent = raw.bodyContent;
        d->m_all = List(raw.all);
        d->m_forms = List(raw.forms);
        if (raw.looseForm >= 0) d->m_forms.append(&model.m_elements[size_t(raw.looseForm)]);
        d->m_links = List(raw.links);
        d->m_images = List(raw.images);
        d->m_scripts = raw.scripts;
        Own(d, d->m_all);
        Own(d, d->m_forms);
        for (DomElement* f : std::as_const(d->m_forms))
            Own(d, f->m_elements);
        Own(d, d->m_links);
        Own(d, d->m_images);
        for (const RawDocument::Frame& f : raw.frames) {
            DomFrame frame;
            frame.name = f.name;
            frame.src = f.src;
            frame.element = At(f.element);
            if (frame.element && !frame.element->m_document) frame.element->m_document = d;
            if (f.document) frame.document = Build(*f.document, d);
            d->m_frames.append(frame);
        }
        return d;
    }
};

std::shared_ptr<PageModel> PageModel::FromJson(const QByteArray& json, QString* error) {
    return FromJson(QStringView(QString::fromUtf8(json)), error);
}

std::shared_ptr<PageModel> PageModel::FromJson(QStringView json, QString* error) {
    std::shared_ptr<PageModel> model(new PageModel);
    PageModel::Parser parser{SnapshotJsonReader(json), *model, {}, {}, {}, 0};
    // Every element object begins so (inside strings the quotes are escaped): room for all of
    // them at once saves moving a large list while it grows.
    // (An empty text counts -1 here; nothing can hold more elements than a fifth of its length.)
    const qsizetype expected = qBound<qsizetype>(0, json.count(QLatin1String("{\"t\":")), json.size() / 5);
    model->m_elements.reserve(size_t(expected) + size_t(expected) / 4);
    parser.links.reserve(size_t(expected) + size_t(expected) / 4);
    std::unique_ptr<RawDocument> top;
    SnapshotJsonReader& in = parser.in;
    in.Object([&](QStringView key) {
        if (key == QLatin1String("gen"))
            model->m_generation = in.Int();
        else if (key == QLatin1String("els")) {
            if (!model->m_elements.empty()) return in.SkipValue();
            in.Array([&] { parser.Element(); });
            parser.AddTextNodes();
        } else if (key == QLatin1String("texts"))
            in.Array([&] { parser.texts.append(in.String()); });
        else if (key == QLatin1String("doc"))
            top = parser.Document(0);
        else
            in.SkipValue();
    });
    if (!in.ok || !in.AtEnd() || !top) {
        if (error)
            *error =
                !in.ok || !in.AtEnd() ? QStringLiteral("not a page snapshot") : QStringLiteral("no document");
        return nullptr;
    }
    // Implicit forms are elements without a reference, after the snapshot's and the text nodes.
    parser.AddImplicitForms(*top);
    // Every element has its place now (the list never grows again): references become pointers.
    for (size_t i = 0; i < model->m_elements.size(); ++i) {
        DomElement& e = model->m_elements[i];
        const RawLinks& r = parser.links[i];
        e.m_model = model.get();
        e.m_firstChild = r.textChild >= 0 ? &model->m_elements[size_t(r.textChild)] : parser.At(r.firstChild);
        if (r.parentText >= 0) e.m_parentParentText = parser.texts.value(r.parentText);
        // Only a SELECT has its OPTIONs and only a FORM its members, whatever the text says.
        if (e.m_nodeName == QLatin1String("SELECT")) e.m_children = parser.List(r.children);
        for (DomElement* child : std::as_const(e.m_children))
            child->m_parent = &e;
        if (e.m_nodeName == QLatin1String("FORM")) e.m_elements = parser.List(r.formElements);
        for (DomElement* member : std::as_const(e.m_elements))
            member->m_form = &e;
    }
    parser.Build(*top, nullptr);
    // An element only some other element refers to (a first child, an OPTION, a form member
    // that no list of a document names) belongs to the page: every element has its document.
    for (DomElement& e : model->m_elements)
        if (!e.m_document) e.m_document = model->document();
    return model;
}
