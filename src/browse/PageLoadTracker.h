#pragma once

#include <QString>

#include "browse/engine/PageModel.h"
#include "browse/NavErrorHandler.h"

class BrowserPane;
class Link;
class BrowseHost;
struct BrowseState;
class BrowseWindow;
struct NavigateEvent;
struct NewWindowEvent;

// The engine events of the Link panes: keeps each Link's progress, tab colour, frame address,
// back/forward state, padlock and history in step with its pane, hands completed top-level
// documents to the login decision, and runs the two watchdogs (the parse time-out timer and the
// page-load duties of the busy timer). The placeholder pane's events are left alone.
class PageLoadTracker {
public:
    PageLoadTracker(BrowseWindow& window, BrowseHost& host, BrowseState& state);

    // Connects pane i's events to the handlers below (each under the window's error reporter).
    void Connect(int i, BrowserPane* pane);

    // --- handlers (i = control index of the pane)
    void BeforeNavigate2(int i, NavigateEvent& e);
    void NavigateComplete2(int i, const QString& url, bool topLevel);
    void DownloadBegin(int i);
    void DownloadComplete(int i);
    void DocumentComplete(int i, const QString& url, bool topLevel);
    void NavigateError(int i, const QString& url, bool topLevel, long statusCode);
    void NewWindow2(int i, NewWindowEvent& e);
    void CommandStateChange(int i, int command, bool enable);
    void SetSecureLockIcon(int i, int state);
    void TitleChange(int i, const QString& title);
    void ScriptError(int i, const QString& description, const QString& url, int line);
    void StatusTextChange(int i, const QString& text);
    void ProgressChange(int i, int percent);

    // --- operations
    void SetLinkProgress(int i, int value);
    // Asks again for the images of the document (and its readable frames) that have not loaded.
    void CheckDocImages(const DocumentPtr& document);
    // Whether an address can be shown while working offline: only the pages the program serves
    // itself (the offline switch blocks every network load, cached or not), and only while Work
    // Offline is ticked.
    bool FindIsPageAvailable(const QString& url);
    static QString StripFragment(const QString& url);
    static bool IsInLinkDomain(const QString& targetDomain, const QString& linkUrl);
    void UpdateLockIcon(int i);
    void SetWbrDoc(int i);
    // Records a completed page in the Link's history, the master history and the known addresses.
    void RecordPage(int i);
    // The site has answered the Link's login form: the Link is logged in. `committed`: the
    // answer is a new page just committed (a server's error answer may still undo it).
    void TakeLoginAnswer(int i, bool committed = false);

    // --- timers
    void OnParseTimeOut();
    void OnBusyTimer();

    // An address as it may go into a diagnostic log: without user name, password and query.
    static QString LogUrl(const QString& url);

private:
    bool Ignoring() const;

    BrowseWindow& w;
    BrowseHost& m_host;
    BrowseState& m_state;
    NavErrorHandler m_errors;
};
