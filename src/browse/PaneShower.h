#pragma once

#include <QString>

// What the browse window's helpers ask of the window about the Link on show: which one it is,
// bringing its pane (or the waiting page) to the front, and the caption, status text and history
// menu that follow it. The browse window implements it.
class PaneShower {
public:
    virtual ~PaneShower() = default;

    // The visible Link's control index, -1 when none.
    virtual int VisibleIndex() const = 0;
    bool IsVisibleLink(int i) const { return i >= 0 && VisibleIndex() == i; }
    // Makes Link i the visible one when it is to be and brings its pane to the front.
    virtual void ShowPane(int i) = 0;
    // Pane i (or the waiting page) in front, without changing which Link is visible.
    virtual void BringToFront(int i) = 0;
    // Keyboard focus to the visible page.
    virtual void EnsureAppFocus() = 0;
    // Panes whose Link logs in work behind the front one until the login is settled.
    virtual void RefreshWorkingPanes() = 0;
};

// The window's texts that follow the visible Link. The browse window implements it.
class LinkView {
public:
    virtual ~LinkView() = default;

    // The status text of the visible Link.
    virtual void SetStatusText(const QString& text) = 0;
    // The window caption: the visible Link's page title (or its caption).
    virtual void RefreshCaption() = 0;
    // Navigate, History: the visible Link's own history.
    virtual void RefreshHistoryMenu() = 0;
};
