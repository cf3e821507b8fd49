#pragma once

#include <QString>

class QMimeData;

// The data of a drag that starts on a Link button, and what a drop on a Link button means.
//
// A Link button offers four formats: the address as text, the same as "UniformResourceLocator"
// (8-bit text), "BGFmtByte" ("<control index>::<address>::<caption>::cmdLink", 8-bit text) and an
// Internet shortcut file "<caption>.url" written for the drag into a private folder of the
// caller's. File managers copy that file after the drop, so it outlives the drag: the folder's
// owner removes it.
class LinkDrag {
public:
    static constexpr const char* kUrlFormat = "UniformResourceLocator";
    static constexpr const char* kLinkFormat = "BGFmtByte";
    // The browse window's own page picture: a drag of the visible page.
    static constexpr const char* kPageFormat = "application/x-bramblegate-page";

    // The shortcut file goes into `folder` (none without one).
    LinkDrag(int index, const QString& url, const QString& caption, const QString& folder);

    // A new data object with the four formats (the caller or the drag owns it).
    QMimeData* MimeData() const;

    // The visible page dragged from the window's page picture: its address as text and its title.
    static QMimeData* PageMimeData(const QString& url, const QString& title);

    // What a drop carries.
    struct Drop {
        enum Kind {
            None,       // nothing a Link button takes
            LinkButton, // another Link button: move it here
            Address     // an address from outside (http... or file://): make a Link of it
        };
        Kind kind = None;
        int sourceIndex = -1; // LinkButton: the dragged Link's control index
        QString url;          // Address
        QString pageTitle;    // Address from the page picture: the page's title
    };
    static Drop Parse(const QMimeData* data);

private:
    QString m_url;
    QString m_caption;
    int m_index;
    QString m_shortcut;
};
