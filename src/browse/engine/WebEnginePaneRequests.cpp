// What a page asks of its pane besides navigating: sign-in boxes, its own dialogs, leave for
// features, full screen, certificate problems, and what happens when its process crashes or
// stops answering. Kept apart from the pane's navigation and page-access code.
#include "browse/engine/WebEnginePaneRequests.h"

#include <csignal>
#include <QAuthenticator>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QWheelEvent>

#include "browse/engine/PaneDocument.h"
#include "browse/engine/WebProfiles.h"

namespace {

constexpr int kProbeIntervalMs = 2000;
const char* const kPaneProperty = "bgPane";

struct FeatureName {
    QWebEnginePage::Feature engine;
    SiteFeature site;
};

constexpr FeatureName kFeatures[] = {
    {QWebEnginePage::Notifications, SiteFeature::Notifications},
    {QWebEnginePage::Geolocation, SiteFeature::Location},
    {QWebEnginePage::MediaAudioCapture, SiteFeature::Microphone},
    {QWebEnginePage::MediaVideoCapture, SiteFeature::Camera},
    {QWebEnginePage::MediaAudioVideoCapture, SiteFeature::CameraAndMicrophone},
    {QWebEnginePage::MouseLock, SiteFeature::MouseLock},
    {QWebEnginePage::DesktopVideoCapture, SiteFeature::ScreenShare},
    {QWebEnginePage::DesktopAudioVideoCapture, SiteFeature::ScreenShareWithAudio},
};

// "https://host[:port]" of an address.
QString Origin(const QUrl& url) {
    return url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo)
        .toString();
}

} // namespace

void WebEnginePane::ConnectPageRequests() {
    QWebEnginePage* enginePage = Page();
    enginePage->setProperty(kPaneProperty, QVariant::fromValue<QObject*>(this));
    m_requests->crashed = false;
    m_requests->unresponsive = false;

    connect(enginePage, &QWebEnginePage::authenticationRequired, this,
            [this](const QUrl& url, QAuthenticator* auth) {
                SignInRequest request;
                request.url = url.toString();
                request.realm = auth->realm();
                emit AuthenticationRequired(request);
                if (!request.answered) {
                    *auth = QAuthenticator(); // refused: the server's own answer shows
                    return;
                }
                auth->setUser(request.userName);
                auth->setPassword(request.password);
            });
    connect(enginePage, &QWebEnginePage::proxyAuthenticationRequired, this,
            [this](const QUrl& url, QAuthenticator* auth, const QString& proxyHost) {
                SignInRequest request;
                request.url = url.toString();
                request.realm = auth->realm();
                request.proxyHost = proxyHost;
                emit AuthenticationRequired(request);
                if (!request.answered) {
                    *auth = QAuthenticator();
                    return;
                }
                auth->setUser(request.userName);
                auth->setPassword(request.password);
            });
    connect(enginePage, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, QWebEnginePage::Feature feature) {
                for (const FeatureName& f : kFeatures)
                    if (f.engine == feature) emit PermissionRequested(Origin(origin), f.site);
            });
    connect(enginePage, &QWebEnginePage::featurePermissionRequestCanceled, this,
            [this](const QUrl& origin, QWebEnginePage::Feature feature) {
                for (const FeatureName& f : kFeatures)
                    if (f.engine == feature) emit PermissionRequestCanceled(Origin(origin), f.site);
            });
    connect(enginePage, &QWebEnginePage::fullScreenRequested, this,
            [this](QWebEngineFullScreenRequest request) {
                if (!request.toggleOn()) {
                    request.accept();
                    ShowFullScreen(false);
                    return;
                }
                // Waits for the user's answer (or a remembered one) through AnswerPermission.
                if (m_requests->fullScreenRequest) m_requests->fullScreenRequest->reject();
                m_requests->fullScreenRequest = request;
                emit PermissionRequested(Origin(request.origin()), SiteFeature::FullScreen);
            });
    connect(enginePage, &QWebEnginePage::certificateError, this,
            [this](const QWebEngineCertificateError& error) {
                QWebEngineCertificateError waiting = error;
                waiting.defer();
                if (m_requests->certificateError) m_requests->certificateError->rejectCertificate();
                m_requests->certificateError = waiting;
                emit CertificateError(error.url().toString(), error.description(), error.isOverridable());
            });
    connect(enginePage, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                OnRenderProcessTerminated(int(status));
            });
    connect(enginePage, &QWebEnginePage::loadingChanged, this, [this] {
        // A new load replaces whatever waited on the page before.
        if (m_requests->certificateError && Page() && Page()->isLoading() &&
            Page()->requestedUrl() != m_requests->certificateError->url()) {
            m_requests->certificateError->rejectCertificate();
            m_requests->certificateError.reset();
        }
    });

    m_requests->probe.setInterval(kProbeIntervalMs);
    if (!m_requests->probe.isActive()) {
        connect(&m_requests->probe, &QTimer::timeout, this, &WebEnginePane::ProbeResponsiveness,
                Qt::UniqueConnection);
        m_requests->probe.start();
    }
    // Ctrl+wheel zooms this pane by the program's steps (the engine's own steps are not the
    // ones of the keyboard commands).
    m_view->installEventFilter(this);
    for (QObject* child : m_view->children())
        if (child->isWidgetType()) child->installEventFilter(this);
}

WebEnginePane* WebEnginePane::FromPage(QWebEnginePage* page) {
    return page ? qobject_cast<WebEnginePane*>(page->property(kPaneProperty).value<QObject*>()) : nullptr;
}

void WebEnginePane::NotifyFileDownload(const QString& url) {
    emit FileDownload(url);
}

// ----- page dialogs ---------------------------------------------------------------------------

bool WebEnginePane::OnPageDialog(PageDialogRequest& request) {
    // The engine's question before leaving a page comes as a confirm with its own text.
    if (request.kind == PageDialogRequest::Confirm &&
        request.message ==
            QCoreApplication::translate(
                "QWebEnginePage",
                "Are you sure you want to leave this page? Changes that you made may not be saved."))
        request.kind = PageDialogRequest::BeforeUnload;
    emit PageDialog(request);
    return request.accepted;
}

// ----- permissions and full screen ------------------------------------------------------------

void WebEnginePane::AnswerPermission(const QString& origin, SiteFeature feature, bool allow) {
    if (!Page()) return;
    if (feature == SiteFeature::FullScreen) {
        if (!m_requests->fullScreenRequest) return;
        QWebEngineFullScreenRequest request = *m_requests->fullScreenRequest;
        m_requests->fullScreenRequest.reset();
        if (!allow) {
            request.reject();
            return;
        }
        request.accept();
        ShowFullScreen(true);
        return;
    }
    for (const FeatureName& f : kFeatures)
        if (f.site == feature)
            Page()->setFeaturePermission(QUrl(origin), f.engine,
                                         allow ? QWebEnginePage::PermissionGrantedByUser
                                               : QWebEnginePage::PermissionDeniedByUser);
}

void WebEnginePane::ExitFullScreen() {
    if (Page() && m_requests->fullScreenWindow) Page()->triggerAction(QWebEnginePage::ExitFullScreen);
}

void WebEnginePane::ShowFullScreen(bool on) {
    if (!m_view) return;
    if (on) {
        if (m_requests->fullScreenWindow) return;
        // The view goes into a window of its own that fills the screen; Esc leaves.
        auto* window = new QWidget(nullptr, Qt::Window);
        window->setObjectName(QStringLiteral("fullScreenWindow"));
        window->setAttribute(Qt::WA_DeleteOnClose);
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_view);
        auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), window);
        connect(esc, &QShortcut::activated, this, &WebEnginePane::ExitFullScreen);
        m_requests->fullScreenWindow = window;
        window->showFullScreen();
        m_view->setFocus();
        emit FullScreenChanged(true);
        return;
    }
    if (!m_requests->fullScreenWindow) return;
    QWidget* window = m_requests->fullScreenWindow;
    m_requests->fullScreenWindow = nullptr;
    Widget()->layout()->addWidget(m_view);
    m_view->show();
    window->close();
    emit FullScreenChanged(false);
}

// ----- certificates ---------------------------------------------------------------------------

void WebEnginePane::AcceptCertificate() {
    if (!m_requests->certificateError) return;
    QWebEngineCertificateError error = *m_requests->certificateError;
    m_requests->certificateError.reset();
    if (!error.isOverridable()) {
        error.rejectCertificate();
        return;
    }
    // The engine lets this site through for the rest of the run in this profile; the profile
    // keeps the fact, so the pages reached that way are known.
    WebProfiles::MarkCertificateOverridden(m_profile, error.url().host());
    error.acceptCertificate();
}

void WebEnginePane::RejectCertificate() {
    if (!m_requests->certificateError) return;
    QWebEngineCertificateError error = *m_requests->certificateError;
    m_requests->certificateError.reset();
    error.rejectCertificate();
}

bool WebEnginePane::CertificateOverridden() const {
    const QUrl url(m_location);
    return m_profile && url.scheme() == QLatin1String("https") &&
           WebProfiles::CertificateOverridden(m_profile, url.host());
}

// ----- crashes and hangs ----------------------------------------------------------------------

void WebEnginePane::SetUnresponsiveAfter(int ms) {
    m_requests->unresponsiveAfterMs = ms;
    m_requests->probe.setInterval(qMin(kProbeIntervalMs, qMax(50, ms / 2)));
}

void WebEnginePane::ProbeResponsiveness() {
    PageRequestState& s = *m_requests;
    if (!Page() || s.crashed) return;
    if (s.probeSent.isValid()) {
        if (!s.unresponsive && s.probeSent.elapsed() > s.unresponsiveAfterMs) {
            s.unresponsive = true;
            emit PageUnresponsive(true);
        }
        return;
    }
    // Only a page on show, or one that is loading (a Link's page waits behind the progress page),
    // is asked: nobody waits for the others, and the engine may freeze them.
    if (!m_view || (!m_view->isVisible() && !m_loadActive) ||
        Page()->lifecycleState() != QWebEnginePage::LifecycleState::Active)
        return;
    const int serial = ++s.probeSerial;
    s.probeSent.start();
    QPointer<WebEnginePane> self(this);
    Page()->runJavaScript(QStringLiteral("1"), QWebEngineScript::ApplicationWorld,
                          [self, serial](const QVariant&) {
                              if (!self || serial != self->m_requests->probeSerial) return;
                              self->m_requests->probeSent.invalidate();
                              if (self->m_requests->unresponsive) {
                                  self->m_requests->unresponsive = false;
                                  emit self->PageUnresponsive(false);
                              }
                          });
}

void WebEnginePane::OnRenderProcessTerminated(int status) {
    // A normal end is the engine closing the page itself.
    if (status == QWebEnginePage::NormalTerminationStatus) return;
    PageRequestState& s = *m_requests;
    s.crashed = true;
    s.unresponsive = false;
    s.probeSent.invalidate();
    ++s.probeSerial;
    if (s.fullScreenWindow) ShowFullScreen(false);
    FailPendingPageAccess();
    if (m_loadActive) FinishLoad(m_location, false, true);
    m_busy = false;
    m_readyState = PaneReadyState::Complete;
    emit PageCrashed(status == QWebEnginePage::CrashedTerminationStatus  ? PageEnd::Crashed
                     : status == QWebEnginePage::KilledTerminationStatus ? PageEnd::Killed
                                                                         : PageEnd::Abnormal);
    if (std::exchange(s.reloadWhenGone, false)) {
        QPointer<WebEnginePane> self(this);
        QTimer::singleShot(0, this, [self] {
            if (self) self->RecoverPage();
        });
    }
}

void WebEnginePane::FailPendingPageAccess() {
    // The engine answers scripts of a page whose process went only when the page itself goes;
    // whoever waits is answered now, and the current snapshot is no page any more.
    ++m_navSerial;
    m_document->FailPending();
}

void WebEnginePane::RecoverPage() {
    if (!Page()) return;
    PageRequestState& s = *m_requests;
    if (!s.crashed && s.unresponsive) {
        // A page that does not answer cannot take a reload: its process goes first, and the
        // end of the process brings the reload.
        const qint64 pid = Page()->renderProcessPid();
        if (pid > 0) {
            if (!s.reloadWhenGone) ::kill(pid_t(pid), SIGKILL);
            s.reloadWhenGone = true;
            return;
        }
    }
    s.crashed = false;
    s.unresponsive = false;
    if (Page()->url().isEmpty() && !m_location.isEmpty())
        Page()->load(QUrl(m_location));
    else
        Page()->triggerAction(QWebEnginePage::Reload);
}

// ----- zoom -----------------------------------------------------------------------------------

void WebEnginePane::SetZoomPercent(int percent) {
    BrowserPane::SetZoomPercent(percent);
    ApplyZoom();
}

void WebEnginePane::ApplyZoom() {
    if (m_view) m_view->setZoomFactor(ZoomForTextSize(TextSize()) * ZoomPercent() / 100.0);
}

bool WebEnginePane::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildAdded && watched == m_view) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType()) child->installEventFilter(this);
    } else if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers().testFlag(Qt::ControlModifier)) {
            const int delta = wheel->angleDelta().y();
            if (delta != 0) SetZoomPercent(NextZoomPercent(ZoomPercent(), delta > 0 ? 1 : -1));
            return true;
        }
    }
    return BrowserPane::eventFilter(watched, event);
}
