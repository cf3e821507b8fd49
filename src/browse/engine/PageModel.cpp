#include "browse/engine/PageModel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace {

const QString kHtmlTypeName = QStringLiteral("HTMLDocument");

QString KindName(PageAction::Kind kind) {
    switch (kind) {
    case PageAction::SetValue: return QStringLiteral("SetValue");
    case PageAction::SetSelected: return QStringLiteral("SetSelected");
    case PageAction::Focus: return QStringLiteral("Focus");
    case PageAction::Click: return QStringLiteral("Click");
    case PageAction::CallOnSubmit: return QStringLiteral("CallOnSubmit");
    case PageAction::FireChange: return QStringLiteral("FireChange");
    case PageAction::SetSrc: return QStringLiteral("SetSrc");
    case PageAction::PressEnter: return QStringLiteral("PressEnter");
    case PageAction::Navigate: return QStringLiteral("Navigate");
    }
    return QStringLiteral("?");
}

} // namespace

QString PageAction::Describe() const {
    QString out = KindName(kind);
    if (element >= 0) out += QStringLiteral(" #%1").arg(element);
    if (kind == SetSelected) out += flag ? QStringLiteral(" true") : QStringLiteral(" false");
    return out;
}

// ----- DomElement -----------------------------------------------------------------------------

QString DomElement::readyState() const {
    if (m_nodeName == QLatin1String("IMG")) return m_complete ? QStringLiteral("complete") : QStringLiteral("loading");
    return QStringLiteral("complete");
}

QString DomElement::onsubmit() const {
    if (m_onsubmit.isEmpty()) return {};
    return QStringLiteral("function anonymous() { ") + m_onsubmit + QStringLiteral(" }");
}

void DomElement::Record(PageAction::Kind kind, const QString& text, bool flag) {
    if (m_model) m_model->Record(PageAction{kind, m_ref, text, flag});
}

void DomElement::SetValue(const QString& value) {
    m_value = value;
    Record(PageAction::SetValue, value);
}

void DomElement::SetSelected(bool selected) {
    m_selected = selected;
    Record(PageAction::SetSelected, {}, selected);
    DomElement* list = m_parent;
    if (!list || list->m_nodeName != QLatin1String("SELECT")) return;
    if (selected && list->m_type != QLatin1String("select-multiple")) {
        for (DomElement* option : std::as_const(list->m_children))
            if (option != this) option->m_selected = false;
    }
    list->m_value.clear();
    for (DomElement* option : std::as_const(list->m_children)) {
        if (option->m_selected) {
            list->m_value = option->m_value.isNull() ? option->m_innerText : option->m_value;
            break;
        }
    }
}

void DomElement::SetSrc(const QString& src) {
    m_src = src;
    m_complete = false;
    Record(PageAction::SetSrc, src);
}

void DomElement::Focus() { Record(PageAction::Focus); }
void DomElement::Click() { Record(PageAction::Click); }
void DomElement::CallOnSubmit() { Record(PageAction::CallOnSubmit); }
void DomElement::FireChange() { Record(PageAction::FireChange); }

// ----- DomDocument ----------------------------------------------------------------------------

QString DomDocument::protocol() const {
    const QString scheme = QUrl(m_url).scheme().toLower();
    if (scheme == QLatin1String("http")) return QStringLiteral("HyperText Transfer Protocol");
    if (scheme == QLatin1String("https")) return QStringLiteral("HyperText Transfer Protocol with Privacy");
    if (scheme == QLatin1String("file")) return QStringLiteral("File Protocol");
    return QStringLiteral("Unknown Protocol");
}

bool DomDocument::isHtml() const {
    const QString type = m_contentType.toLower();
    return type.isEmpty() || type == QLatin1String("text/html") || type == QLatin1String("application/xhtml+xml");
}

QString DomDocument::typeName() const {
    if (isHtml()) return kHtmlTypeName;
    if (m_contentType.compare(QLatin1String("application/pdf"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("PDFDocument");
    return QStringLiteral("Document");
}

DomElement* DomDocument::getElementById(const QString& id) const {
    if (id.isEmpty()) return nullptr;
    for (DomElement* e : m_all)
        if (e->id() == id) return e;
    for (DomElement* f : m_forms)
        if (f->id() == id) return f;
    return nullptr;
}

QList<DomElement*> DomDocument::getElementsByTagName(const QString& nodeName) const {
    QList<DomElement*> out;
    const QString upper = nodeName.toUpper();
    for (DomElement* e : m_all)
        if (e->nodeName() == upper) out.append(e);
    return out;
}

void DomDocument::PressEnter() { m_model->Record(PageAction{PageAction::PressEnter, -1, {}, false}); }

void DomDocument::Navigate(const QString& url) { m_model->Record(PageAction{PageAction::Navigate, -1, url, false}); }

int DomDocument::generation() const { return m_model->generation(); }

// ----- PageModel ------------------------------------------------------------------------------

struct PageModel::Parser {
    PageModel& model;
    QStringList texts;
    QString error;

    DomElement* At(const QJsonValue& v) const {
        const int ref = v.toInt(-1);
        return ref >= 0 && ref < int(model.m_elements.size()) ? &model.m_elements[size_t(ref)] : nullptr;
    }

    QList<DomElement*> List(const QJsonValue& v) const {
        const QJsonArray array = v.toArray();
        QList<DomElement*> out;
        out.reserve(array.size());
        for (const QJsonValue& item : array)
            if (DomElement* e = At(item)) out.append(e);
        return out;
    }

    void Element(DomElement& e, const QJsonObject& o) {
        for (auto it = o.begin(); it != o.end(); ++it) {
            const QString key = it.key();
            const QJsonValue v = it.value();
            if (key == QLatin1String("t")) e.m_nodeName = v.toString();
            else if (key == QLatin1String("i")) e.m_id = v.toString();
            else if (key == QLatin1String("n")) e.m_name = v.toString();
            else if (key == QLatin1String("ty")) e.m_type = v.toString();
            else if (key == QLatin1String("v")) e.m_value = v.toString();
            else if (key == QLatin1String("tx")) e.m_innerText = v.toString();
            else if (key == QLatin1String("ih")) e.m_innerHTML = v.toString();
            else if (key == QLatin1String("oh")) e.m_outerHTML = v.toString();
            else if (key == QLatin1String("h")) e.m_href = v.toString();
            else if (key == QLatin1String("hn")) e.m_hostname = v.toString();
            else if (key == QLatin1String("al")) e.m_alt = v.toString();
            else if (key == QLatin1String("s")) e.m_src = v.toString();
            else if (key == QLatin1String("oc")) e.m_onclick = v.toString();
            else if (key == QLatin1String("os")) e.m_onsubmit = v.toString();
            else if (key == QLatin1String("sel")) e.m_selected = v.toInt() != 0;
            else if (key == QLatin1String("cc")) e.m_childCount = v.toInt();
            else if (key == QLatin1String("fc")) e.m_firstChild = At(v);
            else if (key == QLatin1String("gp")) e.m_parentParentText = texts.value(v.toInt());
            else if (key == QLatin1String("ch")) {
                e.m_children = List(v);
                for (DomElement* child : std::as_const(e.m_children)) child->m_parent = &e;
            } else if (key == QLatin1String("fe")) {
                e.m_elements = List(v);
                for (DomElement* member : std::as_const(e.m_elements)) member->m_form = &e;
            }
        }
        if (e.m_nodeName == QLatin1String("IMG")) e.m_complete = o.value(QLatin1String("ck")).toInt() != 0;
    }

    // Claims the elements a document lists for it (an element already claimed keeps its owner).
    static void Own(DomDocument* d, const QList<DomElement*>& list) {
        for (DomElement* e : list) {
            if (!e->m_document) e->m_document = d;
            if (e->m_firstChild && !e->m_firstChild->m_document) e->m_firstChild->m_document = d;
            for (DomElement* c : std::as_const(e->m_children))
                if (!c->m_document) c->m_document = d;
        }
    }

    DomDocument* Document(const QJsonObject& o, DomDocument* parent) {
        model.m_documents.push_back(std::make_unique<DomDocument>());
        DomDocument* d = model.m_documents.back().get();
        d->m_model = &model;
        d->m_parent = parent;
        d->m_url = o.value(QLatin1String("u")).toString();
        d->m_domain = o.value(QLatin1String("dm")).toString();
        d->m_title = o.value(QLatin1String("ti")).toString();
        d->m_contentType = o.value(QLatin1String("ct")).toString();
        d->m_hasBody = o.value(QLatin1String("b")).toInt() != 0;
        d->m_bodyHtml = o.value(QLatin1String("bh")).toString();
        d->m_all = List(o.value(QLatin1String("all")));
        d->m_forms = List(o.value(QLatin1String("forms")));
        d->m_links = List(o.value(QLatin1String("links")));
        d->m_images = List(o.value(QLatin1String("images")));
        for (const QJsonValue& s : o.value(QLatin1String("scripts")).toArray()) d->m_scripts.append(s.toString());
        Own(d, d->m_all);
        Own(d, d->m_forms);
        for (DomElement* f : std::as_const(d->m_forms)) Own(d, f->m_elements);
        Own(d, d->m_links);
        Own(d, d->m_images);
        for (const QJsonValue& fv : o.value(QLatin1String("frames")).toArray()) {
            const QJsonObject f = fv.toObject();
            DomFrame frame;
            frame.name = f.value(QLatin1String("n")).toString();
            frame.src = f.value(QLatin1String("s")).toString();
            frame.element = At(f.value(QLatin1String("el")));
            if (frame.element && !frame.element->m_document) frame.element->m_document = d;
            const QJsonValue inner = f.value(QLatin1String("d"));
            if (inner.isObject()) frame.document = Document(inner.toObject(), d);
            d->m_frames.append(frame);
        }
        return d;
    }
};

std::shared_ptr<PageModel> PageModel::FromJson(const QByteArray& json, QString* error) {
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (!doc.isObject()) {
        if (error) *error = parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                                       : QStringLiteral("not an object");
        return nullptr;
    }
    const QJsonObject root = doc.object();
    if (!root.value(QLatin1String("doc")).isObject()) {
        if (error) *error = QStringLiteral("no document");
        return nullptr;
    }
    std::shared_ptr<PageModel> model(new PageModel);
    model->m_generation = root.value(QLatin1String("gen")).toInt();
    Parser parser{*model, {}, {}};
    for (const QJsonValue& t : root.value(QLatin1String("texts")).toArray()) parser.texts.append(t.toString());

    const QJsonArray els = root.value(QLatin1String("els")).toArray();
    // Sized once: elements are referred to by address and must never move.
    model->m_elements.resize(size_t(els.size()));
    for (qsizetype i = 0; i < els.size(); ++i) {
        DomElement& e = model->m_elements[size_t(i)];
        e.m_model = model.get();
        e.m_ref = int(i);
    }
    for (qsizetype i = 0; i < els.size(); ++i) parser.Element(model->m_elements[size_t(i)], els.at(i).toObject());
    parser.Document(root.value(QLatin1String("doc")).toObject(), nullptr);
    return model;
}

std::shared_ptr<PageModel> PageModel::Empty(const QString& url, int generation) {
    std::shared_ptr<PageModel> model(new PageModel);
    model->m_generation = generation;
    model->m_documents.push_back(std::make_unique<DomDocument>());
    DomDocument* d = model->m_documents.back().get();
    d->m_model = model.get();
    d->m_url = url;
    d->m_contentType = QStringLiteral("text/html");
    d->m_hasBody = true;
    return model;
}

DocumentPtr PageModel::documentPtr() {
    DomDocument* d = document();
    if (!d) return nullptr;
    return DocumentPtr(shared_from_this(), d);
}

DomElement* PageModel::element(int ref) const {
    if (ref < 0 || ref >= int(m_elements.size())) return nullptr;
    return const_cast<DomElement*>(&m_elements[size_t(ref)]);
}

std::vector<DomDocument*> PageModel::documents() const {
    std::vector<DomDocument*> out;
    out.reserve(m_documents.size());
    for (const auto& d : m_documents) out.push_back(d.get());
    return out;
}

QList<PageAction> PageModel::TakeActions() {
    QList<PageAction> out;
    out.swap(m_pending);
    return out;
}

void PageModel::Record(PageAction action) {
    const bool first = m_pending.isEmpty();
    m_pending.append(std::move(action));
    if (first && m_listener) m_listener();
}
