#pragma once

#include <QString>

class BrowseWindow;

// A navigation of a Link's pane that failed: the Link is marked (which tells the browse window,
// so a login stops waiting), the failure goes to the error log with a readable explanation of
// its code, and the Link's progress is reset. The engine's own error page then shows.
class NavErrorHandler {
public:
    explicit NavErrorHandler(BrowseWindow& window);

    // i: the pane's control index; statusCode: an HTTP status or one of PaneError's codes.
    void NavigateError(int i, const QString& url, bool topLevel, long statusCode);

private:
    BrowseWindow& w;
};
