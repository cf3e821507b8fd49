#pragma once

#include <QtGlobal>

class BrowseHost;
class LinkButtonsPanel;
class Links;
class LinkView;
class NavigationBar;
class PaneArea;
class PaneShower;
class QObject;
class SearchPane;
class TabColours;
struct BrowseState;

// What the browse window's helpers (LinkControls, NavigationDriver, PageLoadTracker,
// LoginDecision, PopupPolicy) share: the user's Links, the pane area, the window's state and the
// host above the browse layer. `lifetime` is the window: their connections and delayed steps live
// as long as it; `windowHandle` is its identity for LastClickedWindow.
struct BrowseContext {
    Links& links;
    PaneArea& panes;
    BrowseState& state;
    BrowseHost& host;
    QObject& lifetime;
    quintptr windowHandle;
};

// The parts of the browse window on screen that the helpers drive: the navigation bar, the Link
// buttons, the sidebar's search pane (null: none), the tab colours, and the two window
// operations they use (showing a pane, the Link on show).
struct BrowseView {
    NavigationBar& navBar;
    LinkButtonsPanel& buttons;
    SearchPane* search;
    TabColours& tabs;
    PaneShower& shower;
    LinkView& view;
};
