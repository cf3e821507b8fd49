#pragma once

#include <memory>
#include <optional>
#include <QByteArray>
#include <QPointer>
#include <QPointF>
#include <QString>
#include <QUrl>

#include "browse/engine/BrowserPane.h"
#include "browse/engine/PaneDocument.h"

class QWebEngineLoadingInfo;
class QWebEngineNewWindowRequest;
class QWebEngineProfile;
class QWebEngineView;
class QWebEnginePage;
class WebEngineHostPage;
class PaneRequestInterceptor;

// The pane on the real engine (QWebEngineView / QWebEnginePage) in a profile of one Bramblegate
// user: the user's shared one, or a Link's own (ProfileId()).
//
// A pane that has never navigated has no engine page and costs no renderer process: the page
// is made on the first navigation to anything but "about:blank" (or by SetBodyHtml, or when a
// new window is opened in it). Navigating such a pane to "about:blank" is answered without the
// engine, after Navigate2 returns, with the whole event sequence of a load (BeforeNavigate2,
// which may cancel it, DownloadBegin, NavigateComplete2, DownloadComplete, DocumentComplete,
// all with "about:blank"); Document() is then an empty HTML document.
//
// Frames: their BeforeNavigate2 comes from the engine, their NavigateComplete2 when their
// document is created and their DocumentComplete when it has loaded (through a small script in
// the program's isolated world). Server redirects and same-document navigations (fragments)
// raise no BeforeNavigate2. NavigateError is only raised for the top level.
class WebEnginePane : public BrowserPane {
    Q_OBJECT
public:
    // The pane's profile is one of userName's (WebProfiles), resolved when the page is made.
    explicit WebEnginePane(const QString& userName, QObject* parent = nullptr);
    ~WebEnginePane() override;

    void Navigate2(const QString& url) override;
    void GoBack() override;
    void GoForward() override;
    void Stop() override;
    void Refresh() override;

    QString LocationURL() const override { return m_location; }
    QString LocationName() const override;
    int ReadyState() const override { return m_readyState; }
    bool Busy() const override { return m_busy; }
    bool CanGoBack() const override { return m_canGoBack; }
    bool CanGoForward() const override { return m_canGoForward; }
    bool IsErrorPage() const override { return m_errorPage; }
    bool IsHtmlDocument() const override { return m_html; }
    void SetOffline(bool offline) override;

    DocumentPtr Document() const override;
    void RefreshDocument(std::function<void(DocumentPtr)> done) override;
    void ApplyDocumentActions(const DocumentPtr& document, Done done = {}) override;
    void SetBodyHtml(const QString& markup) override;
    void WatchPage(bool on) override;

    void SetTextSize(int size) override;
    bool CanPrint() const override;
    void Print() override;
    void PrintPreview() override;
    void PrintTo(QPrinter* printer, Done done) override;
    void FindText(const QString& text, bool backward, bool caseSensitive, Done done) override;
    void SavePage(const QString& path) override;
    void ReadPageFacts(std::function<void(const PageFacts&)> done) const override;
    void Edit(EditCommand command) override;

    QWidget* Widget() override;

    // What the page asks besides navigating (WebEnginePaneRequests.cpp).
    void SetZoomPercent(int percent) override;
    void AnswerPermission(const QString& origin, SiteFeature feature, bool allow) override;
    void ExitFullScreen() override;
    void AcceptCertificate() override;
    void RejectCertificate() override;
    bool CertificateOverridden() const override;
    void RecoverPage() override;
    PaneIdle Idle() const override;
    void SetIdle(PaneIdle state) override;
    void AskKeepAwake(std::function<void(bool)> done) const override;
    // How long a page may leave a question unanswered before it counts as not responding.
    void SetUnresponsiveAfter(int ms);
    // The pane of an engine page (a download's, ...); null for a page of no pane.
    static WebEnginePane* FromPage(QWebEnginePage* page);
    // A download started from this pane's page: raises FileDownload.
    void NotifyFileDownload(const QString& url);

    // Whether the engine page exists yet, and the engine objects (null before that).
    bool HasEnginePage() const;
    QWebEnginePage* Page() const;
    QWebEngineView* View() const;
    QWebEngineProfile* Profile() const { return m_profile; }
    const QString& UserName() const { return m_user; }

    // Timings of the last snapshot, for benchmarks.
    using SnapshotStats = PaneDocument::SnapshotStats;
    const SnapshotStats& LastSnapshotStats() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class WebEngineHostPage;
    struct PageRequestState;

    void CreatePage(QWebEngineProfile* profile = nullptr);
    void DropPage();
    // Discarding lets the engine page, its view and its renderer go altogether, keeping what
    // brings it back in one load: its history (the current entry with it), title and scroll
    // position. Waking makes the page again in the pane's profile from them.
    void LetPageGo();
    void Wake();
    void NavigateBlankWithoutEngine();

    // From the engine page.
    bool OnAcceptNavigation(const QUrl& url, int type, bool isMainFrame);
    void OnConsoleMessage(int level, const QString& message, int line, const QString& source);
    void OnLoadingChanged(const QWebEngineLoadingInfo& info);
    void OnUrlChanged(const QUrl& url);
    void OnNewWindow(QWebEngineNewWindowRequest& request);
    void OnCommitted(const QString& url, const QString& contentType);
    void FinishLoad(const QString& url, bool failed, bool stopped);
    void UpdateCommandState();
    // The nearest history entry behind (step -1) or ahead (step 1) that is not one of the
    // program's own pages; -1: none. Back and Forward go there.
    int HistoryTarget(int step) const;
    void GoToHistoryEntry(int index);

    void AdoptNewWindow(QWebEngineNewWindowRequest& request, QWebEngineProfile* profile,
                        const QString& profileId);

    // The page's other requests (WebEnginePaneRequests.cpp).
    void ConnectPageRequests();
    bool OnPageDialog(PageDialogRequest& request);
    void OnRenderProcessTerminated(int status);
    void ProbeResponsiveness();
    void ShowFullScreen(bool on);
    // Answers every page access still waiting on the page (snapshots, actions) with failure.
    void FailPendingPageAccess();
    void ApplyZoom();

    QString m_user;
    QWebEngineProfile* m_profile = nullptr;
    QString m_pageProfileId; // the profile id the page was made in
    QPointer<QWidget> m_container;
    QPointer<QWebEngineView> m_view;
    QPointer<WebEngineHostPage> m_page;
    PaneRequestInterceptor* m_interceptor = nullptr;

    QString m_location;
    int m_readyState = PaneReadyState::Uninitialized;
    bool m_busy = false;
    bool m_errorPage = false;
    bool m_html = false;
    bool m_canGoBack = false;
    bool m_canGoForward = false;

    // The load being tracked.
    bool m_loadActive = false;   // DownloadBegin raised, DownloadComplete not yet
    bool m_committed = false;    // NavigateComplete2 raised for it
    bool m_errorCommit = false;  // the engine's error page was committed; its NC2 waits
    QString m_commitType;        // content type of the committed document
    QList<QUrl> m_announced;     // top-level navigations BeforeNavigate2 let through
    QList<QUrl> m_cancelled;     // top-level navigations a handler cancelled (their signals are dropped)
    bool m_internalLoad = false; // SetBodyHtml's own page load: no events
    bool m_watching = false;     // WatchPage is on for the current page
    int m_navSerial = 0;         // changes with every top-level navigation

    QString m_lastFind;
    bool m_lastFindCaseSensitive = false;
    std::unique_ptr<PageRequestState> m_requests;
    // The snapshot of the page and the actions applied to it; its generation changes with every
    // snapshot and every navigation.
    std::unique_ptr<PaneDocument> m_document;

    struct LetGoPage {
        QByteArray history;
        QString title;
        QPointF scroll;
    };
    std::optional<LetGoPage> m_letGo;         // set while discarded
    std::optional<QPointF> m_scrollAfterWake; // for the first load after waking
};
