#pragma once

#include <QObject>

#include "browse/BrowseContext.h"
#include "browse/IdlePanes.h"
#include "browse/PaneArea.h"

class BrowserPane;
class PageLoadTracker;

// Makes the pane of each Link (and the placeholder) and wires it: its web profile (the Link's own, or the
// user's shared one when the Link shares its cookies), its engine events to the page-load tracker, the page's
// requests (the Link's own sign-in box, a notice that needs the user, a page whose process
// went), its zoom, its idle state on the Link's view button, and the user's home page when it
// changes. It is also what the idle panes
// ask: which panes are on screen and which must stay awake.
class LinkPanes : public QObject, public IdlePanes::Host {
    Q_OBJECT
public:
    LinkPanes(const BrowseView& view, PaneArea& panes, PaneFactory factory, BrowseHost& host,
              BrowseState& state);

    // Once the Links are read: the panes bind to them and report to the tracker (pane 0, made
    // before, is connected now).
    void Attach(Links& links, PageLoadTracker& tracker);

    // Makes pane i (offline as the program is, navigated to "about:blank", behind the others)
    // and connects its events; the existing one when it is there.
    BrowserPane* CreatePane(int i);
    // Makes the placeholder pane, navigated to "about:blank".
    BrowserPane* CreatePlaceholder();
    // Pane i works in its Link's web profile.
    void BindPaneProfile(int i);
    // Pane i's page process went: the Link's login starts again with the next load.
    void PageLost(int i);

    // IdlePanes::Host
    int PaneCount() const override;
    BrowserPane* PaneAt(int index) const override;
    bool PaneOnScreen(int index) const override;
    bool PaneMustStayAwake(int index) const override;

private:
    void ConnectPageRequests(int i, BrowserPane* pane);

    BrowseView m_view;
    PaneArea& m_panes;
    PaneFactory m_factory;
    BrowseHost& m_host;
    BrowseState& m_state;
    Links* m_links = nullptr;
    PageLoadTracker* m_tracker = nullptr;
};
