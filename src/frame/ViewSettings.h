#pragma once

#include <QString>

#include "core/StoredNames.h"

// What the View menu remembers for each user: which bars are shown and whether the toolbar
// buttons carry their captions. Stored as "True"/"False"; a new user sees everything.
struct ViewSettings {
    static constexpr stored::Value<bool> kButtons = stored::user::kViewButtons;
    static constexpr stored::Value<bool> kLinksBar = stored::user::kViewLinksBar;
    static constexpr stored::Value<bool> kStatusBar = stored::user::kViewStatusBar;
    static constexpr stored::Value<bool> kTextLabels = stored::user::kViewTextLabels;

    bool buttons = true;
    bool linksBar = true;
    bool statusBar = true;
    bool textLabels = true;

    static ViewSettings Load(const QString& user);
    // Stores one of the four values (kButtons ...) for the user.
    static void Save(const QString& user, const stored::Value<bool>& value, bool shown);
};
