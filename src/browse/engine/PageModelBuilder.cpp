#include "browse/engine/PageModelBuilder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>

namespace {

QJsonArray ToArray(const QList<int>& list) {
    QJsonArray out;
    for (int i : list)
        out.append(i);
    return out;
}

bool IsVoid(const QString& tag) {
    return tag == QLatin1String("INPUT") || tag == QLatin1String("IMG") || tag == QLatin1String("FRAME") ||
           tag == QLatin1String("AREA");
}

} // namespace

QJsonObject& PageModelBuilder::Ref::Object() {
    return m_builder->m_els[size_t(m_index)];
}

PageModelBuilder::Ref& PageModelBuilder::Ref::Id(const QString& id) {
    Object()[QLatin1String("i")] = id;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::Name(const QString& name) {
    Object()[QLatin1String("n")] = name;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::Type(const QString& type) {
    Object()[QLatin1String("ty")] = type;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::Value(const QString& value) {
    Object()[QLatin1String("v")] = value;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::Text(const QString& innerText) {
    Object()[QLatin1String("tx")] = innerText;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::InnerHtml(const QString& html) {
    Object()[QLatin1String("ih")] = html;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::OuterHtml(const QString& html) {
    Object()[QLatin1String("oh")] = html;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::Href(const QString& href) {
    Object()[QLatin1String("h")] = href;
    Object()[QLatin1String("hn")] =
        href.startsWith(QLatin1String("javascript:"), Qt::CaseInsensitive) ? href.mid(11) : QUrl(href).host();
    Doc& doc = m_builder->m_docs[size_t(m_builder->m_current)];
    if (!doc.links.contains(m_index)) doc.links.append(m_index);
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::Alt(const QString& alt) {
    Object()[QLatin1String("al")] = alt;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::Src(const QString& src) {
    Object()[QLatin1String("s")] = src;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::OnClick(const QString& script) {
    Object()[QLatin1String("oc")] = script;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::Selected(bool selected) {
    Object()[QLatin1String("sel")] = selected ? 1 : 0;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::Loaded(bool loaded) {
    Object()[QLatin1String("ck")] = loaded ? 1 : 0;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::ParentParentText(const QString& text) {
    m_builder->m_texts.append(text);
    Object()[QLatin1String("gp")] = int(m_builder->m_texts.size() - 1);
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::FirstChild(const Ref& child) {
    Object().remove(QLatin1String("ft"));
    Object()[QLatin1String("fc")] = child.m_index;
    if (Object().value(QLatin1String("cc")).toInt() < 1) Object()[QLatin1String("cc")] = 1;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::FirstChildText(const QString& text) {
    Object().remove(QLatin1String("fc"));
    Object()[QLatin1String("ft")] = text;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::ChildCount(int count) {
    Object()[QLatin1String("cc")] = count;
    return *this;
}

PageModelBuilder::Ref& PageModelBuilder::Ref::Hidden(bool hidden) {
    Object()[QLatin1String("hid")] = hidden ? 1 : 0;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::Disabled(bool disabled) {
    Object()[QLatin1String("dis")] = disabled ? 1 : 0;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::ReadOnly(bool readOnly) {
    Object()[QLatin1String("rdo")] = readOnly ? 1 : 0;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::HtmlType(const QString& type) {
    Object()[QLatin1String("ty")] = QStringLiteral("text");
    Object()[QLatin1String("ht")] = type;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::Placeholder(const QString& text) {
    Object()[QLatin1String("ph")] = text;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::Role(const QString& role) {
    Object()[QLatin1String("ro")] = role;
    return *this;
}
PageModelBuilder::Ref& PageModelBuilder::Ref::TextControl() {
    Object()[QLatin1String("cx")] = 1;
    return *this;
}

PageModelBuilder::PageModelBuilder(const QString& url, const QString& title) {
    m_docs.emplace_back();
    m_docs[0].head[QLatin1String("u")] = url;
    m_docs[0].head[QLatin1String("dm")] = QUrl(url).host();
    m_docs[0].head[QLatin1String("ti")] = title;
    m_docs[0].head[QLatin1String("ct")] = QStringLiteral("text/html");
    m_docs[0].head[QLatin1String("b")] = 1;
}

PageModelBuilder& PageModelBuilder::Title(const QString& title) {
    m_docs[size_t(m_current)].head[QLatin1String("ti")] = title;
    return *this;
}
PageModelBuilder& PageModelBuilder::Domain(const QString& domain) {
    m_docs[size_t(m_current)].head[QLatin1String("dm")] = domain;
    return *this;
}
PageModelBuilder& PageModelBuilder::ContentType(const QString& type) {
    m_docs[size_t(m_current)].head[QLatin1String("ct")] = type;
    return *this;
}
PageModelBuilder& PageModelBuilder::BodyContent(bool content) {
    m_docs[size_t(m_current)].head[QLatin1String("bc")] = content ? 1 : 0;
    return *this;
}
PageModelBuilder& PageModelBuilder::Script(const QString& text) {
    m_docs[size_t(m_current)].scripts.append(text);
    return *this;
}

int PageModelBuilder::Add(const QString& tag, bool inAll) {
    const int index = int(m_els.size());
    QJsonObject o;
    o[QLatin1String("t")] = tag;
    m_els.push_back(o);
    if (inAll) {
        m_docs[size_t(m_current)].all.append(index);
        if (m_openForm >= 0) {
            QJsonObject& form = m_els[size_t(m_openForm)];
            QJsonArray members = form.value(QLatin1String("fe")).toArray();
            members.append(index);
            form[QLatin1String("fe")] = members;
        } else if (m_looseOpen) {
            m_docs[size_t(m_current)].loose.append(index);
        }
    }
    return index;
}

PageModelBuilder::Ref PageModelBuilder::Form(const QString& name, const QString& onsubmit) {
    m_openForm = -1;
    m_looseOpen = false;
    const int index = Add(QStringLiteral("FORM"), false);
    QJsonObject& o = m_els[size_t(index)];
    if (!name.isEmpty()) o[QLatin1String("n")] = name;
    if (!onsubmit.isEmpty()) o[QLatin1String("os")] = onsubmit;
    o[QLatin1String("fe")] = QJsonArray();
    m_docs[size_t(m_current)].forms.append(index);
    m_openForm = index;
    return Ref(this, index);
}

void PageModelBuilder::Loose() {
    m_openForm = -1;
    m_looseOpen = true;
    m_docs[size_t(m_current)].hasLoose = true;
}

void PageModelBuilder::EndForm() {
    m_openForm = -1;
    m_looseOpen = false;
}

PageModelBuilder::Ref PageModelBuilder::Element(const QString& tag) {
    return Ref(this, Add(tag.toUpper(), true));
}

PageModelBuilder::Ref PageModelBuilder::Child(const QString& tag) {
    return Ref(this, Add(tag.toUpper(), false));
}

PageModelBuilder::Ref PageModelBuilder::Input(const QString& type, const QString& name,
                                              const QString& value) {
    Ref r = Element(QStringLiteral("INPUT"));
    r.Type(type.toLower());
    if (!name.isEmpty()) r.Name(name);
    if (!value.isEmpty()) r.Value(value);
    return r;
}

PageModelBuilder::Ref PageModelBuilder::Select(const QString& name, const QStringList& options,
                                               int selected) {
    Ref list = Element(QStringLiteral("SELECT"));
    list.Type(QStringLiteral("select-one"));
    if (!name.isEmpty()) list.Name(name);
    QJsonArray children;
    for (int i = 0; i < options.size(); ++i) {
        Ref option = Element(QStringLiteral("OPTION"));
        option.Text(options[i]).Value(options[i]);
        if (i == selected) {
            option.Selected();
            list.Value(options[i]);
        }
        children.append(option.ref());
    }
    list.Object()[QLatin1String("ch")] = children;
    list.ChildCount(int(options.size()));
    return list;
}

PageModelBuilder::Ref PageModelBuilder::Anchor(const QString& href, const QString& text) {
    Ref a = Element(QStringLiteral("A"));
    if (!href.isNull()) a.Href(href);
    a.Text(text);
    if (!text.isEmpty()) a.FirstChildText(text);
    return a;
}

PageModelBuilder::Ref PageModelBuilder::Button(const QString& text, const QString& type) {
    Ref b = Element(QStringLiteral("BUTTON"));
    b.Type(type).Text(text);
    if (!text.isEmpty()) b.FirstChildText(text);
    return b;
}

PageModelBuilder::Ref PageModelBuilder::Image(const QString& src, const QString& alt, bool loaded) {
    Ref img = Element(QStringLiteral("IMG"));
    img.Src(src).Loaded(loaded);
    if (!alt.isEmpty()) img.Alt(alt);
    m_docs[size_t(m_current)].images.append(img.ref());
    return img;
}

PageModelBuilder::Ref PageModelBuilder::TextArea(const QString& name, const QString& value) {
    Ref t = Element(QStringLiteral("TEXTAREA"));
    t.Type(QStringLiteral("textarea"));
    if (!name.isEmpty()) t.Name(name);
    if (!value.isEmpty()) t.Value(value);
    return t;
}

void PageModelBuilder::Frame(const QString& src, const QString& name,
                             const std::function<void(PageModelBuilder&)>& fill, const QString& tag) {
    Ref element = Element(tag);
    element.Src(src);
    if (!name.isEmpty()) element.Name(name);
    const int parent = m_current;
    const int openForm = m_openForm;
    const bool looseOpen = m_looseOpen;
    m_docs.emplace_back();
    const int doc = int(m_docs.size() - 1);
    m_docs[size_t(doc)].head[QLatin1String("u")] = src;
    m_docs[size_t(doc)].head[QLatin1String("dm")] = QUrl(src).host();
    m_docs[size_t(doc)].head[QLatin1String("ct")] = QStringLiteral("text/html");
    m_docs[size_t(doc)].head[QLatin1String("b")] = 1;
    m_docs[size_t(parent)].frames.append({name, src, element.ref(), doc});
    m_current = doc;
    m_openForm = -1;
    m_looseOpen = false;
    if (fill) fill(*this);
    m_current = parent;
    m_openForm = openForm;
    m_looseOpen = looseOpen;
}

void PageModelBuilder::CrossOriginFrame(const QString& src, const QString& name, const QString& tag) {
    Ref element = Element(tag);
    element.Src(src);
    if (!name.isEmpty()) element.Name(name);
    m_docs[size_t(m_current)].frames.append({name, src, element.ref(), -1});
}

QJsonObject PageModelBuilder::Finished(int index) const {
    QJsonObject o = m_els[size_t(index)];
    const QString tag = o.value(QLatin1String("t")).toString();
    if (tag == QLatin1String("FORM")) return o;
    if (!o.contains(QLatin1String("ih")) && !IsVoid(tag)) {
        QString inner;
        const int first = o.value(QLatin1String("fc")).toInt(-1);
        if (first >= 0)
            inner = Finished(first).value(QLatin1String("oh")).toString();
        else
            inner = o.value(QLatin1String("tx")).toString().toHtmlEscaped();
        if (tag == QLatin1String("A") || tag == QLatin1String("BUTTON")) o[QLatin1String("ih")] = inner;
        if (!o.contains(QLatin1String("oh"))) o[QLatin1String("ih_derived")] = inner;
    }
    if (!o.contains(QLatin1String("oh"))) {
        const QString lower = tag.toLower();
        QString html = QLatin1Char('<') + lower;
        const auto attribute = [&](const char* key, const char* name) {
            if (o.contains(QLatin1String(key)))
                html += QStringLiteral(" %1=\"%2\"")
                            .arg(QLatin1String(name), o.value(QLatin1String(key)).toString().toHtmlEscaped());
        };
        attribute("ty", "type");
        attribute("n", "name");
        attribute("i", "id");
        if (tag != QLatin1String("SELECT") && tag != QLatin1String("TEXTAREA")) attribute("v", "value");
        attribute("h", "href");
        attribute("s", "src");
        attribute("al", "alt");
        attribute("oc", tag == QLatin1String("SELECT") ? "onchange" : "onclick");
        html += QLatin1Char('>');
        if (!IsVoid(tag)) {
            html += o.value(QLatin1String("ih_derived")).toString();
            if (tag == QLatin1String("SELECT")) {
                for (const QJsonValue& c : o.value(QLatin1String("ch")).toArray()) {
                    const QJsonObject option = m_els[size_t(c.toInt())];
                    html += QStringLiteral("<option>%1</option>")
                                .arg(option.value(QLatin1String("tx")).toString().toHtmlEscaped());
                }
            }
            html += QStringLiteral("</") + lower + QLatin1Char('>');
        }
        o[QLatin1String("oh")] = html;
    }
    o.remove(QLatin1String("ih_derived"));
    return o;
}

QJsonObject PageModelBuilder::Serialise(int index) const {
    const Doc& d = m_docs[size_t(index)];
    QJsonObject o = d.head;
    o[QLatin1String("all")] = ToArray(d.all);
    o[QLatin1String("forms")] = ToArray(d.forms);
    o[QLatin1String("links")] = ToArray(d.links);
    o[QLatin1String("images")] = ToArray(d.images);
    o[QLatin1String("scripts")] = QJsonArray::fromStringList(d.scripts);
    if (d.hasLoose) o[QLatin1String("ifm")] = QJsonObject{{QLatin1String("fe"), ToArray(d.loose)}};
    QJsonArray frames;
    for (const Doc::FrameRef& f : d.frames) {
        QJsonObject frame;
        frame[QLatin1String("n")] = f.name;
        frame[QLatin1String("s")] = f.src;
        frame[QLatin1String("el")] = f.element;
        frame[QLatin1String("d")] = f.doc >= 0 ? QJsonValue(Serialise(f.doc)) : QJsonValue();
        frames.append(frame);
    }
    o[QLatin1String("frames")] = frames;
    return o;
}

QByteArray PageModelBuilder::Json(int generation) const {
    QJsonArray els;
    for (int i = 0; i < int(m_els.size()); ++i)
        els.append(Finished(i));
    QJsonObject root;
    root[QLatin1String("gen")] = generation;
    root[QLatin1String("els")] = els;
    root[QLatin1String("texts")] = QJsonArray::fromStringList(m_texts);
    root[QLatin1String("doc")] = Serialise(0);
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

std::shared_ptr<PageModel> PageModelBuilder::BuildModel(int generation) const {
    return PageModel::FromJson(Json(generation));
}

DocumentPtr PageModelBuilder::Build(int generation) const {
    std::shared_ptr<PageModel> model = BuildModel(generation);
    return model ? model->documentPtr() : nullptr;
}
