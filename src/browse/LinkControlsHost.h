#pragma once

class BrowserPane;
class Link;
class QDrag;
class QPoint;

// What the Link controls ask of the window they work in: the panes it makes, the Link editor,
// the buttons' context menu and drags. The browse window implements it.
class LinkControlsHost {
public:
    virtual ~LinkControlsHost() = default;

    // Makes pane i (the existing one when it is there) and connects its events.
    virtual BrowserPane* CreatePane(int i) = 0;
    virtual void ReleasePane(int i) = 0;
    // Pane i works in its Link's web profile.
    virtual void BindPaneProfile(int i) = 0;
    virtual bool HasLinkEditor() const = 0;
    // `link` null: "Add Link".
    virtual void OpenLinkEditor(const Link* link) = 0;
    virtual void ShowContextMenu(const QPoint& globalPos) = 0;
    // Runs a drag to its end.
    virtual void RunDrag(QDrag& drag) = 0;
};
