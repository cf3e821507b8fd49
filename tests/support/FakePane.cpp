#include "support/FakePane.h"

#include <utility>

#include <QTimer>
#include <QUrl>
#include <QWidget>

FakePane::FakePane(QObject* parent) : BrowserPane(parent) {}

FakePane::~FakePane() {
    delete m_widget.data();
}

void FakePane::SetLocation(const QString& url, const QString& name) {
    m_location = url;
    m_name = name;
}

void FakePane::SetDocument(DocumentPtr document) {
    if (m_document) m_document->model().TakeActions();
    m_document = std::move(document);
    if (!m_document) return;
    std::weak_ptr<PageModel> weak = std::shared_ptr<PageModel>(m_document, &m_document->model());
    QPointer<FakePane> self(this);
    m_document->model().SetActionListener([self, weak] {
        QTimer::singleShot(0, self, [self, weak] {
            if (!self) return;
            if (std::shared_ptr<PageModel> model = weak.lock()) {
                if (model->pendingActions().isEmpty()) return;
                if (!self->m_document || &self->m_document->model() != model.get())
                    model->TakeActions();
                else
                    self->Flush();
            }
        });
    });
}

void FakePane::Flush() {
    if (!m_document || m_holding) return;
    const QList<PageAction> actions = m_document->model().TakeActions();
    for (const PageAction& a : actions) {
        m_applied.append(a);
        if (a.kind == PageAction::Navigate) {
            Navigate2(a.text);
            break; // the rest was meant for the page being left
        }
    }
}

bool FakePane::RaiseBeforeNavigate2(const QString& url, bool topLevel) {
    NavigateEvent e{url, topLevel, false};
    emit BeforeNavigate2(e);
    Flush();
    return e.cancel;
}

void FakePane::RaiseNavigateComplete2(const QString& url, bool topLevel) {
    emit NavigateComplete2(url, topLevel);
    Flush();
}

void FakePane::RaiseDownloadBegin() {
    emit DownloadBegin();
    Flush();
}

void FakePane::RaiseDownloadComplete() {
    emit DownloadComplete();
    Flush();
}

void FakePane::RaiseDocumentComplete(const QString& url, bool topLevel) {
    emit DocumentComplete(url, topLevel);
    Flush();
}

NewWindowEvent FakePane::RaiseNewWindow2(const QString& url, bool userInitiated) {
    NewWindowEvent e;
    e.url = url;
    e.userInitiated = userInitiated;
    emit NewWindow2(e);
    Flush();
    return e;
}

void FakePane::RaiseCommandStateChange(int command, bool enable) {
    if (command == PaneCommand::Back) m_canGoBack = enable;
    if (command == PaneCommand::Forward) m_canGoForward = enable;
    emit CommandStateChange(command, enable);
}

void FakePane::RaiseTitleChange(const QString& title) {
    m_name = title;
    emit TitleChange(title);
}

void FakePane::RaisePageChanged() {
    emit PageChanged();
    Flush();
}

SignInRequest FakePane::RaiseAuthenticationRequired(const QString& url, const QString& realm,
                                                    const QString& proxyHost) {
    SignInRequest request{url, realm, proxyHost, {}, {}};
    emit AuthenticationRequired(request);
    return request;
}

PageDialogRequest FakePane::RaisePageDialog(PageDialogRequest::Kind kind, const QString& message,
                                            const QString& defaultValue) {
    const QUrl url(m_location);
    PageDialogRequest request{
        kind, url.scheme() + QStringLiteral("://") + url.authority(), message, defaultValue, {}};
    emit PageDialog(request);
    return request;
}

void FakePane::AnswerPermission(const QString& origin, SiteFeature feature, bool allow) {
    m_calls << QStringLiteral("AnswerPermission %1 %2 %3")
                   .arg(origin)
                   .arg(int(feature))
                   .arg(allow ? QStringLiteral("allow") : QStringLiteral("deny"));
}

bool FakePane::SimulateLoad(const QString& url, DocumentPtr document, const QString& title) {
    if (RaiseBeforeNavigate2(url)) return false;
    m_busy = true;
    m_readyState = PaneReadyState::Loading;
    RaiseDownloadBegin();
    m_location = url;
    m_name = title;
    m_errorPage = false;
    m_html = document ? document->isHtml() : true;
    m_readyState = PaneReadyState::Interactive;
    RaiseNavigateComplete2(url);
    if (!title.isEmpty()) RaiseTitleChange(title);
    m_busy = false;
    m_readyState = PaneReadyState::Complete;
    RaiseDownloadComplete();
    SetDocument(document ? document : PageModel::Empty(url, 1)->documentPtr());
    RaiseDocumentComplete(url);
    return true;
}

void FakePane::ClearRecords() {
    m_navigations.clear();
    m_applied.clear();
    m_calls.clear();
}

void FakePane::SetOffline(bool) {
    m_calls << QStringLiteral("SetOffline");
}

void FakePane::RefreshDocument(std::function<void(DocumentPtr)> done) {
    m_calls << QStringLiteral("RefreshDocument");
    if (done) done(m_document);
}

void FakePane::ApplyDocumentActions(const DocumentPtr& document, Done done) {
    if (!document || !m_document || &document->model() != &m_document->model()) {
        if (document) document->model().TakeActions();
        if (done) done(false);
        return;
    }
    if (m_holding) {
        m_held.append(std::move(done));
        return;
    }
    Flush();
    if (done) done(true);
}

void FakePane::ReleaseActions() {
    m_holding = false;
    Flush();
    const QList<Done> held = std::exchange(m_held, {});
    for (const Done& done : held)
        if (done) done(true);
}

void FakePane::PrintTo(QPrinter*, Done done) {
    m_calls << QStringLiteral("PrintTo");
    if (done) done(m_canPrint);
}

void FakePane::FindText(const QString& text, bool backward, bool caseSensitive, Done done) {
    m_calls << QStringLiteral("FindText");
    m_finds << text + (backward ? " <" : " >") + (caseSensitive ? " Aa" : "");
    if (done) done(false);
}

QWidget* FakePane::Widget() {
    if (!m_widget) m_widget = new QWidget;
    return m_widget;
}

void FakePane::SetIdle(PaneIdle state) {
    if (state == m_idle) return;
    m_idle = state;
    emit IdleChanged(state);
}
