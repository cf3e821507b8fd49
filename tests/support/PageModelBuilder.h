#pragma once

#include <functional>
#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

#include "browse/engine/PageModel.h"

// Builds a page model without the engine: it writes the JSON the snapshot script returns, so the
// model comes from the one real path (PageModel::FromJson). Elements go into the current document in
// the order added, and between Form() and EndForm() into that form; outerHTML and innerHTML are
// derived from what was set unless given.
class PageModelBuilder {
public:
    // An element being built; the setters chain and set the snapshot's keys.
    class Ref {
    public:
        Ref& Id(const QString& id) { return Set("i", id); }
        Ref& Name(const QString& name) { return Set("n", name); }
        Ref& Type(const QString& type) { return Set("ty", type); }
        Ref& Value(const QString& value) { return Set("v", value); }
        Ref& Text(const QString& innerText) { return Set("tx", innerText); }
        Ref& OuterHtml(const QString& html) { return Set("oh", html); }
        Ref& Href(const QString& href);
        Ref& Alt(const QString& alt) { return Set("al", alt); }
        Ref& Src(const QString& src) { return Set("s", src); }
        Ref& OnClick(const QString& script) { return Set("oc", script); }
        Ref& Selected(bool selected = true) { return Set("sel", int(selected)); }
        Ref& Loaded(bool loaded) { return Set("ck", int(loaded)); }
        Ref& ParentParentText(const QString& text);
        // The first child node: an element made with Child(), or a text node.
        Ref& FirstChild(const Ref& child);
        Ref& FirstChildText(const QString& text);
        Ref& ChildCount(int count) { return Set("cc", count); }
        // How the control looks and what the page says of it.
        Ref& Hidden(bool hidden = true) { return Set("hid", int(hidden)); }
        Ref& Disabled(bool disabled = true) { return Set("dis", int(disabled)); }
        Ref& ReadOnly(bool readOnly = true) { return Set("rdo", int(readOnly)); }
        // A text-like input type ("email", "tel"): the element reads as type "text".
        Ref& HtmlType(const QString& type) { return Type(QStringLiteral("text")).Set("ht", type); }
        Ref& Placeholder(const QString& text) { return Set("ph", text); }
        int ref() const { return m_index; }

    private:
        friend class PageModelBuilder;
        Ref(PageModelBuilder* builder, int index) : m_builder(builder), m_index(index) {}
        QJsonObject& Object();
        Ref& Set(const char* key, const QJsonValue& value);
        PageModelBuilder* m_builder;
        int m_index;
    };

    explicit PageModelBuilder(const QString& url = QStringLiteral("http://site.test/"),
                              const QString& title = {});

    // The current document.
    PageModelBuilder& Title(const QString& title) { return SetHead("ti", title); }
    PageModelBuilder& Domain(const QString& domain) { return SetHead("dm", domain); }
    PageModelBuilder& ContentType(const QString& type) { return SetHead("ct", type); }
    PageModelBuilder& Script(const QString& text);

    // Opens a form; the elements added until EndForm() belong to it. onsubmit is the inline
    // handler's text.
    Ref Form(const QString& name, const QString& onsubmit = {});
    void EndForm() { m_openForm = -1; }

    Ref Input(const QString& type, const QString& name = {}, const QString& value = {});
    // A list with its OPTIONs (texts); `selected` is the index selected, -1 for none.
    Ref Select(const QString& name, const QStringList& options, int selected = 0);
    Ref Anchor(const QString& href, const QString& text);
    Ref Button(const QString& text, const QString& type = QStringLiteral("submit"));
    Ref Image(const QString& src, const QString& alt = {}, bool loaded = true);
    // Any element of interest, by tag.
    Ref Element(const QString& tag) { return Ref(this, Add(tag.toUpper(), true)); }
    // An element that is only some other element's child (not in all()), e.g. a SPAN.
    Ref Child(const QString& tag) { return Ref(this, Add(tag.toUpper(), false)); }

    // A frame whose document `fill` builds (same origin), and one from another site.
    void Frame(const QString& src, const QString& name, const std::function<void(PageModelBuilder&)>& fill,
               const QString& tag = QStringLiteral("FRAME"));
    void CrossOriginFrame(const QString& src, const QString& name = {},
                          const QString& tag = QStringLiteral("FRAME"));

    std::shared_ptr<PageModel> BuildModel(int generation = 1) const;
    DocumentPtr Build(int generation = 1) const;

private:
    struct Doc {
        QJsonObject head; // u, dm, ti, ct, b
        QList<int> all, forms, links, images;
        QStringList scripts;
        struct FrameRef {
            QString name, src;
            int element;
            int doc; // -1: cross-origin
        };
        QList<FrameRef> frames;
    };
    PageModelBuilder& SetHead(const char* key, const QJsonValue& value);
    int NewDocument(const QString& url);
    int Add(const QString& tag, bool inAll);
    QJsonObject Serialise(int doc) const;
    QJsonObject Finished(int index) const;

    std::vector<QJsonObject> m_els;
    QStringList m_texts;
    std::vector<Doc> m_docs;
    int m_current = 0;
    int m_openForm = -1;
};
