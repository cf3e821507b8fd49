#include "browse/engine/WebEnginePane.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFindTextResult>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "browse/engine/PagePrinting.h"
#include "browse/engine/PageScripts.h"
#include "browse/engine/PaneDocument.h"
#include "browse/engine/ProgramPages.h"
#include "browse/engine/WebEngineHostPage.h"
#include "browse/engine/WebEnginePaneRequests.h"
#include "browse/engine/WebProfiles.h"

using namespace PageScripts;

namespace {

bool IsBlank(const QUrl& url) {
    return url.toString() == QLatin1String("about:blank");
}

bool IsHtmlType(const QString& type) {
    const QString t = type.toLower();
    return t.isEmpty() || t == QLatin1String("text/html") || t == QLatin1String("application/xhtml+xml");
}

QUrl ToUrl(const QString& text) {
    const QUrl url(text);
    if (url.isValid() && !url.scheme().isEmpty()) return url;
    return QUrl::fromUserInput(text);
}

// The NavigateError code of a failed load; 0 when it was no failure (a stopped load).
long ErrorCode(const QWebEngineLoadingInfo& info) {
    const int code = info.errorCode();
    switch (info.errorDomain()) {
    case QWebEngineLoadingInfo::NoErrorDomain:
        return 0;
    case QWebEngineLoadingInfo::HttpStatusCodeDomain:
        return code >= 400 ? code : 0;
    case QWebEngineLoadingInfo::InternalErrorDomain:
        if (code == -3) return 0;                         // aborted: a stop or a replaced load
        if (code == -6) return PaneError::ObjectNotFound; // file not found
        return PaneError::CannotConnect;
    default:
        return PaneError::CannotConnect;
    }
}

} // namespace

// ----- construction ---------------------------------------------------------------------------

WebEnginePane::WebEnginePane(const QString& userName, QObject* parent)
    : BrowserPane(parent), m_user(userName), m_interceptor(new PaneRequestInterceptor(this)),
      m_requests(std::make_unique<PageRequestState>()),
      m_document(std::make_unique<PaneDocument>(
          *this, PaneDocument::Pane{[this] { return m_page.data(); },
                                    [this](const QString& url) { Navigate2(url); }})) {}

WebEnginePane::~WebEnginePane() {
    DropPage();
    delete m_container.data();
}

QWidget* WebEnginePane::Widget() {
    if (!m_container) {
        m_container = new QWidget;
        auto* layout = new QVBoxLayout(m_container);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        if (m_view) layout->addWidget(m_view);
    }
    return m_container;
}

QWebEnginePage* WebEnginePane::Page() const {
    return m_page;
}

bool WebEnginePane::HasEnginePage() const {
    return m_page != nullptr;
}

QWebEngineView* WebEnginePane::View() const {
    return m_view;
}

void WebEnginePane::CreatePage(QWebEngineProfile* profile) {
    if (m_page) return;
    // A page made anew while the old one was let go (SetBodyHtml, a new window) starts afresh.
    const bool wasLetGo = std::exchange(m_letGo, std::nullopt).has_value();
    m_profile = profile ? profile : WebProfiles::ForLink(m_user, ProfileId());
    m_pageProfileId = ProfileId();
    QWidget* host = Widget();
    m_view = new QWebEngineView(host);
    host->layout()->addWidget(m_view);
    auto* page = new WebEngineHostPage(this, m_profile, m_view);
    m_page = page;
    WebProfiles::AddPage(m_profile);
    QWebEngineProfile* usedProfile = m_profile;
    connect(page, &QObject::destroyed, [usedProfile] { WebProfiles::RemovePage(usedProfile); });

    // Scripts every new document gets before its own.
    PageScripts::Install(*page);
    page->setUrlRequestInterceptor(m_interceptor);

    connect(page, &QWebEnginePage::loadingChanged, this, &WebEnginePane::OnLoadingChanged);
    connect(page, &QWebEnginePage::urlChanged, this, &WebEnginePane::OnUrlChanged);
    connect(page, &QWebEnginePage::newWindowRequested, this, &WebEnginePane::OnNewWindow);
    connect(page, &QWebEnginePage::titleChanged, this, [this](const QString& title) {
        if (!m_internalLoad) emit TitleChange(title);
    });
    connect(page, &QWebEnginePage::loadProgress, this, [this](int percent) {
        if (!m_internalLoad) emit ProgressChange(percent);
    });
    connect(page, &QWebEnginePage::linkHovered, this,
            [this](const QString& url) { emit StatusTextChange(url); });
    connect(page, &QWebEnginePage::windowCloseRequested, this, [this] { emit WindowClosing(); });
    connect(page, &QWebEnginePage::geometryChangeRequested, this,
            [this](const QRect& geometry) { emit WindowSetRect(geometry); });

    connect(page, &QWebEnginePage::lifecycleStateChanged, this, [this] { emit IdleChanged(Idle()); });

    m_view->setPage(page);
    ApplyZoom();
    ConnectPageRequests();
    if (wasLetGo) emit IdleChanged(PaneIdle::Active);
}

void WebEnginePane::DropPage() {
    if (m_requests->fullScreenWindow) ShowFullScreen(false);
    m_requests->probe.stop();
    if (m_page) delete m_page.data();
    if (m_view) delete m_view.data();
    m_loadActive = false;
    m_busy = false;
}

// ----- navigation -----------------------------------------------------------------------------

void WebEnginePane::Navigate2(const QString& text) {
    const QUrl url = ToUrl(text);
    // A sleeping page runs nothing: it is woken for whatever it is asked to load (and not
    // scrolled to where the page it was showing had been).
    SetIdle(PaneIdle::Active);
    m_scrollAfterWake.reset();
    // The pane has moved to another profile since its page was made: the page stays behind.
    if (m_page && m_pageProfileId != ProfileId()) {
        FailPendingPageAccess();
        DropPage();
    }
    if (!m_page) {
        if (IsBlank(url)) return NavigateBlankWithoutEngine();
        CreatePage();
    }
    m_page->load(url);
}

void WebEnginePane::NavigateBlankWithoutEngine() {
    const int serial = ++m_navSerial;
    QTimer::singleShot(0, this, [this, serial] {
        if (serial != m_navSerial || m_page) return; // overtaken by another navigation
        const QString blank = QStringLiteral("about:blank");
        NavigateEvent e{blank, true, false};
        emit BeforeNavigate2(e);
        if (e.cancel || serial != m_navSerial || m_page) return;
        m_document->NextGeneration();
        m_busy = true;
        m_readyState = PaneReadyState::Loading;
        emit DownloadBegin();
        m_location = blank;
        m_html = true;
        m_errorPage = false;
        m_document->Clear(blank);
        m_readyState = PaneReadyState::Interactive;
        emit NavigateComplete2(blank, true);
        m_busy = false;
        m_readyState = PaneReadyState::Complete;
        emit DownloadComplete();
        emit DocumentComplete(blank, true);
    });
}

void WebEnginePane::GoBack() {
    SetIdle(PaneIdle::Active);
    GoToHistoryEntry(HistoryTarget(-1));
}

void WebEnginePane::GoForward() {
    SetIdle(PaneIdle::Active);
    GoToHistoryEntry(HistoryTarget(1));
}

int WebEnginePane::HistoryTarget(int step) const {
    if (!m_page) return -1;
    const QWebEngineHistory* history = m_page->history();
    for (int i = history->currentItemIndex() + step; i >= 0 && i < history->count(); i += step) {
        // The program's own pages (the start page, a progress page) are where a pane starts or
        // what it passes through, not pages to return to.
        const QString url = history->itemAt(i).url().toString();
        if (!ProgramPages::IsProgramPage(url) && !url.startsWith(QLatin1String("data:")) &&
            url != QLatin1String("about:blank"))
            return i;
    }
    return -1;
}

void WebEnginePane::GoToHistoryEntry(int index) {
    if (index >= 0) m_page->history()->goToItem(m_page->history()->itemAt(index));
}

void WebEnginePane::Stop() {
    if (m_page) m_page->triggerAction(QWebEnginePage::Stop);
}

void WebEnginePane::Refresh() {
    if (m_letGo) return SetIdle(PaneIdle::Active); // that loads it again
    SetIdle(PaneIdle::Active);
    if (m_page) m_page->triggerAction(QWebEnginePage::Reload);
}

QString WebEnginePane::LocationName() const {
    if (m_letGo && !m_letGo->title.isEmpty()) return m_letGo->title;
    if (m_page && !m_page->title().isEmpty()) return m_page->title();
    return m_location;
}

void WebEnginePane::SetOffline(bool offline) {
    m_interceptor->offline = offline;
}

bool WebEnginePane::OnAcceptNavigation(const QUrl& url, int type, bool isMainFrame) {
    if (m_internalLoad && url.scheme() == QLatin1String("data")) return true;
    // A server redirect belongs to the navigation already announced.
    if (type == QWebEnginePage::NavigationTypeRedirect) return true;
    NavigateEvent e{url.toString(), isMainFrame, false};
    emit BeforeNavigate2(e);
    if (!isMainFrame) return !e.cancel;
    if (e.cancel) {
        m_cancelled.append(url);
        return false;
    }
    m_announced.append(url);
    return true;
}

void WebEnginePane::OnLoadingChanged(const QWebEngineLoadingInfo& info) {
    const QUrl url = info.url();
    if (m_internalLoad && url.scheme() == QLatin1String("data")) {
        if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus) m_internalLoad = false;
        return;
    }
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        if (m_cancelled.contains(url)) return; // its end is dropped below
        const bool announced = m_announced.removeOne(url) || !m_announced.isEmpty();
        m_announced.clear();
        if (!announced) {
            // Loads the engine starts without asking (about:blank) are announced here; a
            // cancel stops them.
            NavigateEvent e{url.toString(), true, false};
            emit BeforeNavigate2(e);
            if (e.cancel) {
                m_cancelled.append(url);
                m_page->triggerAction(QWebEnginePage::Stop);
                return;
            }
        }
        if (m_loadActive) FinishLoad(m_location, false, true); // the previous load was replaced
        ++m_navSerial;
        m_document->NextGeneration();
        m_watching = false;
        m_loadActive = true;
        m_committed = false;
        m_errorCommit = false;
        m_errorPage = false;
        m_commitType.clear();
        m_busy = true;
        m_readyState = PaneReadyState::Loading;
        emit DownloadBegin();
        return;
    }
    if (m_cancelled.removeOne(url)) return;
    if (!m_loadActive) return;
    long code = 0;
    if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus) code = ErrorCode(info);
    if (code != 0) {
        m_errorPage = true;
        emit NavigateError(url.toString(), true, code);
    }
    const bool stopped = info.status() == QWebEngineLoadingInfo::LoadStoppedStatus ||
                         (info.status() == QWebEngineLoadingInfo::LoadFailedStatus && code == 0);
    FinishLoad(url.toString(), code != 0, stopped);
}

void WebEnginePane::FinishLoad(const QString& url, bool failed, bool stopped) {
    if (!m_committed && (!stopped || m_errorCommit)) {
        // The engine's error page, or a document whose commit line did not come first.
        m_committed = true;
        m_location = url;
        m_html = failed || IsHtmlType(m_commitType);
        m_document->Clear(url);
        m_readyState = PaneReadyState::Interactive;
        emit NavigateComplete2(url, true);
    }
    m_loadActive = false;
    m_busy = false;
    m_readyState = PaneReadyState::Complete;
    UpdateCommandState();
    emit DownloadComplete();
    if (stopped && !m_errorCommit) return;
    if (m_errorCommit) {
        // The engine's own error page holds nothing for the program; Document() stays the
        // empty document at the failed address.
        emit DocumentComplete(url, true);
        return;
    }
    if (const auto scroll = std::exchange(m_scrollAfterWake, std::nullopt))
        m_page->runJavaScript(QStringLiteral("window.scrollTo(%1, %2)").arg(scroll->x()).arg(scroll->y()),
                              kWorld);
    const int serial = m_navSerial;
    m_document->TakeSnapshot(SnapshotTexts(), [this, serial, url](std::shared_ptr<PageModel> model) {
        if (serial != m_navSerial) return; // another navigation started meanwhile
        if (model) m_document->Adopt(model);
        emit DocumentComplete(url, true);
    });
}

void WebEnginePane::OnConsoleMessage(int level, const QString& message, int line, const QString& source) {
    if (message.startsWith(Nonce())) {
        // "<nonce> commit|loaded top|frame <content type> <url>"
        const QStringList parts = message.split(QLatin1Char(' '));
        if (parts.size() < 5) return;
        const QString& what = parts[1];
        const bool top = parts[2] == QLatin1String("top");
        const QString url = parts.mid(4).join(QLatin1Char(' '));
        if (m_internalLoad && top) return;
        if (what == QLatin1String("commit")) {
            if (top)
                OnCommitted(url, parts[3]);
            else
                emit NavigateComplete2(url, false);
        } else if (what == QLatin1String("fields") && top) {
            if (!m_loadActive) emit PageChanged();
        } else if (what == QLatin1String("loaded") && !top) {
            emit DocumentComplete(url, false);
            // A frame that navigated on its own (a form sent in it) is the pane's whole load:
            // the engine reports no progress for it, so its end is reported here.
            if (!m_loadActive) emit ProgressChange(100);
        }
        return;
    }
    if (level != QWebEnginePage::ErrorMessageLevel) return;
    if (message.startsWith(FrameErrorNonce() + QLatin1Char(' '))) {
        const QJsonArray error =
            QJsonDocument::fromJson(message.mid(FrameErrorNonce().size() + 1).toUtf8()).array();
        if (error.size() == 3)
            emit FrameScriptError(error[0].toString(), error[1].toString(), error[2].toInt());
        return;
    }
    if (message.startsWith(QLatin1String("Uncaught"))) emit ScriptError(message, source, line);
}

void WebEnginePane::OnCommitted(const QString& url, const QString& contentType) {
    if (!m_loadActive || m_committed || m_errorCommit) return; // a late line of a finished load
    m_commitType = contentType;
    if (url.startsWith(QLatin1String("chrome-error:"))) {
        // Its NavigateComplete2 follows NavigateError, once the engine says what failed.
        m_errorCommit = true;
        return;
    }
    m_committed = true;
    m_location = url;
    m_html = IsHtmlType(contentType);
    m_document->Clear(m_location);
    m_readyState = PaneReadyState::Interactive;
    emit NavigateComplete2(m_location, true);
    emit SetSecureLockIcon(QUrl(m_location).scheme() == QLatin1String("https") && !CertificateOverridden()
                               ? LockIcon::Secure
                               : LockIcon::Unsecure);
    UpdateCommandState();
}

void WebEnginePane::OnUrlChanged(const QUrl& url) {
    // Same-document navigations (fragments, history.pushState) change only the address.
    if (m_loadActive || m_internalLoad || !m_page || url.toString() == m_location) return;
    if (m_location.isEmpty()) return;
    m_location = url.toString();
    UpdateCommandState();
    if (m_watching) emit PageChanged();
}

void WebEnginePane::UpdateCommandState() {
    if (!m_page) return;
    const bool back = HistoryTarget(-1) >= 0;
    const bool forward = HistoryTarget(1) >= 0;
    if (forward != m_canGoForward) {
        m_canGoForward = forward;
        emit CommandStateChange(PaneCommand::Forward, forward);
    }
    if (back != m_canGoBack) {
        m_canGoBack = back;
        emit CommandStateChange(PaneCommand::Back, back);
    }
}

// ----- new windows ----------------------------------------------------------------------------

void WebEnginePane::OnNewWindow(QWebEngineNewWindowRequest& request) {
    NewWindowEvent e;
    e.url = request.requestedUrl().toString();
    e.userInitiated = request.isUserInitiated();
    emit NewWindow2(e);
    if (auto* target = qobject_cast<WebEnginePane*>(e.Target())) {
        if (target != this) target->AdoptNewWindow(request, m_profile, m_pageProfileId);
    }
}

void WebEnginePane::AdoptNewWindow(QWebEngineNewWindowRequest& request, QWebEngineProfile* profile,
                                   const QString& profileId) {
    // The new window's page must share the opener's profile (its session), and so do the pages
    // the window opens later.
    BrowserPane::SetProfileId(profileId);
    if (m_page && m_profile != profile) DropPage();
    if (!m_page) CreatePage(profile);
    request.openIn(m_page);
    // A window a script opened with a size (a dialog-like window) wants that size.
    const QRect geometry = request.requestedGeometry();
    if (request.destination() == QWebEngineNewWindowRequest::InNewDialog && geometry.width() > 0 &&
        geometry.height() > 0)
        emit WindowSetRect(geometry);
}

// ----- page snapshot and actions --------------------------------------------------------------

DocumentPtr WebEnginePane::Document() const {
    return m_document->Document();
}

void WebEnginePane::RefreshDocument(std::function<void(DocumentPtr)> done) {
    const int serial = m_navSerial;
    m_document->TakeSnapshot(SnapshotTexts(), [this, serial, done](std::shared_ptr<PageModel> model) {
        if (model && serial == m_navSerial) m_document->Adopt(model);
        if (done) done(model && model == m_document->Model() ? Document() : nullptr);
    });
}

void WebEnginePane::ApplyDocumentActions(const DocumentPtr& document, Done done) {
    m_document->ApplyActions(document, std::move(done));
}

const WebEnginePane::SnapshotStats& WebEnginePane::LastSnapshotStats() const {
    return m_document->LastSnapshotStats();
}

void WebEnginePane::SetBodyHtml(const QString& markup) {
    const std::shared_ptr<PageModel>& model = m_document->Model();
    if (m_page && !m_internalLoad && !m_loadActive && m_html && !m_errorPage && model && model->document() &&
        model->document()->hasBody()) {
        const QString literal =
            QString::fromUtf8(QJsonDocument(QJsonArray{markup}).toJson(QJsonDocument::Compact));
        m_page->runJavaScript(QStringLiteral("document.body.innerHTML = %1[0];").arg(literal), kWorld);
        return;
    }
    if (!m_page) CreatePage();
    m_internalLoad = true;
    m_page->setHtml(QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>") +
                        markup + QStringLiteral("</body></html>"),
                    QUrl(QStringLiteral("about:blank")));
    m_html = true;
    m_errorPage = false;
    if (m_location.isEmpty()) m_location = QStringLiteral("about:blank");
    m_document->NextGeneration();
    m_document->Clear(m_location);
}

void WebEnginePane::WatchPage(bool on) {
    m_watching = on;
    if (!m_page || m_internalLoad) return;
    m_document->RunTool("__bgWatchPage", WatchScript(), on ? QStringLiteral("true") : QStringLiteral("false"),
                        {});
}

// ----- view -----------------------------------------------------------------------------------

void WebEnginePane::SetTextSize(int size) {
    BrowserPane::SetTextSize(size);
    ApplyZoom();
}

bool WebEnginePane::CanPrint() const {
    return m_page && m_readyState >= PaneReadyState::Interactive;
}

void WebEnginePane::PrintTo(QPrinter* printer, Done done) {
    if (!m_view || !CanPrint()) {
        if (done) done(false);
        return;
    }
    PagePrinting::PrintTo(*m_view, printer, std::move(done));
}

void WebEnginePane::Print() {
    if (CanPrint()) PagePrinting::Print(*m_view);
}

void WebEnginePane::PrintPreview() {
    if (CanPrint()) PagePrinting::Preview(*m_view);
}

void WebEnginePane::FindText(const QString& text, bool backward, bool caseSensitive, Done done) {
    if (!m_page) {
        if (done) done(false);
        return;
    }
    QWebEnginePage::FindFlags flags;
    if (backward) flags |= QWebEnginePage::FindBackward;
    if (caseSensitive) flags |= QWebEnginePage::FindCaseSensitively;
    // The engine takes the same text again as "find next" and does not answer when only the
    // letter case changed; a new search starts from a cleared one.
    if (text == m_lastFind && caseSensitive != m_lastFindCaseSensitive) m_page->findText(QString());
    m_lastFind = text;
    m_lastFindCaseSensitive = caseSensitive;
    m_page->findText(text, flags, [done](const QWebEngineFindTextResult& result) {
        if (done) done(result.numberOfMatches() > 0);
    });
}

void WebEnginePane::SavePage(const QString& path) {
    if (m_page) m_page->save(path, QWebEngineDownloadRequest::SingleHtmlSaveFormat);
}

// ----- idle ------------------------------------------------------------------------------------

PaneIdle WebEnginePane::Idle() const {
    if (m_letGo) return PaneIdle::Discarded;
    if (!m_page) return PaneIdle::Active;
    switch (m_page->lifecycleState()) {
    case QWebEnginePage::LifecycleState::Frozen:
        return PaneIdle::Frozen;
    case QWebEnginePage::LifecycleState::Discarded:
        return PaneIdle::Discarded;
    default:
        return PaneIdle::Active;
    }
}

void WebEnginePane::SetIdle(PaneIdle state) {
    if (m_letGo) {
        if (state == PaneIdle::Active) Wake();
        return;
    }
    // The engine refuses to stop a page on screen; showing a page wakes it by itself.
    if (!m_page || (state != PaneIdle::Active && m_page->isVisible())) return;
    if (state == PaneIdle::Discarded) return LetPageGo();
    const auto wanted = state == PaneIdle::Frozen ? QWebEnginePage::LifecycleState::Frozen
                                                  : QWebEnginePage::LifecycleState::Active;
    if (m_page->lifecycleState() != wanted) m_page->setLifecycleState(wanted);
}

void WebEnginePane::LetPageGo() {
    LetGoPage kept;
    QDataStream out(&kept.history, QIODevice::WriteOnly);
    out << *m_page->history();
    kept.title = m_page->title();
    kept.scroll = m_page->scrollPosition();
    FailPendingPageAccess();
    DropPage();
    // The snapshot of a page that is gone is let go too (on a large page it weighs more than
    // the pane): the document is empty at the pane's address until the page is back.
    m_document->Clear(m_location);
    m_letGo = std::move(kept);
    emit IdleChanged(PaneIdle::Discarded);
}

void WebEnginePane::Wake() {
    const LetGoPage kept = *m_letGo;
    CreatePage();
    // The history brought back loads its current entry: the page is back in one load.
    QDataStream in(kept.history);
    in >> *m_page->history();
    if (!kept.scroll.isNull()) m_scrollAfterWake = kept.scroll;
}

void WebEnginePane::AskKeepAwake(std::function<void(bool)> done) const {
    if (!m_page) return done(false);
    if (m_page->recentlyAudible()) return done(true);
    // A stopped page runs no script; nobody could type into it since it was asked.
    if (m_page->lifecycleState() != QWebEnginePage::LifecycleState::Active) return done(false);
    QPointer<const WebEnginePane> self(this);
    m_page->runJavaScript(Resource(QStringLiteral("PageInput.js")), kWorld,
                          [self, done](const QVariant& result) {
                              if (self) done(result.typeId() != QMetaType::Bool || result.toBool());
                          });
}

void WebEnginePane::ReadPageFacts(std::function<void(const PageFacts&)> done) const {
    if (!m_page) {
        BrowserPane::ReadPageFacts(std::move(done));
        return;
    }
    QPointer<const WebEnginePane> self(this);
    m_page->runJavaScript(Resource(QStringLiteral("PageFacts.js")), kWorld,
                          [self, done](const QVariant& result) {
                              if (!self || !done) return;
                              PageFacts facts;
                              const QVariantMap map = result.toMap();
                              facts.contentType = map.value(QStringLiteral("type")).toString();
                              if (facts.contentType.isEmpty()) facts.contentType = self->m_commitType;
                              const qint64 size = map.value(QStringLiteral("size")).toLongLong();
                              if (size > 0) facts.size = size;
                              const qint64 modified = map.value(QStringLiteral("modified")).toLongLong();
                              if (modified > 0) facts.lastModified = QDateTime::fromMSecsSinceEpoch(modified);
                              const qint64 loaded = map.value(QStringLiteral("loaded")).toLongLong();
                              if (loaded > 0) facts.loaded = QDateTime::fromMSecsSinceEpoch(loaded);
                              done(facts);
                          });
}

void WebEnginePane::Edit(EditCommand command) {
    if (!m_page) return;
    switch (command) {
    case Cut:
        m_page->triggerAction(QWebEnginePage::Cut);
        break;
    case Copy:
        m_page->triggerAction(QWebEnginePage::Copy);
        break;
    case Paste:
        m_page->triggerAction(QWebEnginePage::Paste);
        break;
    case SelectAll:
        m_page->triggerAction(QWebEnginePage::SelectAll);
        break;
    }
}
