#pragma once

#include <QString>

// What the form filler needs from the browse window. The filler itself keeps no state between
// parses; everything that outlives one parse lives here.
class FormFillerHost {
public:
    virtual ~FormFillerHost() = default;

    // The user stopped a navigation in the last few seconds (Links.NavigateStopped): no new
    // navigation is started for a frame then.
    virtual bool NavigateStopped() const = 0;
    // Loads url as the top-level page of the pane with this control index (a login frame from
    // another site, which cannot be filled in place). Its own DocumentComplete parses it.
    virtual void NavigatePane(int index, const QString& url) = 0;
    // The user's social security number option ("" when not set), for fields that ask for it.
    virtual QString SSN() const = 0;

    // The parse counter of the site whose login button works only on every second fill.
    virtual int SignInParseCount() const = 0;
    virtual void SetSignInParseCount(int count) = 0;

    // Around a submission by the Enter key, which goes to whatever has the keyboard focus:
    // remember the window's active control before the page's field is focused, and give it the
    // focus back afterwards unless it was a browser pane. The page actions (focus, Enter) reach
    // the page after the current event has been handled, so a restore that moves the real
    // keyboard focus is best done once they have been applied.
    virtual void RememberActiveControl() = 0;
    virtual void RestoreActiveControl() = 0;
};
