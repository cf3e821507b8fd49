#pragma once

#include <QList>
#include <QPointer>
#include <QStringList>

#include "browse/engine/BrowserPane.h"

// A scriptable pane for tests of the browse logic: the test raises the engine's events, sets
// what the members report, and reads back what the program asked of the pane (navigations,
// applied page actions, other calls). Nothing loads by itself.
//
// Page actions written to Document() are applied (recorded in appliedActions()) when the Raise
// call that handed the document to the handlers returns, or at the next turn of the event loop,
// or at ApplyActions(), as a real pane would. Actions of a document that is no longer the
// pane's Document() are dropped.
class FakePane : public BrowserPane {
    Q_OBJECT
public:
    explicit FakePane(QObject* parent = nullptr);
    ~FakePane() override;

    // ---- what the members report
    void SetLocation(const QString& url, const QString& name = {});
    void SetErrorPage(bool errorPage) { m_errorPage = errorPage; }
    void SetHtmlDocument(bool html) { m_html = html; }
    void SetCanPrint(bool can) { m_canPrint = can; }
    // The page model Document() returns (null: no document).
    void SetDocument(DocumentPtr document);

    // ---- raising events; each returns after the handlers ran
    // Returns true when a handler cancelled the navigation.
    bool RaiseBeforeNavigate2(const QString& url, bool topLevel = true);
    void RaiseNavigateComplete2(const QString& url, bool topLevel = true);
    void RaiseDownloadBegin();
    void RaiseDownloadComplete();
    void RaiseDocumentComplete(const QString& url, bool topLevel = true);
    // Returns the event as the handlers left it (target() / cancelled()).
    NewWindowEvent RaiseNewWindow2(const QString& url, bool userInitiated);
    void RaiseCommandStateChange(int command, bool enable);
    void RaiseTitleChange(const QString& title);
    void RaiseSetSecureLockIcon(int state) { emit SetSecureLockIcon(state); }
    void RaiseWindowSetRect(const QRect& geometry) { emit WindowSetRect(geometry); }
    void RaisePageChanged();
    // The page's other requests; each returns the request as the handlers answered it.
    SignInRequest RaiseAuthenticationRequired(const QString& url, const QString& realm,
                                              const QString& proxyHost = {});
    PageDialogRequest RaisePageDialog(PageDialogRequest::Kind kind, const QString& message,
                                      const QString& defaultValue = {});
    void RaisePermissionRequested(const QString& origin, SiteFeature feature) {
        emit PermissionRequested(origin, feature);
    }
    void RaisePageCrashed(PageEnd reason = PageEnd::Crashed) { emit PageCrashed(reason); }
    void RaiseFileDownload(const QString& url) { emit FileDownload(url); }
    // What AskKeepAwake answers (sound, or input not sent).
    void SetKeepAwake(bool keep) { m_keepAwake = keep; }
    // Actions wait, as on an engine busy with many pages, until ReleaseActions applies them and
    // answers whoever waited for them.
    void HoldActions() { m_holding = true; }
    void ReleaseActions();

    // A whole top-level load as the engine raises it: BeforeNavigate2, DownloadBegin, (the
    // location, document and title are set) NavigateComplete2, DownloadComplete,
    // DocumentComplete. Stops after a cancel and returns false. A null document gives an
    // empty HTML document at url.
    bool SimulateLoad(const QString& url, DocumentPtr document = {}, const QString& title = {});

    // ---- what the program asked
    // Addresses given to Navigate2 (GoHome gives the home page, a Navigate action its address).
    const QStringList& navigations() const { return m_navigations; }
    const QList<PageAction>& appliedActions() const { return m_applied; }
    // Other calls by name: "GoBack", "GoForward", "Stop", "Refresh", "SetBodyHtml", "Print",
    // "PrintPreview", "PrintTo", "FindText", "SavePage", "Edit", "RefreshDocument", "SetOffline",
    // "AcceptCertificate", "RejectCertificate", "RecoverPage", "ExitFullScreen", and
    // "AnswerPermission <origin> <feature number> allow|deny".
    const QStringList& calls() const { return m_calls; }
    // Whether the program watches the page's fields (WatchPage).
    bool watchingPage() const { return m_watchingPage; }
    // The texts FindText looked for (never found), each with ">" (forward) or "<" and " Aa" when the case
    // matters.
    const QStringList& finds() const { return m_finds; }
    void ClearRecords();

    // ---- BrowserPane
    void Navigate2(const QString& url) override { m_navigations << url; }
    void GoBack() override { m_calls << QStringLiteral("GoBack"); }
    void GoForward() override { m_calls << QStringLiteral("GoForward"); }
    void Stop() override { m_calls << QStringLiteral("Stop"); }
    void Refresh() override { m_calls << QStringLiteral("Refresh"); }
    QString LocationURL() const override { return m_location; }
    QString LocationName() const override { return m_name.isEmpty() ? m_location : m_name; }
    int ReadyState() const override { return m_readyState; }
    bool Busy() const override { return m_busy; }
    bool CanGoBack() const override { return m_canGoBack; }
    bool CanGoForward() const override { return m_canGoForward; }
    bool IsErrorPage() const override { return m_errorPage; }
    bool IsHtmlDocument() const override { return m_html; }
    void SetOffline(bool offline) override;
    DocumentPtr Document() const override { return m_document; }
    void RefreshDocument(std::function<void(DocumentPtr)> done) override;
    void ApplyDocumentActions(const DocumentPtr& document, Done done = {}) override;
    void SetBodyHtml(const QString&) override { m_calls << QStringLiteral("SetBodyHtml"); }
    void WatchPage(bool on) override { m_watchingPage = on; }
    bool CanPrint() const override { return m_canPrint; }
    void Print() override { m_calls << QStringLiteral("Print"); }
    void PrintPreview() override { m_calls << QStringLiteral("PrintPreview"); }
    void PrintTo(QPrinter* printer, Done done) override;
    void FindText(const QString& text, bool backward, bool caseSensitive, Done done) override;
    void SavePage(const QString&) override { m_calls << QStringLiteral("SavePage"); }
    void Edit(EditCommand) override { m_calls << QStringLiteral("Edit"); }
    QWidget* Widget() override;
    void AnswerPermission(const QString& origin, SiteFeature feature, bool allow) override;
    void ExitFullScreen() override { m_calls << QStringLiteral("ExitFullScreen"); }
    void AcceptCertificate() override { m_calls << QStringLiteral("AcceptCertificate"); }
    void RejectCertificate() override { m_calls << QStringLiteral("RejectCertificate"); }
    bool CertificateOverridden() const override { return false; }
    void RecoverPage() override { m_calls << QStringLiteral("RecoverPage"); }
    PaneIdle Idle() const override { return m_idle; }
    void SetIdle(PaneIdle state) override;
    void AskKeepAwake(std::function<void(bool)> done) const override { done(m_keepAwake); }

private:
    void Flush();

    QString m_location;
    QString m_name;
    int m_readyState = PaneReadyState::Uninitialized;
    bool m_busy = false;
    bool m_errorPage = false;
    bool m_html = false;
    bool m_canGoBack = false;
    bool m_canGoForward = false;
    bool m_canPrint = true;
    bool m_watchingPage = false;
    bool m_keepAwake = false;
    PaneIdle m_idle = PaneIdle::Active;
    DocumentPtr m_document;
    QStringList m_navigations;
    QList<PageAction> m_applied;
    bool m_holding = false;
    QList<Done> m_held;
    QStringList m_calls;
    QStringList m_finds;
    QPointer<QWidget> m_widget;
};
