#include "browse/PageRequests.h"

#include <QUrl>

#include "browse/engine/BrowserPane.h"
#include "browse/PaneOverlays.h"
#include "browse/SignInBox.h"
#include "browse/SitePermissions.h"
#include "core/AppState.h"

namespace {

bool Quiet() {
    return App().Locked || App().Unloading;
}

QString SignInKey(const SignInRequest& request) {
    if (request.IsProxy())
        return QStringLiteral("proxy ") + request.proxyHost + QLatin1Char(' ') + request.realm;
    const QUrl url(request.url);
    return url.scheme() + QStringLiteral("://") + url.authority() + QLatin1Char(' ') + request.realm;
}

} // namespace

PageRequests* PageRequests::Attach(BrowserPane* pane, Hooks hooks) {
    return new PageRequests(pane, std::move(hooks));
}

PageRequests::PageRequests(BrowserPane* pane, Hooks hooks)
    : QObject(pane), m_pane(pane), m_hooks(std::move(hooks)), m_dialogs(pane->Widget()) {
    connect(pane, &BrowserPane::AuthenticationRequired, this, &PageRequests::OnSignIn);
    connect(pane, &BrowserPane::PageDialog, this, [this](PageDialogRequest& r) { m_dialogs.Answer(r); });
    connect(pane, &BrowserPane::PermissionRequested, this, &PageRequests::OnPermission);
    connect(pane, &BrowserPane::PermissionRequestCanceled, this,
            [this](const QString& origin, SiteFeature f) {
                if (m_bar) m_bar->Remove(origin, f);
            });
    connect(pane, &BrowserPane::CertificateError, this, &PageRequests::OnCertificateError);
    connect(pane, &BrowserPane::PageCrashed, this, &PageRequests::OnCrash);
    connect(pane, &BrowserPane::PageUnresponsive, this, &PageRequests::OnUnresponsive);
    connect(pane, &BrowserPane::DownloadBegin, this, [this] {
        // A new load: whatever stood in for the old page goes.
        if (m_notice) m_notice->HideNotice();
    });
    connect(pane, &BrowserPane::NavigateComplete2, this, [this](const QString&, bool top) {
        if (top) OnNewPage();
    });
    connect(pane, &BrowserPane::DocumentComplete, this, [this](const QString&, bool top) {
        // Signed in (or no sign-in was needed): a later refusal may have the credentials again.
        if (top && !m_pane->IsErrorPage()) m_autoAnswered.clear();
    });
}

QWidget* PageRequests::Host() const {
    return m_pane->Widget();
}

// ----- sign-in boxes --------------------------------------------------------------------------

void PageRequests::OnSignIn(SignInRequest& request) {
    if (Quiet()) return;
    const QString key = SignInKey(request);
    // Once with the Link's own credentials; asked again means they were refused.
    if (!request.IsProxy() && m_hooks.credentials && !m_autoAnswered.contains(key)) {
        if (const Credentials credentials = m_hooks.credentials(request.url)) {
            m_autoAnswered.insert(key);
            m_lastUser.insert(key, credentials->first);
            request.Answer(credentials->first, credentials->second);
            return;
        }
    }
    request.userName = m_lastUser.value(key);
    if (SignInBox::Ask(request, Host())) m_lastUser.insert(key, request.userName);
}

// ----- features -------------------------------------------------------------------------------

void PageRequests::OnPermission(const QString& origin, SiteFeature feature) {
    if (Quiet()) {
        m_pane->AnswerPermission(origin, feature, false);
        return;
    }
    switch (SitePermissions::Lookup(App().CurrentUser, origin, feature)) {
    case SitePermissions::Answer::Allow:
        m_pane->AnswerPermission(origin, feature, true);
        return;
    case SitePermissions::Answer::Deny:
        m_pane->AnswerPermission(origin, feature, false);
        return;
    case SitePermissions::Answer::Ask:
        break;
    }
    if (!m_bar)
        m_bar = new PermissionBar(Host(), [this](const PermissionBar::Request& r, bool allow, bool remember) {
            if (remember) SitePermissions::Remember(App().CurrentUser, r.origin, r.feature, allow);
            m_pane->AnswerPermission(r.origin, r.feature, allow);
        });
    m_bar->Add({origin, feature});
}

void PageRequests::OnNewPage() {
    m_dialogs.NewPage();
    // What the old page asked is no longer anyone's question.
    if (m_bar) m_bar->DenyAll();
    if (m_notice && m_notice->Shown() == PaneNotice::Kind::Certificate) m_notice->HideNotice();
}

// ----- notices --------------------------------------------------------------------------------

QString PageRequests::CertificateText(const QString& url, const QString& description, bool overridable) {
    QString text = QStringLiteral("Bramblegate stopped before opening %1, because the site's certificate is "
                                  "not valid: %2")
                       .arg(QUrl(url).host(), description);
    text += QStringLiteral("\n\nSomeone may be trying to pass another site off as this one, or to read what "
                           "you send to it.");
    text += overridable ? QStringLiteral(" Go on only if you know why the certificate is wrong; Bramblegate "
                                         "will not log in to the site for you then.")
                        : QStringLiteral(" This site does not allow going on with a certificate that is not "
                                         "valid.");
    return text;
}

QString PageRequests::CrashText(PageEnd reason) {
    switch (reason) {
    case PageEnd::Crashed:
        return QStringLiteral("The page's process crashed. Reload it to try again.");
    case PageEnd::Killed:
        return QStringLiteral(
            "The page's process was ended, perhaps because the computer ran short of memory. "
            "Reload it to try again.");
    case PageEnd::Abnormal:
        break;
    }
    return QStringLiteral("The page's process ended unexpectedly. Reload it to try again.");
}

void PageRequests::OnCertificateError(const QString& url, const QString& description, bool overridable) {
    if (!m_notice) m_notice = new PaneNotice(Host());
    QList<PaneNotice::Action> actions{{QStringLiteral("&Back to safety"), "cmdBack", [this] {
                                           m_notice->HideNotice();
                                           m_pane->RejectCertificate();
                                           if (m_pane->CanGoBack()) m_pane->GoBack();
                                       }}};
    if (overridable)
        actions.append({QStringLiteral("&Go on anyway"), "cmdGoOn", [this] {
                            m_notice->HideNotice();
                            m_pane->AcceptCertificate();
                        }});
    m_notice->ShowNotice(PaneNotice::Kind::Certificate,
                         QStringLiteral("This site's certificate is not valid"),
                         CertificateText(url, description, overridable), actions);
    if (m_hooks.needsAttention) m_hooks.needsAttention();
}

void PageRequests::OnCrash(PageEnd reason) {
    if (!m_notice) m_notice = new PaneNotice(Host());
    m_notice->ShowNotice(PaneNotice::Kind::Crashed, QStringLiteral("This page has stopped working"),
                         CrashText(reason), {{QStringLiteral("&Reload"), "cmdReload", [this] {
                                                  m_notice->HideNotice();
                                                  m_pane->RecoverPage();
                                              }}});
    if (m_bar) m_bar->DenyAll();
    if (m_hooks.pageLost) m_hooks.pageLost();
}

void PageRequests::OnUnresponsive(bool unresponsive) {
    if (!unresponsive) {
        if (m_notice && m_notice->Shown() == PaneNotice::Kind::Unresponsive) m_notice->HideNotice();
        return;
    }
    if (!m_notice) m_notice = new PaneNotice(Host());
    if (m_hooks.needsAttention) m_hooks.needsAttention();
    m_notice->ShowNotice(PaneNotice::Kind::Unresponsive, QStringLiteral("This page is not responding"),
                         QStringLiteral("A script on the page keeps it busy. Wait for it, or reload the page "
                                        "(what you typed into it may be lost)."),
                         {{QStringLiteral("&Wait"), "cmdWait", [this] { m_notice->HideNotice(); }},
                          {QStringLiteral("&Reload"), "cmdReload", [this] {
                               m_notice->HideNotice();
                               m_pane->RecoverPage();
                           }}});
}
