#pragma once

#include <QColor>

class LinkButtonsPanel;
class PagePicture;

// The Links' load states as the colours of their view buttons, and the page picture that shows
// the colour of the visible one.
class TabColours {
public:
    TabColours(LinkButtonsPanel& buttons, PagePicture& picture) : m_buttons(buttons), m_picture(picture) {}

    void Set(int i, const QColor& colour);
    QColor Of(int i) const;
    // The page picture takes the colour of tab i.
    void CopyToView(int i);
    QColor ViewColour() const;

private:
    LinkButtonsPanel& m_buttons;
    PagePicture& m_picture;
};
