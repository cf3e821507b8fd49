#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>

// Module text of the browse window's error reports.
inline constexpr const char* kBrowseModule = "Bramblegate.frmBrowse";
// Links one lifetime of the browse window can hold (control indexes 0 to 100).
inline constexpr int kMaxBrowseLinks = 101;

// What several parts of the browse window read and write, in one place. Owned by the window,
// which hands it to its parts.
struct BrowseState {
    // Control index of the Link button last pressed; -1 when none (the context menu's Add inserts
    // before it, Edit and Remove act on it).
    int contextLinkIndex = -1;
    // Options, Hide Pop-Ups: whether the window's pop-up blocking is switched on.
    bool hidePopUps = true;
    // A drag of a Link button has started: the mouse-up that ends it opens nothing.
    bool dragPending = false;
    // The current sidebar tab: 0 Links, 1 Favorites, 2 Search.
    int sideBarTab = 0;

    // A navigation has been started by the window (page-load tracking waits for it before it
    // believes the engine's padlock reports).
    bool navigationStarted = false;
    // Load has run to its end.
    bool finishedLoading = false;
    // The start-up navigation of the Links marked to load at start has run.
    bool startUpNavigationDone = false;
    // A top-level navigation of the visible Link is under way (set by BeforeNavigate2, cleared by
    // DownloadBegin and the parse time-out timer).
    bool topLevelNavigationPending = false;
    // The next new window of a Link pane opens without the pop-up test (the navigation stayed on
    // the pane's own site).
    bool AllowNextNewWindow = false;
    // Link panes asked to show a new page (by the window, or announced by the engine) that has
    // not been committed yet: a DocumentComplete arriving meanwhile is the page being left.
    QSet<int> awaitingCommit;

    // A deferred login-form parse: when it was asked for (null: none) and for which pane.
    QDateTime ParseAt;
    int ParseIndex = -1;
    // Parse counter of the one site whose submit button must be pressed on every second parse.
    int signInParseCount = 0;
    // The pane whose load under way was taken as the answer to a login form (its
    // NavigateComplete2 turned PasswordSent into LoggedIn); -1: none. A server's error answer
    // is committed before its error is known, and then undoes that.
    int loginAnswerPane = -1;

    // The status text shown for the visible Link, and its progress.
    QString statusText;
    int browseProgress = 0;
    // The pane whose document is the window's current one (its script errors are shown); -1: none.
    int currentDocumentPane = -1;
    // The details of the last script error of the current document ("Line: ..."); empty: none.
    QString scriptErrorTag;
};
