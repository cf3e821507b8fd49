#include "frame/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "browse/AddressBox.h"
#include "browse/ChildWindow.h"
#include "browse/DownloadList.h"
#include "browse/DownloadsWindow.h"
#include "browse/engine/EngineDownloads.h"
#include "browse/engine/EngineNotifications.h"
#include "browse/LinkControls.h"
#include "browse/OfflineState.h"
#include "browse/PopupPolicy.h"
#include "browse/PopUpsList.h"
#include "browse/SearchPane.h"
#include "browse/StandaloneWindow.h"
#include "core/AppState.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "frame/ActivityMonitor.h"
#include "frame/FrameBrowseHost.h"
#include "frame/FrameStatusBar.h"
#include "frame/FrameToolbar.h"
#include "frame/HelpWindow.h"
#include "frame/InactivityLock.h"
#include "frame/MainCommands.h"
#include "frame/MainMenus.h"
#include "frame/MessageFlasher.h"
#include "frame/PageCommands.h"
#include "frame/Periphery.h"
#include "links/LinkEditor.h"
#include "links/Links.h"
#include "users/MessageWindow.h"
#include "users/SearchEngines.h"
#include "users/StartUp.h"

using namespace core;

namespace {

const QString kWorkingOffline = QStringLiteral("Working Offline");

QString Product() {
    return QString::fromLatin1(ProductName());
}

} // namespace

MainWindow::MainWindow(PaneFactory factory, QWidget* parent)
    : QMainWindow(parent), m_factory(std::move(factory)) {
    setObjectName(QStringLiteral("frmMDI"));
    setWindowTitle(Product());

    m_mdiArea = new QMdiArea;
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setBackground(palette().window());
    // Stand-alone windows open at their own size over the maximised browse window.
    m_mdiArea->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    // Sub-windows arrive here; their own window menu must not take the main window's keys.
    m_mdiArea->viewport()->installEventFilter(this);
    m_lockPage = BuildLockPage();
    m_stack = new QStackedWidget;
    m_stack->addWidget(m_mdiArea);
    m_stack->addWidget(m_lockPage);
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_stack, 1);
    m_findBar = Periphery::MakeFindBar(central);
    if (m_findBar) {
        m_findBar->hide();
        Periphery::SetFindBarPanes(m_findBar, [this]() -> BrowserPane* {
            ChildWindow* child = ActiveChild();
            return child ? child->ActivePane() : nullptr;
        });
        layout->addWidget(m_findBar);
        m_findBar->installEventFilter(this);
        for (QWidget* child : m_findBar->findChildren<QWidget*>())
            child->installEventFilter(this);
    }
    setCentralWidget(central);

    m_statusBar = new FrameStatusBar(this);
    setStatusBar(m_statusBar);
    connect(m_statusBar, &FrameStatusBar::PageErrorClicked, this, &MainWindow::ShowPageError);

    // The button bar and the links strip stay hidden until the user is known.
    m_toolbar = new FrameToolbar(this);
    addToolBar(Qt::TopToolBarArea, m_toolbar);
    m_toolbar->hide();
    addToolBarBreak(Qt::TopToolBarArea);
    m_linksToolbar = new QToolBar(QStringLiteral("Links"), this);
    m_linksToolbar->setObjectName(QStringLiteral("tbrLinks"));
    m_linksToolbar->setMovable(false);
    m_linksToolbar->setFloatable(false);
    m_linksBar = Periphery::MakeLinksBar(
        m_linksToolbar, [this](const QString& url) { NavigateActive(url); },
        [this] { m_menus->ShowToolbarsMenu(QCursor::pos()); });
    if (m_linksBar) m_linksToolbar->addWidget(m_linksBar);
    addToolBar(Qt::TopToolBarArea, m_linksToolbar);
    m_linksToolbar->hide();

    BuildLists();
    BuildMenus();
    m_lifeCycle = std::make_unique<ProgramLifeCycle>(*this);

    // A comfortable size on the screen at hand.
    QSize size(1280, 800);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        // A small screen is the window's alone; on a larger one it leaves some room around it.
        if (available.width() <= 1024)
            size = available.size();
        else if (available.width() < 1400 || available.height() < 900)
            size = QSize(available.width() * 85 / 100, available.height() * 85 / 100);
        size = size.boundedTo(available.size());
        move(available.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    resize(size);
}

MainWindow::~MainWindow() {
    // The windows go while the lists, the options and the store they use are still there.
    if (QMdiSubWindow* sub = BrowseSubWindow()) delete sub;
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList())
        delete sub;
    delete m_menus;
    m_lifeCycle.reset();
}

void MainWindow::BuildLists() {
    m_flasher = new MessageFlasher(*m_statusBar, this);
    m_popUps = new PopUpsList(this);
    connect(m_popUps, &PopUpsList::Listed, m_flasher, [this] {
        m_flasher->SetFlashMessage(QLatin1String(PopUpsList::kFlashText));
        m_flasher->SetNewPopUp();
    });
    // Clicks and key presses anywhere in the program: the pop-up policy's click credit and the
    // inactivity lock's idle time.
    m_activity = new ActivityMonitor(m_mdiArea, this);
    m_activity->Install();
    m_pageCommands = std::make_unique<PageCommands>(this, [this] { return ActiveChild(); });
    // Every profile's downloads come here, whichever window's page they came from.
    m_downloads = new DownloadList(this);
    m_engineDownloads = new EngineDownloads(
        [this](const EngineDownloads::Offer& offer) {
            return DownloadList::AskWhereToSave(offer.suggestedName, this);
        },
        this);
    connect(m_engineDownloads, &EngineDownloads::Started, this, &MainWindow::DownloadStarted);
    connect(m_downloads, &DownloadList::Completed, this, [this](Download* download) {
        m_flasher->SetFlashMessage(QStringLiteral("Download complete: ") + download->FileName());
    });
    // What sites the user let show notifications say comes in the status bar.
    connect(new EngineNotifications(this), &EngineNotifications::Shown, this,
            [this](const QString& site, const QString& title, const QString& message) {
                m_flasher->SetFlashMessage(site + QStringLiteral(": ") + title +
                                           (message.isEmpty() ? QString() : QStringLiteral(" - ") + message));
            });
}

void MainWindow::BuildMenus() {
    MainMenus::States states;
    states.canCloseWindow = [this] {
        QMdiSubWindow* current = m_mdiArea->currentSubWindow();
        return current && current != BrowseSubWindow();
    };
    states.hasPage = [this] {
        ChildWindow* child = ActiveChild();
        return child && child->ActivePane();
    };
    states.canPrint = [this] { return m_pageCommands->CanPrint(); };
    states.textSize = [this] { return m_pageCommands->TextSize(); };
    states.addressBarShown = [this] {
        auto* window = dynamic_cast<StandaloneWindow*>(ActiveChild());
        return !window || window->AddrBarShown();
    };
    m_menus = new MainMenus(*this, *m_toolbar, {m_masterHistory, m_bookmarks, *m_popUps, m_flasher},
                            std::move(states), m_findBar != nullptr);
    m_commands = std::make_unique<MainCommands>(*this, *m_menus);
    connect(m_menus, &MainMenus::Triggered, this, &MainWindow::RunCommand);
    connect(m_menus, &MainMenus::NavigateRequested, this, &MainWindow::NavigateActive);
    connect(m_menus, &MainMenus::PopUpChosen, this, [this](const QString& url, const QString& profile) {
        // In the session of the page that opened it, never in another Link's.
        if (m_browse)
            m_browse->PopUps().OpenInCurrentWindow(url, profile);
        else
            NavigateActive(url);
    });
}

QWidget* MainWindow::BuildLockPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("lockPage"));
    page->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(page);
    layout->addStretch(2);
    auto* padlock = new QLabel;
    padlock->setPixmap(FrameStatusBar::Padlock(48));
    padlock->setAlignment(Qt::AlignCenter);
    auto* title = new QLabel(QStringLiteral("This account is locked."));
    title->setAlignment(Qt::AlignCenter);
    QFont bold = title->font();
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    bold.setBold(true);
    title->setFont(bold);
    auto* hint = new QLabel(QStringLiteral("Your password is needed to open it again."));
    hint->setAlignment(Qt::AlignCenter);
    auto* unlock = new QPushButton(QStringLiteral("&Unlock..."));
    unlock->setObjectName(QStringLiteral("cmdUnlock"));
    // Where the window system does not minimise the main window, this stands in for restoring it:
    // the next check of the lock asks for the password.
    connect(unlock, &QPushButton::clicked, this, [this] {
        showNormal();
        activateWindow();
    });
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(unlock);
    row->addStretch();
    layout->addWidget(padlock);
    layout->addWidget(title);
    layout->addWidget(hint);
    layout->addSpacing(12);
    layout->addLayout(row);
    layout->addStretch(3);
    return page;
}

void MainWindow::RunCommand(MainCommand command, bool checked) {
    m_commands->Run(command, checked);
}

// ----- start-up and shutdown ------------------------------------------------------------------

void MainWindow::SetUserCaption() {
    setWindowTitle(StartUp::MainTitle());
}

void MainWindow::RestoreOfflineState() {
    OfflineState::Restore();
    SetWorkOfflineChecked(OfflineState::IsOffline());
}

void MainWindow::ToolbarResetData(int screenWidth) {
    if (screenWidth < 0) {
        QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
        screenWidth = where ? where->geometry().width() : 1024;
    }
    m_view = ViewSettings::Load(App().CurrentUser);
    m_menus->ResetToolbar(screenWidth, m_view.textLabels);
    m_menus->SetEnabled(MainCommand::ShowLinksBar, m_linksBar != nullptr);
    ApplyView();
}

void MainWindow::LoadLinksBar() {
    Periphery::LoadLinksBar(m_linksBar);
}

void MainWindow::LoadLists() {
    m_masterHistory.LoadMasterHistory();
    QCoreApplication::processEvents();
    m_bookmarks.LoadBookmarks();
    QCoreApplication::processEvents();
}

BrowseWindow* MainWindow::LoadBrowseWindow(PaneFactory factory) {
    if (m_browse) return m_browse;
    if (!m_browseHost)
        m_browseHost = std::make_unique<FrameBrowseHost>(
            *this, FrameBrowseHost::Parts{*m_menus, *m_statusBar, *m_mdiArea});
    auto* browse = new BrowseWindow(*m_browseHost, factory ? std::move(factory) : m_factory);
    m_browse = browse;
    QMdiSubWindow* sub =
        m_mdiArea->addSubWindow(browse, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    sub->setObjectName(QStringLiteral("frmBrowseWindow"));
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    WireBrowseWindow();
    connect(browse, &BrowseWindow::StartUpNavigated, m_lifeCycle.get(),
            &ProgramLifeCycle::OpenPendingAddresses);
    browse->Load();
    if (m_lifeCycle->EndRequested()) return nullptr; // the load ended the program
    sub->showMaximized();
    browse->Activate();
    return browse;
}

QMdiSubWindow* MainWindow::BrowseSubWindow() const {
    return m_browse ? qobject_cast<QMdiSubWindow*>(m_browse->parentWidget()) : nullptr;
}

void MainWindow::WireBrowseWindow() {
    m_browse->SetLinkEditorOpener([](LinkEditorHost& host, QWidget* parent, const Link* link) {
        if (link)
            LinkEditor::RunEdit(host, *link, parent);
        else
            LinkEditor::RunAdd(host, parent);
    });
    m_browse->Recorder().SetMasterHistory(&m_masterHistory);
    m_browse->m_hidePopUps = m_menus->IsChecked(MainCommand::HidePopUps);
    if (m_lock) m_browse->SetLockCheck([this] { return m_lock && m_lock->CheckLock(); });
}

void MainWindow::UnloadBrowseWindow() {
    if (!m_browse) return;
    m_browse->Unload();
    m_browse->close();
}

void MainWindow::UnloadOtherWindows() {
    const auto unload = [](QWidget* window, const QString& name) {
        window->hide();
        window->close();
        WriteLog(QStringLiteral("MDIForm_UnLoad ") + name + QStringLiteral(" unloaded successfully"));
    };
    QMdiSubWindow* browse = BrowseSubWindow();
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList()) {
        if (sub == browse) continue;
        unload(sub, sub->widget() ? sub->widget()->objectName() : sub->objectName());
    }
    if (browse) browse->hide();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window == this || !window->isVisible() || qobject_cast<MessageWindow*>(window) ||
            qobject_cast<QMenu*>(window))
            continue;
        unload(window, window->objectName());
    }
}

void MainWindow::SetInputEnabled(bool enabled) {
    m_menus->SetInputEnabled(enabled);
    m_linksToolbar->setEnabled(enabled);
    m_stack->setEnabled(enabled);
}

void MainWindow::InstallLock() {
    m_lock = std::make_unique<InactivityLock>(
        *this, *m_mdiArea, *m_lockPage,
        InactivityLock::Activity{[this] { return m_activity->LastActivity(); },
                                 [this](const QDateTime& moment) { m_activity->SetLastActivity(moment); }});
}

void MainWindow::RemoveLock() {
    if (m_browse) m_browse->SetLockCheck({});
    m_lock.reset();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_lifeCycle->UnloadDone() || m_lifeCycle->Ended()) {
        event->accept();
        return;
    }
    // The real unload runs later, from the unload timer.
    event->ignore();
    m_lifeCycle->QueryUnload(event->spontaneous() ? ProgramLifeCycle::CloseBox : ProgramLifeCycle::Code);
}

// ----- the children ---------------------------------------------------------------------------

ChildWindow* MainWindow::ActiveChild() const {
    // The sub-window last active, even while the main window itself is not (a menu is open).
    if (QMdiSubWindow* sub = m_mdiArea->currentSubWindow())
        if (auto* child = dynamic_cast<ChildWindow*>(sub->widget())) return child;
    return m_browse ? static_cast<ChildWindow*>(m_browse.data()) : nullptr;
}

void MainWindow::NavigateActive(const QString& url) {
    if (ChildWindow* child = ActiveChild()) child->NavigateURL(url);
}

void MainWindow::Cascade() {
    m_mdiArea->cascadeSubWindows();
}

namespace {
QList<QMdiSubWindow*> Arrangeable(QMdiArea* area) {
    QList<QMdiSubWindow*> out;
    for (QMdiSubWindow* sub : area->subWindowList())
        if (sub->isVisible() && !sub->isMinimized()) out << sub;
    return out;
}
} // namespace

void MainWindow::TileHorizontal() {
    const QList<QMdiSubWindow*> windows = Arrangeable(m_mdiArea);
    if (windows.isEmpty()) return;
    const QRect area = m_mdiArea->viewport()->rect();
    const int height = area.height() / int(windows.size());
    int y = 0;
    for (QMdiSubWindow* sub : windows) {
        if (sub->isMaximized()) sub->showNormal();
        sub->setGeometry(0, y, area.width(), height);
        y += height;
    }
}

void MainWindow::TileVertical() {
    const QList<QMdiSubWindow*> windows = Arrangeable(m_mdiArea);
    if (windows.isEmpty()) return;
    const QRect area = m_mdiArea->viewport()->rect();
    const int width = area.width() / int(windows.size());
    int x = 0;
    for (QMdiSubWindow* sub : windows) {
        if (sub->isMaximized()) sub->showNormal();
        sub->setGeometry(x, 0, width, area.height());
        x += width;
    }
}

void MainWindow::ArrangeIcons() {
    // Minimised windows in rows along the bottom, left to right.
    const QRect area = m_mdiArea->viewport()->rect();
    int x = 0;
    int y = area.bottom();
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList()) {
        if (!sub->isMinimized()) continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            y -= size.height();
        }
        sub->move(x, y - size.height() + 1);
        x += size.width();
    }
}

void MainWindow::CloseAll() {
    QMdiSubWindow* browse = BrowseSubWindow();
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList())
        if (sub != browse) sub->close();
}

void MainWindow::CloseActiveWindow() {
    QMdiSubWindow* sub = m_mdiArea->currentSubWindow();
    if (sub && sub != BrowseSubWindow()) sub->close();
}

void MainWindow::SetLockedView(bool locked) {
    m_stack->setCurrentWidget(locked ? m_lockPage : static_cast<QWidget*>(m_mdiArea));
    m_menus->SetInputEnabled(!locked);
    m_linksToolbar->setEnabled(!locked);
    if (locked && m_findBar && m_findBar->isVisible()) Periphery::CloseFindBar(m_findBar);
    if (locked)
        for (AddressBox* box : findChildren<AddressBox*>())
            box->HideMatches();
    // Nothing of the pages shows: not their titles and addresses in the status bar, nor the
    // user's links in the bars.
    m_lockedView = locked;
    ApplyView();
    if (locked)
        if (auto* unlock = m_lockPage->findChild<QWidget*>(QStringLiteral("cmdUnlock")))
            unlock->setFocus(Qt::OtherFocusReason);
    // Addresses handed over while locked open once the account is open again.
    if (!locked) QTimer::singleShot(0, m_lifeCycle.get(), &ProgramLifeCycle::OpenPendingAddresses);
}

bool MainWindow::LockedView() const {
    return m_stack->currentWidget() == m_lockPage;
}

// ----- bars, view -----------------------------------------------------------------------------

void MainWindow::ApplyView() {
    const bool bars = !m_fullScreen && !m_lockedView;
    m_toolbar->setVisible(m_view.buttons && bars);
    m_linksToolbar->setVisible(m_linksBar && m_view.linksBar && bars);
    m_statusBar->setVisible(m_view.statusBar && bars);
    m_menus->SetChecked(MainCommand::ShowButtons, m_view.buttons);
    m_menus->SetChecked(MainCommand::ShowLinksBar, m_view.linksBar);
    m_menus->SetChecked(MainCommand::ShowStatusBar, m_view.statusBar);
    m_menus->SetText(MainCommand::TextLabels, MainMenus::TextLabelsCaption(m_view.textLabels));
}

void MainWindow::ToggleView(const stored::Value<bool>& bar, bool shown) {
    if (bar.name == ViewSettings::kButtons.name)
        m_view.buttons = shown;
    else if (bar.name == ViewSettings::kLinksBar.name)
        m_view.linksBar = shown;
    else if (bar.name == ViewSettings::kStatusBar.name)
        m_view.statusBar = shown;
    ViewSettings::Save(App().CurrentUser, bar, shown);
    ApplyView();
}

void MainWindow::SetTextLabels(bool on) {
    m_view.textLabels = on;
    ViewSettings::Save(App().CurrentUser, ViewSettings::kTextLabels, on);
    m_toolbar->SetToolbar(on);
    ApplyView();
}

void MainWindow::EnableViewToolbarsMenus(bool enabled) {
    m_menus->EnableToolbarsMenu(enabled, m_linksBar != nullptr);
}

void MainWindow::FullScreen(bool on) {
    m_menus->SetChecked(MainCommand::FullScreen, on);
    if (on == m_fullScreen) return;
    m_fullScreen = on;
    if (on) {
        m_stateBeforeFullScreen = windowState() & ~Qt::WindowFullScreen;
        ApplyView();
        EnableViewToolbarsMenus(false);
        showFullScreen();
    } else {
        // The bars come back as the user had them, the button bar above the links strip.
        ApplyView();
        EnableViewToolbarsMenus(true);
        setWindowState(m_stateBeforeFullScreen);
        show();
    }
}

QMenu* MainWindow::createPopupMenu() {
    // A right click on the bars' area: the View, Toolbars menu.
    auto* menu = new QMenu(this);
    menu->addActions(m_menus->ToolbarsActions());
    return menu;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildPolished && watched == m_mdiArea->viewport()) {
        // A sub-window's window menu binds Ctrl+W and Ctrl+F4 to its own Close; two such
        // bindings make both keys dead. File, Close is the one command for them.
        if (auto* sub = qobject_cast<QMdiSubWindow*>(static_cast<QChildEvent*>(event)->child()))
            for (QAction* action : sub->actions())
                action->setShortcuts({});
        return false;
    }
    // Esc in the find bar closes it; elsewhere it stops the page.
    if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && m_findBar && m_findBar->isVisible()) {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
        } else {
            Periphery::CloseFindBar(m_findBar);
            if (m_browse) m_browse->EnsureAppFocus();
        }
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::OpenFind() {
    if (!m_findBar) return;
    ChildWindow* child = ActiveChild();
    Periphery::AttachFindBar(m_findBar, child ? child->ActivePane() : nullptr);
    Periphery::OpenFindBar(m_findBar);
}

void MainWindow::FindNext() {
    if (!m_findBar) return;
    ChildWindow* child = ActiveChild();
    Periphery::AttachFindBar(m_findBar, child ? child->ActivePane() : nullptr);
    Periphery::FindNext(m_findBar);
}

// ----- lists, options, help -------------------------------------------------------------------

void MainWindow::AddBookmark() {
    ChildWindow* child = ActiveChild();
    BrowserPane* pane = child ? child->ActivePane() : nullptr;
    if (!pane) return;
    const QString url = pane->LocationURL();
    if (url.isEmpty() || url == QLatin1String("about:blank")) return;
    m_bookmarks.AddBookmark(BookmarkPage{pane->LocationName(), pane->LocationName(), url});
}

void MainWindow::OptionsApplied() {
    m_masterHistory.RefreshMasterHisList();
    m_bookmarks.DeleteExtraBookmarks();
    if (m_browse) m_browse->ReadIdleMinutes();
    if (m_browse && m_browse->SearchPanel())
        m_browse->SearchPanel()->SetServices(SearchPages::ServicesFor(SearchEngines::Load(App().CurrentUser)));
}

QString MainWindow::HomePage() {
    return Periphery::HomePage();
}

void MainWindow::ShowHelp(const QString& topic) {
    const QString url = Periphery::HelpTopicUrl(topic);
    if (url.isEmpty() || !m_factory) return;
    // A window of its own, so that it can be read beside a dialog that asked for it.
    if (!m_helpWindow) m_helpWindow = new HelpWindow(this, m_factory);
    m_helpWindow->ShowPage(url);
}

void MainWindow::ShowDownloads() {
    if (!m_downloadsWindow) m_downloadsWindow = new DownloadsWindow(*m_downloads, this);
    m_downloadsWindow->ShowWindow();
}

void MainWindow::DownloadStarted(Download* download) {
    m_downloads->Add(download);
    // The list comes up with the new file, without taking the keyboard from the page.
    if (!m_downloadsWindow) m_downloadsWindow = new DownloadsWindow(*m_downloads, this);
    if (!m_downloadsWindow->isVisible()) {
        m_downloadsWindow->setAttribute(Qt::WA_ShowWithoutActivating);
        m_downloadsWindow->ShowBeside();
        m_downloadsWindow->setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
}

// ----- what the browse window uses ------------------------------------------------------------

void MainWindow::UpdateProgress(int value) {
    m_statusBar->UpdateProgress(value);
}

void MainWindow::NavigateURL(const QString& url) {
    if (m_browse) m_browse->NavigateURL(url);
}

bool MainWindow::WorkOfflineChecked() const {
    return m_menus->IsChecked(MainCommand::WorkOffline);
}

void MainWindow::SetWorkOfflineChecked(bool checked) {
    m_menus->SetChecked(MainCommand::WorkOffline, checked);
    if (checked)
        m_statusBar->SetPanelText(3, kWorkingOffline);
    else if (m_statusBar->PanelText(3) == kWorkingOffline)
        m_statusBar->SetPanelText(3, QString());
}

void MainWindow::WorkOffline(bool checked) {
    OfflineState::SetOffline(checked);
    SetWorkOfflineChecked(checked);
}

void MainWindow::ShowPageError(const QString& tag) {
    MsgBox(QStringLiteral("Problem with this Web page might prevent it from being ") + CRLF +
               QStringLiteral("displayed properly or functioning properly.") + CRLF + CRLF + tag,
           msgbox::OKOnly, msgbox::NoIcon, Product());
}

void MainWindow::ShowMessage(const QString& text) {
    MessageWindow::ShowText(text, this);
}

void MainWindow::HideMessage() {
    MessageWindow::HideText();
}

QString MainWindow::MessageText() const {
    return MessageWindow::IsShown() ? MessageWindow::Instance()->Text() : QString();
}

bool MainWindow::MessageShown() const {
    return MessageWindow::IsShown();
}
