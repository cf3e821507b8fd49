#pragma once

#include <QString>

#include "core/UrlUtils.h"

class Links;

// What the favorites tree needs from the browse window that shows it.
class FavoritesHost {
public:
    virtual ~FavoritesHost() = default;
    // The logged-in user's Links (the remembered folder, the stop flag); null before they are
    // loaded.
    virtual Links* FavoritesLinks() = 0;
    // Sends an address to the visible Link's pane with a navigate mode (6 for a favorite).
    virtual void Nav2Visible(const QString& url, int navigateMode) = 0;
    // The page in the visible Link's pane: its title and address (both empty when there is none).
    virtual core::PageLocation VisiblePage() const = 0;
};
