#pragma once

#include <QString>

#include "browse/BrowseContext.h"
#include "browse/engine/PageModel.h"
#include "browse/NavErrorHandler.h"

class BrowserPane;
class Link;
class Links;
class LinkControls;
class LinkView;
class LoginDecider;
class NavigationBar;
class NavigationDriver;
class NewWindowPolicy;
class PageRecorder;
class PaneArea;
class PaneShower;
class QObject;
class TabColours;
class BrowseHost;
struct BrowseState;
struct NavigateEvent;
struct NewWindowEvent;

// The engine events of the Link panes: keeps each Link's progress, tab colour, frame address,
// back/forward state, padlock and history in step with its pane, hands completed top-level
// documents to the login decision, and runs the two watchdogs (the parse time-out timer and the
// page-load duties of the busy timer). The placeholder pane's events are left alone.
class PageLoadTracker {
public:
    // The panes' events are connected for as long as `context.lifetime` lives.
    PageLoadTracker(const BrowseContext& context, const BrowseView& view, NavigationDriver& navigation,
                    LinkControls& controls, PageRecorder& recorder);

    // The login decision; without one every completed document goes on to the image check.
    void SetLoginDecider(LoginDecider* decider) { m_loginDecider = decider; }
    // The answer to new windows of the Link panes (null: they are cancelled).
    void SetPopupPolicy(NewWindowPolicy* policy) { m_popupPolicy = policy; }

    // Connects pane i's events to the handlers below (each under the window's error reporter).
    void Connect(int i, BrowserPane* pane);

    // --- handlers (i = control index of the pane)
    void BeforeNavigate2(int i, NavigateEvent& e);
    void NavigateComplete2(int i, const QString& url, bool topLevel);
    void DownloadBegin(int i);
    void DownloadComplete(int i);
    void DocumentComplete(int i, const QString& url, bool topLevel);
    void NavigateError(int i, const QString& url, bool topLevel, long statusCode);
    // The navigation turned out to be a file to save.
    void FileDownload(int i);
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
    // A loaded page settles its Link's tab colour (light yellow to yellow, light green to green
    // while logged in).
    void SettleTabColour(int i, const Link& link);

    Links& m_links;
    PaneArea& m_panes;
    NavigationBar& m_navBar;
    TabColours& m_tabs;
    PaneShower& m_shower;
    LinkView& m_view;
    NavigationDriver& m_navigation;
    LinkControls& m_controls;
    PageRecorder& m_recorder;
    QObject& m_context;
    quintptr m_windowHandle;
    LoginDecider* m_loginDecider = nullptr;
    NewWindowPolicy* m_popupPolicy = nullptr;
    BrowseHost& m_host;
    BrowseState& m_state;
    NavErrorHandler m_errors;
};
