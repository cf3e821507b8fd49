#include "browse/engine/PageModel.h"

#include <QUrl>

#include "core/UrlUtils.h"

namespace {

const QString kHtmlTypeName = QStringLiteral("HTMLDocument");

QString KindName(PageAction::Kind kind) {
    switch (kind) {
    case PageAction::SetValue:
        return QStringLiteral("SetValue");
    case PageAction::SetSelected:
        return QStringLiteral("SetSelected");
    case PageAction::Focus:
        return QStringLiteral("Focus");
    case PageAction::Click:
        return QStringLiteral("Click");
    case PageAction::CallOnSubmit:
        return QStringLiteral("CallOnSubmit");
    case PageAction::FireChange:
        return QStringLiteral("FireChange");
    case PageAction::SetSrc:
        return QStringLiteral("SetSrc");
    case PageAction::PressEnter:
        return QStringLiteral("PressEnter");
    case PageAction::Navigate:
        return QStringLiteral("Navigate");
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
    if (m_nodeName == QLatin1String("IMG"))
        return m_complete ? QStringLiteral("complete") : QStringLiteral("loading");
    return QStringLiteral("complete");
}

QString DomElement::onsubmit() const {
    if (m_onsubmit.isEmpty()) return {};
    return QStringLiteral("function anonymous() { ") + m_onsubmit + QStringLiteral(" }");
}

void DomElement::Record(PageAction::Kind kind, const QString& text, bool flag) {
    if (m_model && m_ref >= 0) m_model->Record(PageAction{kind, m_ref, text, flag});
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

void DomElement::Focus() {
    Record(PageAction::Focus);
}
void DomElement::Click() {
    Record(PageAction::Click);
}
void DomElement::CallOnSubmit() {
    Record(PageAction::CallOnSubmit);
}
void DomElement::FireChange() {
    Record(PageAction::FireChange);
}

// ----- DomDocument ----------------------------------------------------------------------------

QString DomDocument::protocol() const {
    return core::ProtocolText(m_url);
}

bool DomDocument::isHtml() const {
    const QString type = m_contentType.toLower();
    return type.isEmpty() || type == QLatin1String("text/html") ||
           type == QLatin1String("application/xhtml+xml");
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

void DomDocument::PressEnter() {
    m_model->Record(PageAction{PageAction::PressEnter, -1, {}, false});
}

void DomDocument::Navigate(const QString& url) {
    m_model->Record(PageAction{PageAction::Navigate, -1, url, false});
}

int DomDocument::generation() const {
    return m_model->generation();
}

// ----- PageModel ------------------------------------------------------------------------------

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
    if (ref < 0 || ref >= int(m_elements.size()) || m_elements[size_t(ref)].m_ref != ref) return nullptr;
    return const_cast<DomElement*>(&m_elements[size_t(ref)]);
}

std::vector<DomDocument*> PageModel::documents() const {
    std::vector<DomDocument*> out;
    out.reserve(m_documents.size());
    for (const auto& d : m_documents)
        out.push_back(d.get());
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
