#pragma once

#include <functional>
#include <QDateTime>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>

#include "browse/engine/PageModel.h"

class BrowserPane;
class QPrinter;
class QWidget;

// Command numbers of CommandStateChange.
namespace PaneCommand {
constexpr int Forward = 1;
constexpr int Back = 2;
} // namespace PaneCommand

// The Internet error codes NavigateError carries besides HTTP status codes.
namespace PaneError {
constexpr long CannotConnect = -2146697211L;  // host not found, connection refused, working offline
constexpr long ObjectNotFound = -2146697210L; // the addressed object (a local file) does not exist
} // namespace PaneError

// SetSecureLockIcon states.
namespace LockIcon {
constexpr int Unsecure = 0;
constexpr int Secure = 6; // https without a certificate error
} // namespace LockIcon

// ReadyState values.
namespace PaneReadyState {
constexpr int Uninitialized = 0; // never navigated
constexpr int Loading = 1;       // a navigation started, no document yet
constexpr int Interactive = 3;   // the new document is there and still loading
constexpr int Complete = 4;      // loaded (or stopped, or failed)
} // namespace PaneReadyState

// How much of a pane's page is kept while nobody looks at it: all of it, all with its scripts
// and timers stopped, or only its place (address, title, history, scroll position), the
// engine loading it again when it is shown.
enum class PaneIdle { Active, Frozen, Discarded };

// What the Properties command shows of the current document besides its address and title.
// Unknown values stay empty (or -1).
struct PageFacts {
    QString contentType;    // "text/html", "application/pdf", ...
    qint64 size = -1;       // bytes of the document as received
    QDateTime lastModified; // the date the server gave the document
    QDateTime loaded;       // when the document was loaded
};

// A server's (or a proxy's) sign-in box: the page waits until a handler answers, while the
// signal is being handled. Left unanswered, the sign-in is refused and the server's answer to
// that (its 401 or 407 page) shows.
struct SignInRequest {
    QString url;       // the address that asks
    QString realm;     // what the server calls the protected area
    QString proxyHost; // a proxy asks: its host; empty when the site itself asks
    QString userName;
    QString password;
    bool answered = false;

    bool IsProxy() const { return !proxyHost.isEmpty(); }
    void Answer(const QString& user, const QString& pass) {
        userName = user;
        password = pass;
        answered = true;
    }
};

// A page's own dialog (alert, confirm, prompt, or the question before leaving a page that has
// unsaved input). The page waits while the signal is handled. `accepted` is the answer of
// confirm, prompt and before-unload; left false they say no (prompt: cancelled).
struct PageDialogRequest {
    enum Kind { Alert, Confirm, Prompt, BeforeUnload };
    Kind kind = Alert;
    QString origin;       // the page's site ("https://www.example.com")
    QString message;      // the page's text (before-unload: the program's question)
    QString defaultValue; // prompt: the text the page offers
    QString value;        // prompt: the text answered
    bool accepted = false;
};

// What a site asks leave for. The engine answers none of them by itself: the pane asks through
// PermissionRequested and waits for AnswerPermission.
enum class SiteFeature {
    Notifications,
    Location,
    Microphone,
    Camera,
    CameraAndMicrophone,
    MouseLock,
    ScreenShare,
    ScreenShareWithAudio,
    FullScreen,
};

// Why a page's process went.
enum class PageEnd { Crashed, Killed, Abnormal };

// BeforeNavigate2: a handler sets `cancel` to stop the navigation.
struct NavigateEvent {
    QString url;
    bool topLevel = true;
    bool cancel = false;
};

// NewWindow2: a page asks for a new window. A handler either hands it to another pane
// (OpenIn: that pane then loads the new window's page and raises its events) or cancels it.
// Left unanswered, the new window is cancelled.
struct NewWindowEvent {
    QString url;                // the address the window is to load (may be empty)
    bool userInitiated = false; // a click or key press of the user caused it

    void OpenIn(BrowserPane* pane) { m_target = pane; }
    void Cancel() { m_target = nullptr; }
    BrowserPane* Target() const { return m_target; }
    bool Cancelled() const { return m_target == nullptr; }

private:
    BrowserPane* m_target = nullptr;
};

// One browser pane: the engine's events as signals and its members as methods, in the meaning
// the program's handlers expect. Handlers connect with direct connections (the default here)
// and may act synchronously: set NavigateEvent::cancel, answer NewWindowEvent, read Document()
// inside DocumentComplete.
//
// Event order for a top-level load: BeforeNavigate2 -> DownloadBegin -> NavigateComplete2 ->
// [frames: NavigateComplete2(frame) ... DocumentComplete(frame)] -> DownloadComplete ->
// DocumentComplete. A failed load raises NavigateError after DownloadBegin; when the engine
// shows its own error page, NavigateComplete2 for it follows NavigateError (IsErrorPage() is
// then true). A server's error page (404, 500 with a body) is committed first, so there
// NavigateComplete2 comes before NavigateError. A cancelled navigation raises nothing after
// BeforeNavigate2.
class BrowserPane : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(bool ok)>;

    explicit BrowserPane(QObject* parent = nullptr);
    ~BrowserPane() override;

    // Navigation.
    virtual void Navigate2(const QString& url) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    void GoHome() { Navigate2(HomePage()); }
    virtual void Stop() = 0;
    virtual void Refresh() = 0;
    void SetHomePage(const QString& url) { m_homePage = url; }
    QString HomePage() const { return m_homePage; }

    // State.
    virtual QString LocationURL() const = 0;
    // The page's title, or its address when it has none.
    virtual QString LocationName() const = 0;
    virtual int ReadyState() const = 0;
    virtual bool Busy() const = 0;
    // Back and Forward pass over the program's own pages (start, help and progress pages): they
    // are possible only when a site's page lies that way.
    virtual bool CanGoBack() const = 0;
    virtual bool CanGoForward() const = 0;
    // The last top-level load failed: the engine's error page, or a server's error answer.
    virtual bool IsErrorPage() const = 0;
    // The current document is HTML ("HTMLDocument"); false for a PDF, an image, ...
    virtual bool IsHtmlDocument() const = 0;
    QString DocumentTypeName() const;
    // This pane works offline (network loads blocked) on top of the program's offline switch.
    virtual void SetOffline(bool offline) = 0;
    // The web profile (cookies, site storage, cache) of the pane's pages: a Link's id for that
    // Link's own profile, empty for the user's shared one. A page that is open stays in its
    // profile until the pane next navigates (Navigate2, GoHome); a new window opened in the pane
    // brings its opener's profile with it.
    const QString& ProfileId() const { return m_profileId; }
    virtual void SetProfileId(const QString& id) { m_profileId = id; }
    // Texts the page logic looks for on this pane's pages besides its fixed words (a Link's
    // link to follow after its login): the snapshot sends what reads as one of them.
    const QStringList& SnapshotTexts() const { return m_snapshotTexts; }
    void SetSnapshotTexts(const QStringList& texts) { m_snapshotTexts = texts; }

    // The page. Document() is the last snapshot (taken just before DocumentComplete), or a
    // document without elements between a new page's NavigateComplete2 and its DocumentComplete;
    // null before anything was loaded. Writes to it are recorded as actions and applied to the
    // page, in order, as soon as the current event has been handled (or at ApplyActions).
    virtual DocumentPtr Document() const = 0;
    // Takes a new snapshot of the current page (a new generation) and hands it over.
    virtual void RefreshDocument(std::function<void(DocumentPtr)> done) = 0;
    // Applies the pending actions of a document now, in order. done(false) when they were
    // refused (the document is not the pane's current snapshot any more: the page navigated or
    // was snapshot again since), when an element they name has left the page, or when there is
    // no page. Refused actions are dropped.
    virtual void ApplyDocumentActions(const DocumentPtr& document, Done done = {}) = 0;
    void ApplyActions(Done done = {}) { ApplyDocumentActions(Document(), std::move(done)); }
    // Replaces the page's body with this markup (the "Please wait..." page); no events.
    virtual void SetBodyHtml(const QString& markup) = 0;
    // While on, PageChanged is raised when the page changes after its DocumentComplete without
    // a new document: the fields a person could fill (a login form built by script, a password
    // field shown after the user name), or its address (a script that moved on with
    // history.pushState). The next page ends it.
    virtual void WatchPage(bool on) = 0;

    // View: text size 0 (smallest) to 4 (largest), 2 = medium, and the zoom it stands for.
    virtual int TextSize() const { return m_textSize; }
    virtual void SetTextSize(int size);
    virtual bool CanPrint() const = 0;
    // Print and Print Preview with their dialogs; PrintTo prints without a dialog.
    virtual void Print() = 0;
    virtual void PrintPreview() = 0;
    virtual void PrintTo(QPrinter* printer, Done done) = 0;
    // Finds text in the page and selects it; done(found).
    virtual void FindText(const QString& text, bool backward, bool caseSensitive, Done done) = 0;
    // Saves the page as one HTML file.
    virtual void SavePage(const QString& path) = 0;
    // Facts about the current document (Properties). This default answers at once with what the
    // snapshot knows; the engine pane asks the page itself.
    virtual void ReadPageFacts(std::function<void(const PageFacts&)> done) const;
    enum EditCommand { Cut, Copy, Paste, SelectAll };
    virtual void Edit(EditCommand command) = 0;

    // The widget to put in a layout.
    virtual QWidget* Widget() = 0;

    // The zoom factor of a text size.
    static double ZoomForTextSize(int size);

    // --- zoom of this pane, in percent of the text size's zoom (100: as the text size says).
    int ZoomPercent() const { return m_zoomPercent; }
    // Clamped to the steps' range; raises ZoomChanged when the value changes.
    virtual void SetZoomPercent(int percent);
    // The zoom steps, as browsers offer them; the next one up (direction > 0) or down from
    // `percent`, staying at the ends.
    static int NextZoomPercent(int percent, int direction);
    static constexpr int kMinZoom = 25;
    static constexpr int kMaxZoom = 500;

    // --- what the page asks, besides navigating
    // A site's request of PermissionRequested, answered (the pane forgets unanswered ones when
    // the page goes).
    virtual void AnswerPermission(const QString& origin, SiteFeature feature, bool allow) = 0;
    // The page in full screen (a video, a game) leaves it.
    virtual void ExitFullScreen() {}
    // The certificate problem of CertificateError: go on to the site anyway (for this site, for
    // this run of the program) or stay off it.
    virtual void AcceptCertificate() = 0;
    virtual void RejectCertificate() = 0;
    // The current page was reached past a certificate error that the user let through; the
    // program never types credentials into such a page.
    virtual bool CertificateOverridden() const = 0;
    // After a crash or while the page does not respond: a fresh process for the page, which
    // loads its address again.
    virtual void RecoverPage() = 0;

    // Idle panes. A pane that is shown is always Active (showing it wakes it). SetIdle does
    // nothing to a pane without a page, or one on screen.
    virtual PaneIdle Idle() const { return PaneIdle::Active; }
    virtual void SetIdle(PaneIdle state) { Q_UNUSED(state); }
    // Whether the page holds what stopping or dropping it would cost the user: sound playing,
    // or form input not sent. Answers true when it cannot tell.
    virtual void AskKeepAwake(std::function<void(bool)> done) const { done(true); }

signals:
    void BeforeNavigate2(NavigateEvent& e);
    void NavigateComplete2(const QString& url, bool topLevel);
    void DownloadBegin();
    void DownloadComplete();
    void DocumentComplete(const QString& url, bool topLevel);
    // statusCode: the HTTP status, or PaneError::CannotConnect / PaneError::ObjectNotFound.
    void NavigateError(const QString& url, bool topLevel, long statusCode);
    void NewWindow2(NewWindowEvent& e);
    // command: PaneCommand::Forward or PaneCommand::Back.
    void CommandStateChange(int command, bool enable);
    void TitleChange(const QString& title);
    void SetSecureLockIcon(int state);
    void WindowClosing();
    // The page asks to move or resize its window (the size a script gave window.open, resizeTo,
    // moveTo): the wanted geometry of the page's area, in screen coordinates.
    void WindowSetRect(const QRect& geometry);
    // An uncaught script error of the top document.
    void ScriptError(const QString& description, const QString& url, int line);
    // One inside a frame of the page (an ad's, typically): not the page's own.
    void FrameScriptError(const QString& description, const QString& url, int line);
    void StatusTextChange(const QString& text);
    // The load's progress; 100 also when a frame that navigated by itself has loaded.
    void ProgressChange(int percent);
    // See WatchPage.
    void PageChanged();

    // FileDownload: the page's address (or a link in it) turned out to be a file to save; the
    // program's downloads take it from there.
    void FileDownload(const QString& url);
    // The server or a proxy asks for a user name and password; answer inside the handler.
    void AuthenticationRequired(SignInRequest& request);
    // alert, confirm, prompt, before-unload; answer inside the handler.
    void PageDialog(PageDialogRequest& request);
    // A site asks for a feature; answer with AnswerPermission, now or later. Canceled: the site
    // no longer asks (it went, or stopped waiting).
    void PermissionRequested(const QString& origin, SiteFeature feature);
    void PermissionRequestCanceled(const QString& origin, SiteFeature feature);
    // The page went in or out of full screen.
    void FullScreenChanged(bool on);
    // The site's certificate is not valid. The load waits for AcceptCertificate or
    // RejectCertificate; `overridable` false: only RejectCertificate is possible.
    void CertificateError(const QString& url, const QString& description, bool overridable);
    // The page's process ended; the pane is empty until RecoverPage (or a navigation). Every
    // page access waiting on it has been answered with failure.
    void PageCrashed(PageEnd reason);
    // The page has stopped answering (a script that never ends), or answers again.
    void PageUnresponsive(bool unresponsive);
    void ZoomChanged(int percent);
    // The pane was frozen, discarded, or woke up.
    void IdleChanged(PaneIdle state);

private:
    int m_zoomPercent = 100;
    QString m_homePage = QStringLiteral("about:blank");
    int m_textSize = 2;
    QString m_profileId;
    QStringList m_snapshotTexts;
};
