#pragma once

#include <QString>

// What the search pane needs from the browse window that shows it.
class SearchPaneHost {
public:
    virtual ~SearchPaneHost() = default;
    // Sends an address to the visible Link's pane with a navigate mode (4 for a search result).
    virtual void Nav2Visible(const QString& url, int navigateMode) = 0;
    // The browse window's identity for the user's click credit (App().LastClickedWindow).
    virtual quintptr WindowHandle() const = 0;
};
