#pragma once

#include <QString>

// What the options dialog accepts in its fields, kept apart from the dialog so the rules can be
// read (and checked) without any window.
namespace OptionsRules {

// A number field: its accepted range and what the user is told otherwise.
struct NumberField {
    int min;
    int max;
    const char* message;
    const char* title;
};

inline constexpr NumberField kIdleMinutes{0, 60, "Please enter a value between 0 and 60", "Automatic Logout"};
inline constexpr NumberField kFreezeMinutes{0, 1440, "Please enter a value between 0 and 1440", "Idle Links"};
inline constexpr NumberField kDiscardMinutes{0, 1440, "Please enter a value between 0 and 1440",
                                             "Idle Links"};
inline constexpr NumberField kBookmarks{5, 200, "Please enter a value between 5 and 200", "Bookmarks"};
inline constexpr NumberField kHistoryItems{0, 200, "Please enter a value between 0 and 200", "History Items"};

// The whole number in `text` (blanks around it allowed) when it lies in the field's range.
bool AcceptNumber(const NumberField& field, const QString& text, int* value = nullptr);

// The SSN as typed: trimmed, without "-" and " ". `error` is empty when it is accepted (the
// empty text is), otherwise the message to show.
struct SsnCheck {
    QString cleaned;
    QString error;
};
SsnCheck CheckSSN(const QString& text);
inline constexpr const char* kSsnTitle = "Options - SSN";

// The help lines shown under the tabs while a field has the focus.
inline constexpr const char* kHelpHistoryItems =
    "Enter a number between 0 and 200. Please note the oldest items are automatically deleted.";
inline constexpr const char* kHelpBookmarks =
    "Enter a number between 5 and 200. Please note the oldest items are automatically deleted.";
inline constexpr const char* kHelpIdleMinutes =
    "Enter 0 to disable Automatic Logout, else enter a number between 1 and 60.";
inline constexpr const char* kHelpFreezeMinutes =
    "A Link not shown for this many minutes is paused: its page stops running until you show it. Enter 0 to "
    "never pause, else a number up to 1440.";
inline constexpr const char* kHelpDiscardMinutes =
    "A Link not shown for this many minutes lets its page go to free memory; it loads again when you show "
    "it. Enter 0 to never let go, else a number up to 1440.";
inline constexpr const char* kHelpSSN =
    "Filling-in this information is optional. You may complete it later if you have any login problem with "
    "any of your online accounts.";
inline constexpr const char* kHelpLinks = "Checking a box will block unsolicited PopUp windows from opening "
                                          "up. This will apply to all windows that "
                                          "are opened in the Tab for this Link.";
inline constexpr const char* kHelpSearchEngines =
    "The search engines of the Search tab, in this order. Each one's address holds %s where the searched "
    "words go.";
inline constexpr const char* kSearchEnginesTitle = "Search Engines";

} // namespace OptionsRules
