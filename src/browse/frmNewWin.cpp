#include "browse/frmNewWin.h"

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

using namespace modGeneral;

namespace {

bool IsBlank(const QString& url) {
    return url.isEmpty() || url == QLatin1String("about:blank") || url == BlankPageUrl();
}

} // namespace

frmNewWin::frmNewWin(PopupPolicy& policy, const PaneFactory& factory, QWidget* parent)
    : QWidget(parent), m_policy(policy) {
    setObjectName(QStringLiteral("frmNewWin"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_addrBar = new QWidget(this);
    m_addrBar->setObjectName(QStringLiteral("addrBar"));
    auto* bar = new QHBoxLayout(m_addrBar);
    bar->setContentsMargins(4, 3, 4, 3);
    m_txtAddr = new QLineEdit(m_addrBar);
    m_txtAddr->setObjectName(QStringLiteral("txtAddr"));
    m_txtAddr->installEventFilter(this);
    m_cmdGo = new QPushButton(QStringLiteral("Go"), m_addrBar);
    m_cmdGo->setObjectName(QStringLiteral("cmdGo"));
    m_cmdGo->setAutoDefault(false);
    m_cmdNewWin = new QPushButton(QStringLiteral("New Window"), m_addrBar);
    m_cmdNewWin->setObjectName(QStringLiteral("cmdNewWin"));
    m_cmdNewWin->setAutoDefault(false);
    bar->addWidget(m_txtAddr, 1);
    bar->addWidget(m_cmdGo);
    bar->addWidget(m_cmdNewWin);
    layout->addWidget(m_addrBar);
    connect(m_cmdGo, &QPushButton::clicked, this, &frmNewWin::cmdGo_Click);
    connect(m_cmdNewWin, &QPushButton::clicked, this, &frmNewWin::cmdNewWin_Click);

    m_wb = factory(this);
    if (!m_wb->parent()) m_wb->setParent(this);
    m_wb->setObjectName(QStringLiteral("WB"));
    // Home is the user's home page, here as in the Link panes, and follows its changes.
    m_wb->SetHomePage(UserHomePage::Get());
    connect(UserHomePage::Notifier(), &HomePageNotifier::HomePageChanged, this,
            [this](const QString& url) { m_wb->SetHomePage(url); });
    layout->addWidget(m_wb->widget(), 1);

    const QString module = QLatin1String(kModule);
    connect(m_wb, &BrowserPane::BeforeNavigate2, this, [this, module](NavigateEvent& e) {
        Errors::Guarded(module, QStringLiteral("WB_BeforeNavigate2"), [&] { WB_BeforeNavigate2(e); });
    });
    connect(m_wb, &BrowserPane::DocumentComplete, this, [this, module](const QString& url, bool top) {
        Errors::Guarded(module, QStringLiteral("WB_DocumentComplete"),
                        [&] { WB_DocumentComplete(url, top); });
    });
    connect(m_wb, &BrowserPane::TitleChange, this, [this, module](const QString& title) {
        Errors::Guarded(module, QStringLiteral("WB_TitleChange"), [&] { WB_TitleChange(title); });
    });
    connect(m_wb, &BrowserPane::NewWindow2, this, [this, module](NewWindowEvent& e) {
        e.cancel();
        Errors::Guarded(module, QStringLiteral("WB_NewWindow2"), [&] { WB_NewWindow2(e); });
    });
    connect(m_wb, &BrowserPane::WindowClosing, this, &frmNewWin::WB_WindowClosing);
    connect(m_wb, &BrowserPane::CommandStateChange, this, &frmNewWin::WB_CommandStateChange);
    connect(m_wb, &BrowserPane::WindowSetRect, this, &frmNewWin::WB_WindowSetRect);
    connect(m_wb, &BrowserPane::FileDownload, this, &frmNewWin::WB_FileDownload);
    PageRequests::Attach(m_wb);
}

frmNewWin::~frmNewWin() {
    // The pane goes first, and nothing it says while going reaches the window.
    QObject::disconnect(m_wb, nullptr, this, nullptr);
    delete m_wb;
    m_wb = nullptr;
}

// ----- commands -------------------------------------------------------------------------------

void frmNewWin::NavigateURL(const QString& url) {
    m_txtAddr->setText(url);
    m_wb->Navigate2(url);
}

void frmNewWin::ShowAddrBar() {
    const bool shown = !AddrBarShown();
    m_addrBar->setVisible(shown);
    if (QWidget* frame = window()) {
        QAction* item = frame->findChild<QAction*>(QStringLiteral("mnuNavigateAddrBar"));
        if (item && item->isCheckable()) item->setChecked(shown);
    }
}

bool frmNewWin::AddrBarShown() const {
    return !m_addrBar->isHidden();
}

void frmNewWin::cmdGo_Click() {
    const QString url = m_txtAddr->text().trimmed();
    if (!url.isEmpty()) m_wb->Navigate2(url);
}

void frmNewWin::cmdNewWin_Click() {
    RunCommand(WindowCommand::NewWindow);
}

void frmNewWin::txtAddr_Enter(bool ctrl) {
    if (ctrl) m_txtAddr->setText(CompleteUrl(m_txtAddr->text()));
    cmdGo_Click();
}

void frmNewWin::RunCommand(WindowCommand command) {
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("RunCommand"), [&] {
        switch (command) {
        case WindowCommand::Stop:
            m_wb->Stop();
            break;
        case WindowCommand::Back:
            m_wb->GoBack();
            break;
        case WindowCommand::Forward:
            m_wb->GoForward();
            break;
        case WindowCommand::Home:
            m_wb->GoHome();
            break;
        case WindowCommand::Refresh:
            // Nothing to load again before the first page.
            if (m_wb->Document()) m_wb->Refresh();
            break;
        case WindowCommand::OpenInBrowser:
            DesktopBrowser::Open(m_wb->LocationURL());
            break;
        case WindowCommand::NewWindow:
            // The user asked for it here: its first page is no pop-up of this window's.
            App().glFormDocClicked = WindowHandle();
            m_policy.OpenNewWin(QLatin1String(PopupPolicy::kHome), true, nullptr, true, m_wb->ProfileId());
            break;
        case WindowCommand::AddressBar:
            ShowAddrBar();
            break;
        case WindowCommand::SearchTab:
        case WindowCommand::FavoritesTab:
            break; // the browse window's side bar
        }
    });
}

// ----- WB's events ----------------------------------------------------------------------------

void frmNewWin::WB_BeforeNavigate2(NavigateEvent& e) {
    if (App().Locked) {
        e.cancel = true;
        return;
    }
    // Leaving the page's site uses up the user's click credit, unless it is the click's own
    // script link.
    const DocumentPtr document = m_wb->Document();
    if (document && !e.url.contains(document->domain(), Qt::CaseInsensitive)) {
        if (!e.url.contains(QLatin1String("javascript:"), Qt::CaseInsensitive))
            App().glFormDocClicked = 0;
        else if (App().glFormDocClicked != 0)
            App().glFormDocClicked = WindowHandle();
    }
}

void frmNewWin::WB_DocumentComplete(const QString& url, bool topLevel) {
    if (!topLevel || IsBlank(url) || App().gbUnloading) return;
    const DocumentPtr document = m_wb->Document();
    const QString location = m_wb->LocationURL();
    if (windowTitle().isEmpty()) {
        const QString title = document ? document->title() : QString();
        setWindowTitle(Ellipsis(title.isEmpty() ? location : title, kMaxCaption));
    }
    const bool editing = m_txtAddr->hasFocus() && m_txtAddr->isModified();
    if (m_wb->ReadyState() >= PaneReadyState::Interactive && location != m_txtAddr->text() && !editing)
        m_txtAddr->setText(location);
}

void frmNewWin::WB_TitleChange(const QString& title) {
    if (IsBlank(m_wb->LocationURL())) return;
    if (!m_wb->IsHtmlDocument()) {
        setWindowTitle(Ellipsis(m_wb->LocationName(), kMaxCaption));
        m_txtAddr->setText(m_wb->LocationURL());
        return;
    }
    if (title == QLatin1String("http:///") || title.size() < 2) return;
    setWindowTitle(Ellipsis(title, kMaxCaption));
    // A page is recorded when it has a title of its own: untitled pages, PDFs and images stay
    // out of the histories and the address list.
    if (!m_wb->IsErrorPage()) RecordPage(title);
}

void frmNewWin::RecordPage(const QString& title) {
    // The title can come before the page's document is read: the address tells the protocol.
    const QString url = m_wb->LocationURL();
    m_policy.Browse().Recorder().RecordPage(
        m_history, VisitedPage{title, PageLocation{m_wb->LocationName(), url}, ProtocolText(url)});
}

void frmNewWin::WB_NewWindow2(NewWindowEvent& e) {
    m_policy.HandleNewWindow(*this, e);
}

void frmNewWin::WB_CommandStateChange(int command, bool enable) {
    if (command == PaneCommand::Back) m_brow.CanGoBack = enable;
    if (command == PaneCommand::Forward) m_brow.CanGoForward = enable;
}

void frmNewWin::WB_FileDownload() {
    // A window that opened only to bring a file has nothing to show: it goes, as in every
    // browser; one that shows a page stays.
    if (m_history.Count() == 0 && ShowsBlankPage() && !m_closing) WB_WindowClosing();
}

void frmNewWin::WB_WindowClosing() {
    if (m_closing) return;
    m_closingByPage = true;
    // Not inside the pane's own event: the pane goes with the window.
    QTimer::singleShot(0, this, &frmNewWin::CloseWindow);
}

void frmNewWin::WB_WindowSetRect(const QRect& geometry) {
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

void frmNewWin::CloseWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

bool frmNewWin::ShowsBlankPage() const {
    return IsBlank(m_wb->LocationURL());
}

void frmNewWin::QueryUnload(bool byUser) {
    if (m_closing) return;
    m_closing = true;
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("Form_QueryUnload"), [&] {
        m_wb->Stop();
        if (byUser && KeyState::CtrlHeld() && !ShowsBlankPage()) m_policy.OpenInExisting(m_wb->LocationURL());
        // Whatever the page still does (sounds, scripts) ends here.
        m_wb->Navigate2(BlankPageUrl());
    });
}

void frmNewWin::closeEvent(QCloseEvent* event) {
    // The user's close box is a mouse click; a keyboard shortcut that closes the window (itself
    // typed with Ctrl) must not move the page.
    const bool byMouse = m_policy.Host().LastInputWasMouse();
    QueryUnload(!m_closingByPage && byMouse);
    event->accept();
}

bool frmNewWin::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_txtAddr && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Errors::Guarded(QLatin1String(kModule), QStringLiteral("txtAddr_KeyPress"),
                            [&] { txtAddr_Enter(key->modifiers().testFlag(Qt::ControlModifier)); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
