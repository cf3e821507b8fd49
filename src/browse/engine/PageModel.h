#pragma once

#include <functional>
#include <memory>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

class DomDocument;
class PageModel;

// One change the program makes to a page, recorded by the page model and applied later by the
// pane, in order, to the snapshot it came from.
struct PageAction {
    enum Kind {
        SetValue,     // element's value = text, then `input` and `change` events
        SetSelected,  // an OPTION's selected = flag
        Focus,        // element.focus()
        Click,        // element.click()
        CallOnSubmit, // the FORM's submit handlers run (the form is not submitted by this)
        FireChange,   // a `change` event on the element (a SELECT's onchange)
        SetSrc,       // element's src = text (an image asked for again)
        PressEnter,   // a real Enter key press to whatever has the page's focus
        Navigate,     // the pane navigates to text
    };
    Kind kind;
    int element = -1; // reference in the snapshot, -1 for PressEnter and Navigate
    QString text;
    bool flag = false;

    // For test output: the kind and the element, never the text (it may be a password).
    QString Describe() const;
    bool operator==(const PageAction&) const = default;
};

// An element of a page snapshot, with the properties the page logic reads, presented as the
// program expects them: nodeName in upper case, type in lower case as the engine normalises it.
// Only elements of interest are in a snapshot (INPUT, SELECT, OPTION, TEXTAREA, A, AREA,
// BUTTON, IMG, FRAME, IFRAME, FORM), plus the first child of an anchor or button (which may be
// a text node: nodeName "#text", its text in innerText). Properties that do not apply are empty.
//
// Writes change the model at once, so later reads see them, and record an action for the pane.
class DomElement {
public:
    const QString& nodeName() const { return m_nodeName; }
    const QString& tagName() const { return m_nodeName; }
    const QString& type() const { return m_type; }
    const QString& name() const { return m_name; }
    const QString& id() const { return m_id; }
    const QString& value() const { return m_value; }
    const QString& innerText() const { return m_innerText; }
    const QString& innerHTML() const { return m_innerHTML; }
    const QString& outerHTML() const { return m_outerHTML; }
    const QString& href() const { return m_href; }
    // The host of href; for a "javascript:" link the text after "javascript:".
    const QString& hostname() const { return m_hostname; }
    const QString& alt() const { return m_alt; }
    const QString& src() const { return m_src; }
    // The inline onclick attribute (for a SELECT, its onchange attribute).
    const QString& onclick() const { return m_onclick; }
    bool selected() const { return m_selected; }
    // Images: "complete" once loaded, else "loading". Other elements: "complete".
    QString readyState() const;

    // What a person sees of a control. shown(): rendered, visible and on the page (true for
    // elements whose look the snapshot does not judge).
    bool shown() const { return !m_hidden; }
    bool disabled() const { return m_disabled; }
    bool readOnly() const { return m_readOnly; }
    // The type as the page wrote it where type() presents a text-like one as "text" ("email",
    // "tel", "number"); else the same as type().
    const QString& htmlType() const { return m_htmlType.isEmpty() ? m_type : m_htmlType; }
    const QString& autocomplete() const { return m_autocomplete; }
    const QString& placeholder() const { return m_placeholder; }
    // The control's name where it stands: its <label>s' text, else its aria-label or title.
    const QString& label() const { return m_label; }
    const QString& role() const { return m_role; }
    // A span, div, ... taken as a control because its own text reads as a sign-in word.
    bool isTextControl() const { return m_textControl; }
    // A FORM made for a login without a <form>: the inputs outside any form with the controls
    // near them. It has no element in the page (no reference) and no submit handler.
    bool isImplicitForm() const { return m_implicit; }

    // Number of child elements (children.length), whether or not they are in the snapshot.
    int childElementCount() const { return m_childCount; }
    // A SELECT's child elements (its OPTIONs) in order; empty for other elements.
    const QList<DomElement*>& children() const { return m_children; }
    // The first child node; whitespace-only text does not count. Null when none.
    DomElement* firstChild() const { return m_firstChild; }
    // innerText of the parent's parent element, for password fields (empty for other elements
    // and when there is none).
    const QString& parentParentText() const { return m_parentParentText; }
    // The form holding this element (null when none), and the document.
    DomElement* form() const { return m_form; }
    DomDocument* ownerDocument() const { return m_document; }

    // FORM only: the elements of interest inside it in document order, and its onsubmit
    // handler as text: "function anonymous() { <attribute text> }" for an inline handler,
    // empty when there is none.
    const QList<DomElement*>& elements() const { return m_elements; }
    QString onsubmit() const;

    // Reference of the element in its snapshot (stable while the snapshot is current); -1 for
    // a text node.
    int ref() const { return m_ref; }
    bool isText() const { return m_nodeName == QLatin1String("#text"); }

    // Writes.
    void SetValue(const QString& value);
    // For an OPTION of a single-choice list, selecting one deselects the others (as the
    // engine does); the list's value follows.
    void SetSelected(bool selected);
    void SetSrc(const QString& src);
    void Focus();
    void Click();
    void CallOnSubmit();
    void FireChange();

private:
    friend class PageModel;
    void Record(PageAction::Kind kind, const QString& text = {}, bool flag = false);

    PageModel* m_model = nullptr;
    DomDocument* m_document = nullptr;
    DomElement* m_form = nullptr;
    DomElement* m_firstChild = nullptr;
    DomElement* m_parent = nullptr; // a SELECT for its OPTIONs
    int m_ref = -1;
    int m_childCount = 0;
    bool m_selected = false;
    bool m_complete = true;
    bool m_hidden = false, m_disabled = false, m_readOnly = false, m_textControl = false, m_implicit = false;
    QString m_nodeName, m_type, m_name, m_id, m_value, m_innerText, m_innerHTML, m_outerHTML;
    QString m_href, m_hostname, m_alt, m_src, m_onclick, m_onsubmit, m_parentParentText;
    QString m_htmlType, m_autocomplete, m_placeholder, m_label, m_role;
    QList<DomElement*> m_children;
    QList<DomElement*> m_elements;
};

// A frame of a document: the FRAME or IFRAME element, its name and address, and its document
// when it could be read (same origin); null for a frame of another site.
struct DomFrame {
    QString name;
    QString src;
    DomElement* element = nullptr;
    DomDocument* document = nullptr;
};

// One document of a snapshot (the page, or one of its frames).
class DomDocument {
public:
    const QString& URL() const { return m_url; }
    const QString& domain() const { return m_domain; }
    // "HyperText Transfer Protocol" (http), "HyperText Transfer Protocol with Privacy" (https),
    // "File Protocol" (file), otherwise "Unknown Protocol".
    QString protocol() const;
    const QString& title() const { return m_title; }
    const QString& contentType() const { return m_contentType; }
    // "HTMLDocument" for an HTML page; another name for anything else (a PDF, an image).
    QString typeName() const;
    bool isHtml() const;
    bool hasBody() const { return m_hasBody; }
    // Whether the body holds anything at all (its innerHTML is not empty).
    bool bodyHasContent() const { return m_bodyContent; }

    // The forms in document order, then the implicit form of the inputs outside any form when
    // the page has such inputs (see DomElement::isImplicitForm).
    const QList<DomElement*>& forms() const { return m_forms; }
    // body.all restricted to the elements of interest, in document order.
    const QList<DomElement*>& all() const { return m_all; }
    const QList<DomElement*>& links() const { return m_links; }
    const QList<DomElement*>& images() const { return m_images; }
    // Each script's text (innerHTML), in document order.
    const QStringList& scripts() const { return m_scripts; }
    const QList<DomFrame>& frames() const { return m_frames; }
    // The document whose frame this is; null for the page itself.
    DomDocument* parentDocument() const { return m_parent; }

    // The first element of all() with this id (empty id: null).
    DomElement* getElementById(const QString& id) const;
    // Elements of all() with this nodeName (upper case), in order.
    QList<DomElement*> getElementsByTagName(const QString& nodeName) const;

    // Page-wide actions: a real Enter key press, and navigating the pane.
    void PressEnter();
    void Navigate(const QString& url);

    PageModel& model() const { return *m_model; }
    int generation() const;

private:
    friend class PageModel;
    PageModel* m_model = nullptr;
    DomDocument* m_parent = nullptr;
    bool m_hasBody = false, m_bodyContent = false;
    QString m_url, m_domain, m_title, m_contentType;
    QList<DomElement*> m_forms, m_all, m_links, m_images;
    QStringList m_scripts;
    QList<DomFrame> m_frames;
};

using DocumentPtr = std::shared_ptr<DomDocument>;

// A whole snapshot: the page's document and its frames, every element by reference, and the
// actions recorded since. Built from the snapshot script's JSON (or from the test page builder's
// JSON in tests); the elements never move while the model lives.
class PageModel : public std::enable_shared_from_this<PageModel> {
public:
    // Parses the snapshot JSON (UTF-8, or the text as the engine hands it over). Returns null
    // (and the reason in *error) when it is not one.
    static std::shared_ptr<PageModel> FromJson(const QByteArray& json, QString* error = nullptr);
    static std::shared_ptr<PageModel> FromJson(QStringView json, QString* error = nullptr);
    // A model with an empty document at `url` (a page that has no engine page behind it).
    static std::shared_ptr<PageModel> Empty(const QString& url, int generation = 0);

    PageModel(const PageModel&) = delete;
    PageModel& operator=(const PageModel&) = delete;

    int generation() const { return m_generation; }
    DomDocument* document() const { return m_documents.empty() ? nullptr : m_documents.front().get(); }
    // The page's document, sharing the ownership of this model.
    DocumentPtr documentPtr();
    // Elements and text nodes of the snapshot.
    int elementCount() const { return int(m_elements.size()); }
    // The element with this reference (text nodes have none).
    DomElement* element(int ref) const;
    // All documents: the page first, then its frames depth-first in document order.
    std::vector<DomDocument*> documents() const;

    // Actions recorded and not yet taken by the pane.
    const QList<PageAction>& pendingActions() const { return m_pending; }
    QList<PageAction> TakeActions();
    void Record(PageAction action);
    // Called once for the first action recorded after the list was empty (the pane uses it to
    // apply the actions when the current event has been handled).
    void SetActionListener(std::function<void()> listener) { m_listener = std::move(listener); }

private:
    PageModel() = default;
    struct Parser;

    int m_generation = 0;
    std::vector<DomElement> m_elements;
    std::vector<std::unique_ptr<DomDocument>> m_documents;
    QList<PageAction> m_pending;
    std::function<void()> m_listener;
};
