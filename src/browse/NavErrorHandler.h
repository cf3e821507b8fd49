#pragma once

#include <QString>

class Links;
class PageLoadTracker;
class PaneArea;
struct BrowseState;

// A navigation of a Link's pane that failed: the Link is marked (which tells the browse window,
// so a login stops waiting), the failure goes to the error log with a readable explanation of
// its code, and the Link's progress is reset. The engine's own error page then shows.
class NavErrorHandler {
public:
    NavErrorHandler(Links& links, PaneArea& panes, PageLoadTracker& tracker, BrowseState& state);

    // i: the pane's control index; statusCode: an HTTP status or one of PaneError's codes.
    void NavigateError(int i, const QString& url, bool topLevel, long statusCode);

private:
    Links& m_links;
    PaneArea& m_panes;
    PageLoadTracker& m_tracker;
    BrowseState& m_state;
};
