#include "browse/StandaloneWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "browse/BrowseHost.h"
#include "browse/DesktopBrowser.h"
#include "browse/engine/BrowserPane.h"
#include "browse/KeyState.h"
#include "browse/PageRecorder.h"
#include "browse/PageRequests.h"
#include "browse/PopupPolicy.h"
#include "browse/UserHomePage.h"
#include "core/AppState.h"
#include "core/Errors.h"
#include "core/MessageBox.h"
#include "core/UrlUtils.h"

using namespace core;

namespace {

bool IsBlank(const QString& url) {
    return url.isEmpty() || url == QLatin1String("about:blank") || url == BlankPageUrl();
}

} // namespace

StandaloneWindow::StandaloneWindow(PopupPolicy& policy, const PaneFactory& factory, QWidget* parent)
    : QWidget(parent), m_policy(policy) {
    setObjectName(QStringLiteral("frmNewWin"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_addrBar = new QWidget(this);
    m_addrBar->setObjectName(QStringLiteral("addrBar"));
    auto* bar = new QHBoxLayout(m_addrBar);
    bar->setContentsMargins(4, 3, 4, 3);
    m_addressEdit = new QLineEdit(m_addrBar);
    m_addressEdit->setObjectName(QStringLiteral("txtAddr"));
    m_addressEdit->installEventFilter(this);
    m_goButton = new QPushButton(QStringLiteral("Go"), m_addrBar);
    m_goButton->setObjectName(QStringLiteral("cmdGo"));
    m_goButton->setAutoDefault(false);
    m_newWindowButton = new QPushButton(QStringLiteral("New Window"), m_addrBar);
    m_newWindowButton->setObjectName(QStringLiteral("cmdNewWin"));
    m_newWindowButton->setAutoDefault(false);
    bar->addWidget(m_addressEdit, 1);
    bar->addWidget(m_goButton);
    bar->addWidget(m_newWindowButton);
    layout->addWidget(m_addrBar);
    connect(m_goButton, &QPushButton::clicked, this, &StandaloneWindow::OnGoClicked);
    connect(m_newWindowButton, &QPushButton::clicked, this, &StandaloneWindow::OnNewWindowClicked);

    m_pane = factory(this);
    if (!m_pane->parent()) m_pane->setParent(this);
    m_pane->setObjectName(QStringLiteral("WB"));
    // Home is the user's home page, here as in the Link panes, and follows its changes.
    m_pane->SetHomePage(UserHomePage::Get());
    connect(UserHomePage::Notifier(), &HomePageNotifier::HomePageChanged, this,
            [this](const QString& url) { m_pane->SetHomePage(url); });
    layout->addWidget(m_pane->Widget(), 1);

    const QString module = QLatin1String(kModule);
    connect(m_pane, &BrowserPane::BeforeNavigate2, this, [this, module](NavigateEvent& e) {
        Errors::Guarded(module, QStringLiteral("WB_BeforeNavigate2"), [&] { OnBeforeNavigate2(e); });
    });
    connect(m_pane, &BrowserPane::DocumentComplete, this, [this, module](const QString& url, bool top) {
        Errors::Guarded(module, QStringLiteral("WB_DocumentComplete"), [&] { OnDocumentComplete(url, top); });
    });
    connect(m_pane, &BrowserPane::TitleChange, this, [this, module](const QString& title) {
        Errors::Guarded(module, QStringLiteral("WB_TitleChange"), [&] { OnTitleChange(title); });
    });
    connect(m_pane, &BrowserPane::NewWindow2, this, [this, module](NewWindowEvent& e) {
        e.Cancel();
        Errors::Guarded(module, QStringLiteral("WB_NewWindow2"), [&] { OnNewWindow2(e); });
    });
    connect(m_pane, &BrowserPane::WindowClosing, this, &StandaloneWindow::OnWindowClosing);
    connect(m_pane, &BrowserPane::CommandStateChange, this, &StandaloneWindow::OnCommandStateChange);
    connect(m_pane, &BrowserPane::WindowSetRect, this, &StandaloneWindow::OnWindowSetRect);
    connect(m_pane, &BrowserPane::FileDownload, this, &StandaloneWindow::OnFileDownload);
    PageRequests::Attach(m_pane);
}

StandaloneWindow::~StandaloneWindow() {
    // The pane goes first, and nothing it says while going reaches the window.
    QObject::disconnect(m_pane, nullptr, this, nullptr);
    delete m_pane;
    m_pane = nullptr;
}

// ----- commands -------------------------------------------------------------------------------

void StandaloneWindow::NavigateURL(const QString& url) {
    m_addressEdit->setText(url);
    m_pane->Navigate2(url);
}

void StandaloneWindow::ShowAddrBar() {
    const bool shown = !AddrBarShown();
    m_addrBar->setVisible(shown);
    if (QWidget* frame = window()) {
        QAction* item = frame->findChild<QAction*>(QStringLiteral("mnuNavigateAddrBar"));
        if (item && item->isCheckable()) item->setChecked(shown);
    }
}

bool StandaloneWindow::AddrBarShown() const {
    return !m_addrBar->isHidden();
}

void StandaloneWindow::OnGoClicked() {
    const QString url = m_addressEdit->text().trimmed();
    if (!url.isEmpty()) m_pane->Navigate2(url);
}

void StandaloneWindow::OnNewWindowClicked() {
    RunCommand(WindowCommand::NewWindow);
}

void StandaloneWindow::OnAddressEnter(bool ctrl) {
    if (ctrl) m_addressEdit->setText(CompleteUrl(m_addressEdit->text()));
    OnGoClicked();
}

void StandaloneWindow::RunCommand(WindowCommand command) {
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("RunCommand"), [&] {
        switch (command) {
        case WindowCommand::Stop:
            m_pane->Stop();
            break;
        case WindowCommand::Back:
            m_pane->GoBack();
            break;
        case WindowCommand::Forward:
            m_pane->GoForward();
            break;
        case WindowCommand::Home:
            m_pane->GoHome();
            break;
        case WindowCommand::Refresh:
            // Nothing to load again before the first page.
            if (m_pane->Document()) m_pane->Refresh();
            break;
        case WindowCommand::OpenInBrowser:
            DesktopBrowser::Open(m_pane->LocationURL());
            break;
        case WindowCommand::NewWindow:
            // The user asked for it here: its first page is no pop-up of this window's.
            App().LastClickedWindow = WindowHandle();
            m_policy.OpenNewWin(QLatin1String(PopupPolicy::kHome), true, nullptr, true, m_pane->ProfileId());
            break;
        case WindowCommand::AddressBar:
            ShowAddrBar();
            break;
        case WindowCommand::FocusAddress:
            if (!AddrBarShown()) ShowAddrBar();
            m_addressEdit->setFocus(Qt::ShortcutFocusReason);
            m_addressEdit->selectAll();
            break;
        case WindowCommand::SearchTab:
        case WindowCommand::FavoritesTab:
            break; // the browse window's side bar
        }
    });
}

// ----- Pane's events ----------------------------------------------------------------------------

void StandaloneWindow::OnBeforeNavigate2(NavigateEvent& e) {
    if (App().Locked) {
        e.cancel = true;
        return;
    }
    // Leaving the page's site uses up the user's click credit, unless it is the click's own
    // script link.
    const DocumentPtr document = m_pane->Document();
    if (document && !e.url.contains(document->domain(), Qt::CaseInsensitive)) {
        if (!e.url.contains(QLatin1String("javascript:"), Qt::CaseInsensitive))
            App().LastClickedWindow = 0;
        else if (App().LastClickedWindow != 0)
            App().LastClickedWindow = WindowHandle();
    }
}

void StandaloneWindow::OnDocumentComplete(const QString& url, bool topLevel) {
    if (!topLevel || IsBlank(url) || App().Unloading) return;
    const DocumentPtr document = m_pane->Document();
    const QString location = m_pane->LocationURL();
    if (windowTitle().isEmpty()) {
        const QString title = document ? document->title() : QString();
        setWindowTitle(Ellipsis(title.isEmpty() ? location : title, kMaxCaption));
    }
    const bool editing = m_addressEdit->hasFocus() && m_addressEdit->isModified();
    if (m_pane->ReadyState() >= PaneReadyState::Interactive && location != m_addressEdit->text() && !editing)
        m_addressEdit->setText(location);
}

void StandaloneWindow::OnTitleChange(const QString& title) {
    if (IsBlank(m_pane->LocationURL())) return;
    if (!m_pane->IsHtmlDocument()) {
        setWindowTitle(Ellipsis(m_pane->LocationName(), kMaxCaption));
        m_addressEdit->setText(m_pane->LocationURL());
        return;
    }
    if (title == QLatin1String("http:///") || title.size() < 2) return;
    setWindowTitle(Ellipsis(title, kMaxCaption));
    // A page is recorded when it has a title of its own: untitled pages, PDFs and images stay
    // out of the histories and the address list.
    if (!m_pane->IsErrorPage()) RecordPage(title);
}

void StandaloneWindow::RecordPage(const QString& title) {
    // The title can come before the page's document is read: the address tells the protocol.
    const QString url = m_pane->LocationURL();
    m_policy.Recorder().RecordPage(
        m_history, VisitedPage{title, PageLocation{m_pane->LocationName(), url}, ProtocolText(url)});
}

void StandaloneWindow::OnNewWindow2(NewWindowEvent& e) {
    m_policy.HandleNewWindow(*this, e);
}

void StandaloneWindow::OnCommandStateChange(int command, bool enable) {
    if (command == PaneCommand::Back) m_brow.CanGoBack = enable;
    if (command == PaneCommand::Forward) m_brow.CanGoForward = enable;
}

void StandaloneWindow::OnFileDownload() {
    // A window that opened only to bring a file has nothing to show: it goes, as in every
    // browser; one that shows a page stays.
    if (m_history.Count() == 0 && ShowsBlankPage() && !m_closing) OnWindowClosing();
}

void StandaloneWindow::OnWindowClosing() {
    if (m_closing) return;
    m_closingByPage = true;
    // Not inside the pane's own event: the pane goes with the window.
    QTimer::singleShot(0, this, &StandaloneWindow::CloseWindow);
}

void StandaloneWindow::OnWindowSetRect(const QRect& geometry) {
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!sub || !sub->mdiArea() || sub->isMaximized() || sub->isMinimized()) return;
    if (geometry.width() <= 0 || geometry.height() <= 0) return;
    // The page asks for the size of its own area; the window adds its frame and address bar.
    QSize chrome = sub->size() - size();
    if (AddrBarShown()) chrome.rheight() += m_addrBar->sizeHint().height();
    const QSize client = sub->mdiArea()->viewport()->size();
    const QSize wanted = (geometry.size() + chrome).expandedTo(sub->minimumSizeHint()).boundedTo(client);
    sub->resize(wanted);
    // It stays where it is, as far as it fits in the frame.
    QPoint at = sub->pos();
    at.setX(qBound(0, at.x(), qMax(0, client.width() - wanted.width())));
    at.setY(qBound(0, at.y(), qMax(0, client.height() - wanted.height())));
    sub->move(at);
}

// ----- closing --------------------------------------------------------------------------------

void StandaloneWindow::CloseWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

bool StandaloneWindow::ShowsBlankPage() const {
    return IsBlank(m_pane->LocationURL());
}

void StandaloneWindow::QueryUnload(bool byUser) {
    if (m_closing) return;
    m_closing = true;
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("Form_QueryUnload"), [&] {
        m_pane->Stop();
        if (byUser && KeyState::CtrlHeld() && !ShowsBlankPage())
            m_policy.OpenInExisting(m_pane->LocationURL());
        // Whatever the page still does (sounds, scripts) ends here.
        m_pane->Navigate2(BlankPageUrl());
    });
}

void StandaloneWindow::closeEvent(QCloseEvent* event) {
    // The user's close box is a mouse click; a keyboard shortcut that closes the window (itself
    // typed with Ctrl) must not move the page.
    const bool byMouse = m_policy.Host().LastInputWasMouse();
    QueryUnload(!m_closingByPage && byMouse);
    event->accept();
}

bool StandaloneWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_addressEdit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Errors::Guarded(QLatin1String(kModule), QStringLiteral("txtAddr_KeyPress"),
                            [&] { OnAddressEnter(key->modifiers().testFlag(Qt::ControlModifier)); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
