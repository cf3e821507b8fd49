#pragma once

#include <QString>

// What the View menu remembers for each user: which bars are shown and whether the toolbar
// buttons carry their captions. Stored as "True"/"False"; a new user sees everything.
struct ViewSettings {
    static constexpr const char* kButtons = "ViewButtons";
    static constexpr const char* kLinksBar = "ViewLinksBar";
    static constexpr const char* kStatusBar = "ViewStatusBar";
    static constexpr const char* kTextLabels = "ViewTextLabels";

    bool buttons = true;
    bool linksBar = true;
    bool statusBar = true;
    bool textLabels = true;

    static ViewSettings Load(const QString& user);
    // Stores one of the four values (kButtons ...) for the user.
    static void Save(const QString& user, const char* name, bool value);
};
