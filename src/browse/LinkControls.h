#pragma once

#include <memory>
#include <QList>
#include <QPoint>
#include <QString>

#include "browse/BrowseContext.h"

class Link;
class Links;
class LinkButtonsPanel;
class LinkControlsHost;
class NavigationDriver;
class PaneArea;
class PaneShower;
class QMimeData;
class QTemporaryDir;
class QTimer;
class BrowseHost;
struct BrowseState;

// The Link buttons of the browse window and what the user does with them: making and placing
// the buttons and panes of the Links, the Links menu's Edit and Remove lists, adding, updating,
// removing, sorting and moving Links, and the buttons' mouse, drag and drop handling.
class LinkControls {
public:
    // `dragStartTimer` tells a press that starts a drag from a click.
    LinkControls(const BrowseContext& context, const BrowseView& view, LinkControlsHost& window,
                 NavigationDriver& navigation, QTimer& dragStartTimer);
    ~LinkControls();

    // --- controls
    void LoadControls();
    // Makes the controls of Link i + 1 (button, view button, pane; pane 0 exists already).
    // `loading`: during Load (the buttons are placed once at the end).
    void LoadControl(int i, bool loading);
    // The controls of a Link inserted before another one.
    void LoadDynaControl(int i);
    // Hides and releases the controls of a removed Link.
    void UnloadDynaControl(int i);
    // Places every button by its ControlOrder, marks the visible Link's, refits the captions.
    void RefreshButtons();
    // Links.LinksPerPage, LinkAtTop and LinkAtBottom from the sidebar's scrolling.
    void RefreshScrolling();
    void RefreshmnuLinksEditRemove();

    // --- Links
    Link* AddLink(const QString& caption, const QString& url, const QString& userName, const QString& pw,
                  const QString& selectOption, const QString& navigateAfterLogin, bool autoNavigate,
                  bool reqLogin);
    Link* UpdateLink(int index, const QString& caption, const QString& url, const QString& userName,
                     const QString& pw, const QString& selectOption, const QString& navigateAfterLogin,
                     bool autoNavigate, bool reqLogin);
    // Removes the Link of control index i after asking, and then its web data (cookies, site
    // storage, cache).
    void RemoveLink(int i);
    // Opens the editor for the Link of control index i, or to add one (i = -1: at the end).
    void EditLink(int i);
    void AddLinkDialog();
    void SortButtons();
    // Puts Link button `from` at the place of button `to` and saves the order.
    void MoveLink(int from, int to);
    // Whether another Link fits in this lifetime of the window; tells the user when not.
    bool CanAddLink() const;

    // Captions taken from pages: one line, no runs of blanks, not too long.
    static QString CleanCaption(const QString& text);
    // The button caption of Link i, fitted to its button.
    void SetButtonCaption(int i);

    // --- mouse and keyboard on a Link button (control index i)
    void OnLinkMouseDown(int i, Qt::MouseButton button, const QPoint& globalPos = {});
    void OnLinkMouseMove(int i, const QPoint& globalPos = {}, Qt::MouseButtons buttons = Qt::NoButton);
    void OnLinkMouseUp(int i, Qt::MouseButton button, const QPoint& globalPos);
    // The drag-start timer ran out while the left button was held: the drag begins as soon as the
    // mouse moves (at once when it has moved already). A long press without moving stays a click.
    void OnDragStartTimer();
    // A press that has become a click (or a Link opened otherwise) starts no drag.
    void StopDragStart();
    void OnViewClicked(int i);
    void OnLinkDrop(int i, const QMimeData* data);
    // The tool tip of Link i's button ("Load " / "Reload ", "and login to ", caption).
    QString LinkToolTip(int i) const;

    // Whether Link i has been opened in this run (its view button shows).
    bool ViewShown(int i) const;
    void SetViewShown(int i, bool shown);

private:
    // The buttons as the Links are after a refused save.
    void ShowStoredOrder();
    void StartDrag(int i);
    void ForgetWebData(const Link& link);
    bool Moved() const;

    Links& m_links;
    LinkButtonsPanel& m_buttons;
    PaneArea& m_panes;
    LinkControlsHost& m_controlsHost;
    PaneShower& m_shower;
    NavigationDriver& m_navigation;
    QTimer& m_dragStartTimer;
    BrowseHost& m_host;
    BrowseState& m_state;
    int m_dragIndex = -1;
    bool m_dragArmed = false;
    QPoint m_pressAt;
    QPoint m_mouseAt;
    QList<bool> m_viewShown;
    // The shortcut files of drags: file managers copy them after the drop, so they stay while
    // the window lives (made at the first drag).
    std::unique_ptr<QTemporaryDir> m_dragFolder;
};
