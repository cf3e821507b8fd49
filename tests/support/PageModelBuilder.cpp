#include "support/PageModelBuilder.h"

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

PageModelBuilder::Ref& PageModelBuilder::Ref::Set(const char* key, const QJsonValue& value) {
    Object()[QLatin1String(key)] = value;
    return *this;
}

PageModelBuilder::Ref& PageModelBuilder::Ref::Href(const QString& href) {
    Set("h", href);
    Set("hn", href.startsWith(QLatin1String("javascript:"), Qt::CaseInsensitive) ? href.mid(11)
                                                                                 : QUrl(href).host());
    Doc& doc = m_builder->m_docs[size_t(m_builder->m_current)];
    if (!doc.links.contains(m_index)) doc.links.append(m_index);
    return *this;
}

PageModelBuilder::Ref& PageModelBuilder::Ref::ParentParentText(const QString& text) {
    m_builder->m_texts.append(text);
    return Set("gp", int(m_builder->m_texts.size() - 1));
}

PageModelBuilder::Ref& PageModelBuilder::Ref::FirstChild(const Ref& child) {
    Object().remove(QLatin1String("ft"));
    if (Object().value(QLatin1String("cc")).toInt() < 1) ChildCount(1);
    return Set("fc", child.m_index);
}

PageModelBuilder::Ref& PageModelBuilder::Ref::FirstChildText(const QString& text) {
    Object().remove(QLatin1String("fc"));
    return Set("ft", text);
}

PageModelBuilder::PageModelBuilder(const QString& url, const QString& title) {
    NewDocument(url);
    Title(title);
}

int PageModelBuilder::NewDocument(const QString& url) {
    Doc& doc = m_docs.emplace_back();
    doc.head[QLatin1String("u")] = url;
    doc.head[QLatin1String("dm")] = QUrl(url).host();
    doc.head[QLatin1String("ct")] = QStringLiteral("text/html");
    doc.head[QLatin1String("b")] = 1;
    return int(m_docs.size() - 1);
}

PageModelBuilder& PageModelBuilder::SetHead(const char* key, const QJsonValue& value) {
    m_docs[size_t(m_current)].head[QLatin1String(key)] = value;
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
        }
    }
    return index;
}

PageModelBuilder::Ref PageModelBuilder::Form(const QString& name, const QString& onsubmit) {
    m_openForm = -1;
    const int index = Add(QStringLiteral("FORM"), false);
    QJsonObject& o = m_els[size_t(index)];
    if (!name.isEmpty()) o[QLatin1String("n")] = name;
    if (!onsubmit.isEmpty()) o[QLatin1String("os")] = onsubmit;
    o[QLatin1String("fe")] = QJsonArray();
    m_docs[size_t(m_current)].forms.append(index);
    m_openForm = index;
    return Ref(this, index);
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

void PageModelBuilder::Frame(const QString& src, const QString& name,
                             const std::function<void(PageModelBuilder&)>& fill, const QString& tag) {
    Ref element = Element(tag);
    element.Src(src);
    if (!name.isEmpty()) element.Name(name);
    const int parent = m_current, openForm = m_openForm;
    const int doc = NewDocument(src);
    m_docs[size_t(parent)].frames.append({name, src, element.ref(), doc});
    m_current = doc;
    m_openForm = -1;
    if (fill) fill(*this);
    m_current = parent;
    m_openForm = openForm;
}

void PageModelBuilder::CrossOriginFrame(const QString& src, const QString& name, const QString& tag) {
    Ref element = Element(tag);
    element.Src(src);
    if (!name.isEmpty()) element.Name(name);
    m_docs[size_t(m_current)].frames.append({name, src, element.ref(), -1});
}

QJsonObject PageModelBuilder::Finished(int index) const {
    QJsonObject o = m_els[size_t(index)];
    const QString tag = o.value(QLatin1String("t")).toString(), lower = tag.toLower();
    if (tag == QLatin1String("FORM")) return o;
    const int first = o.value(QLatin1String("fc")).toInt(-1);
    const QString inner = first >= 0 ? Finished(first).value(QLatin1String("oh")).toString()
                                     : o.value(QLatin1String("tx")).toString().toHtmlEscaped();
    if (tag == QLatin1String("A") || tag == QLatin1String("BUTTON")) o[QLatin1String("ih")] = inner;
    if (o.contains(QLatin1String("oh"))) return o;
    QString html = QLatin1Char('<') + lower;
    const auto attribute = [&](const char* key, const char* name) {
        if (o.contains(QLatin1String(key)))
            html += QStringLiteral(" %1=\"%2\"")
                        .arg(QLatin1String(name), o.value(QLatin1String(key)).toString().toHtmlEscaped());
    };
    attribute("ty", "type");
    attribute("n", "name");
    attribute("i", "id");
    if (tag != QLatin1String("SELECT")) attribute("v", "value");
    attribute("h", "href");
    attribute("s", "src");
    attribute("al", "alt");
    attribute("oc", tag == QLatin1String("SELECT") ? "onchange" : "onclick");
    html += QLatin1Char('>');
    if (!IsVoid(tag)) html += inner + QStringLiteral("</") + lower + QLatin1Char('>');
    o[QLatin1String("oh")] = html;
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

std::shared_ptr<PageModel> PageModelBuilder::BuildModel(int generation) const {
    QJsonArray els;
    for (int i = 0; i < int(m_els.size()); ++i)
        els.append(Finished(i));
    QJsonObject root;
    root[QLatin1String("gen")] = generation;
    root[QLatin1String("els")] = els;
    root[QLatin1String("texts")] = QJsonArray::fromStringList(m_texts);
    root[QLatin1String("doc")] = Serialise(0);
    return PageModel::FromJson(QJsonDocument(root).toJson(QJsonDocument::Compact));
}

DocumentPtr PageModelBuilder::Build(int generation) const {
    std::shared_ptr<PageModel> model = BuildModel(generation);
    return model ? model->documentPtr() : nullptr;
}
