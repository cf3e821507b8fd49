#pragma once

#include <QMenu>

class LinkControls;
struct BrowseState;

// The context menu of the Link buttons: Add Link, Edit Link and Remove Link, the last two for the
// Link the menu was opened on (BrowseState::contextLinkIndex).
class LinkButtonMenu : public QMenu {
    Q_OBJECT
public:
    LinkButtonMenu(LinkControls& controls, const BrowseState& state, QWidget* parent);

    // Add and Edit need the Link editor; without one they are disabled.
    void Popup(const QPoint& globalPos, bool hasEditor);
};
