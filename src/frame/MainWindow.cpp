#include "frame/MainWindow.h"

#include <cstdio>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <unistd.h>

#include "browse/AddressBox.h"
#include "browse/ChildWindow.h"
#include "browse/DownloadList.h"
#include "browse/DownloadsWindow.h"
#include "browse/engine/EngineDownloads.h"
#include "browse/engine/EngineNotifications.h"
#include "browse/engine/WebProfiles.h"
#include "browse/Favorites.h"
#include "browse/FavoritesImport.h"
#include "browse/LinkControls.h"
#include "browse/OfflineState.h"
#include "browse/PopupPolicy.h"
#include "browse/PopUpsList.h"
#include "browse/SearchPane.h"
#include "browse/StandaloneWindow.h"
#include "core/AppPaths.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Errors.h"
#include "core/HelpRequest.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/ProcessPrivacy.h"
#include "core/SettingsStore.h"
#include "frame/ActivityMonitor.h"
#include "frame/BookmarksMenu.h"
#include "frame/CommandLine.h"
#include "frame/FrameBrowseHost.h"
#include "frame/FrameStatusBar.h"
#include "frame/FrameToolbar.h"
#include "frame/HelpWindow.h"
#include "frame/InactivityLock.h"
#include "frame/MasterHistoryMenu.h"
#include "frame/MessageFlasher.h"
#include "frame/PageCommands.h"
#include "frame/Periphery.h"
#include "frame/PopUpsMenu.h"
#include "frame/SingleInstance.h"
#include "frame/TerminationSignals.h"
#include "links/LinkEditor.h"
#include "links/Links.h"
#include "users/DeleteUser.h"
#include "users/DeleteUserDialog.h"
#include "users/LoginDialog.h"
#include "users/MessageWindow.h"
#include "users/ProgramEnd.h"
#include "users/SettingsTransfer.h"
#include "users/StartUp.h"
#include "users/UserOptions.h"

using namespace core;

namespace {

const QString kWorkingOffline = QStringLiteral("Working Offline");
constexpr const char* kModule = "Bramblegate.frmMDI";

QString Product() {
    return QString::fromLatin1(ProductName());
}

QString TextLabelsCaption(bool labelsOn) {
    return labelsOn ? QStringLiteral("Show &Icons Only") : QStringLiteral("Show &Text Labels");
}

} // namespace

// The desktop's quit of the program: the session is ending (the user logs out).
class SessionEndFilter : public QObject {
public:
    SessionEndFilter(std::function<void()> ended, QObject* parent)
        : QObject(parent), m_ended(std::move(ended)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Quit || watched != QCoreApplication::instance()) return false;
        m_ended();
        return true;
    }

private:
    std::function<void()> m_ended;
};

MainWindow::MainWindow(PaneFactory factory, QWidget* parent)
    : QMainWindow(parent), m_factory(std::move(factory)) {
    setObjectName(QStringLiteral("frmMDI"));
    setWindowTitle(Product());

    m_mdiArea = new QMdiArea;
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setBackground(palette().window());
    // Stand-alone windows open at their own size over the maximised browse window.
    m_mdiArea->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    // Sub-windows arrive here; their own window menu must not take the frame's keys.
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
    connect(m_toolbar, &FrameToolbar::ButtonClick, this, &MainWindow::OnToolbarButton);
    connect(m_toolbar, &FrameToolbar::ContextMenuRequested, this, &MainWindow::ShowToolbarsMenu);
    addToolBarBreak(Qt::TopToolBarArea);
    m_linksToolbar = new QToolBar(QStringLiteral("Links"), this);
    m_linksToolbar->setObjectName(QStringLiteral("tbrLinks"));
    m_linksToolbar->setMovable(false);
    m_linksToolbar->setFloatable(false);
    m_linksBar = Periphery::MakeLinksBar(
        m_linksToolbar, [this](const QString& url) { NavigateActive(url); },
        [this] { ShowToolbarsMenu(QCursor::pos()); });
    if (m_linksBar) m_linksToolbar->addWidget(m_linksBar);
    addToolBar(Qt::TopToolBarArea, m_linksToolbar);
    m_linksToolbar->hide();

    m_masterHistoryPopup = new QMenu(QStringLiteral("&History List"), this);
    m_masterHistoryPopup->setObjectName(QStringLiteral("mnpMasterHistoryList"));
    m_bookmarksPopup = new QMenu(QStringLiteral("Bookmarks"), this);
    m_bookmarksPopup->setObjectName(QStringLiteral("mnpBookmarks"));
    m_popUpsPopup = new QMenu(QStringLiteral("Blocked Pop-Ups"), this);
    m_popUpsPopup->setObjectName(QStringLiteral("mnpPopUpsList"));
    m_flasher = new MessageFlasher(*m_statusBar, this);
    m_popUps = new PopUpsList(this);
    connect(m_popUps, &PopUpsList::Listed, m_flasher, [this] {
        m_flasher->SetFlashMessage(QLatin1String(PopUpsList::kFlashText));
        m_flasher->SetNewPopUp();
    });
    m_popUpsMenu = new PopUpsMenu(*m_popUps, m_popUpsPopup, m_flasher, this);
    connect(m_popUpsMenu, &PopUpsMenu::PopUpChosen, this, [this](const QString& url, const QString& profile) {
        // In the session of the page that opened it, never in another Link's.
        if (m_browse)
            m_browse->PopUps().OpenInCurrentWindow(url, profile);
        else
            NavigateActive(url);
    });
    // Clicks and key presses anywhere in the program: the pop-up policy's click credit and the
    // inactivity lock's idle time.
    m_activity = new ActivityMonitor(m_mdiArea, this);
    m_activity->Install();
    m_masterHistoryMenu = new MasterHistoryMenu(m_masterHistory, m_masterHistoryPopup, this, this);
    m_bookmarksMenu = new BookmarksMenu(m_bookmarks, m_bookmarksPopup, this, this);
    connect(m_masterHistoryMenu, &MasterHistoryMenu::NavigateRequested, this, &MainWindow::NavigateActive);
    connect(m_bookmarksMenu, &BookmarksMenu::NavigateRequested, this, &MainWindow::NavigateActive);
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

    BuildMenus();

    m_unloadTimer.setInterval(kUnloadIntervalMs);
    connect(&m_unloadTimer, &QTimer::timeout, this, &MainWindow::OnUnloadTimer);

    // A comfortable size on the screen at hand.
    QSize size(1280, 800);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        // A small screen is the frame's alone; on a larger one it leaves some room around it.
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
    m_unloadTimer.stop();
    RemoveHooks();
    // A frame that goes with its unload still pending (a test, a benchmark) leaves nothing behind.
    if (m_busyCursor) QApplication::restoreOverrideCursor();
    if (m_unloadPending) HideMessage();
    // The windows go while the lists, the options and the store they use are still there.
    delete m_masterHistoryMenu;
    delete m_bookmarksMenu;
    if (QMdiSubWindow* sub = BrowseSubWindow()) delete sub;
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList())
        delete sub;
    if (m_splash) delete m_splash;
    if (m_options && App().Options == m_options.get()) App().Options = nullptr;
    m_options.reset();
    if (m_store && SettingsStore::Current() == m_store.get()) SettingsStore::SetCurrent(nullptr);
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
    // Where the window system does not minimise the frame, this stands in for restoring it: the
    // next check of the lock asks for the password.
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

// ----- menus ----------------------------------------------------------------------------------

QAction* MainWindow::AddCommand(QMenu* menu, const QString& name, const QString& text,
                                std::function<void()> run, const QList<QKeySequence>& shortcuts) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    if (!shortcuts.isEmpty()) action->setShortcuts(shortcuts);
    if (run)
        connect(action, &QAction::triggered, this, [name, run = std::move(run)] {
            Errors::Guarded(QLatin1String(kModule), name + QStringLiteral("_Click"), run);
        });
    m_commands.insert(name, action);
    return action;
}

QAction* MainWindow::MenuAction(const QString& name) const {
    return m_commands.value(name);
}

void MainWindow::BuildMenus() {
    BuildFileMenu();
    BuildEditMenu();
    BuildViewMenu();
    BuildFavoritesMenu();
    BuildNavigateMenu();
    BuildLinksMenu();
    BuildOptionsMenu();
    BuildWindowMenu();
    BuildHelpMenu();
}

void MainWindow::BuildFileMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    AddCommand(file, QStringLiteral("mnuFileClose"), QStringLiteral("&Close"), [this] { OnFileClose(); },
               {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_F4)});
    AddCommand(file, QStringLiteral("mnuFileLogout"), QStringLiteral("&Logout"), [this] {
        if (m_lock) m_lock->RequestLogout();
    });
    file->addSeparator();
    AddCommand(file, QStringLiteral("mnuFilePageSetup"), QStringLiteral("Page Set&up..."),
               [this] { m_pageCommands->PageSetup(); });
    AddCommand(file, QStringLiteral("mnuFilePrint"), QStringLiteral("&Print..."),
               [this] { m_pageCommands->Print(); }, {QKeySequence::Print});
    AddCommand(file, QStringLiteral("mnuFilePrintPreview"), QStringLiteral("Print Pre&view..."),
               [this] { m_pageCommands->PrintPreview(); });
    file->addSeparator();
    AddCommand(file, QStringLiteral("mnuFileSaveAs"), QStringLiteral("Save &As..."),
               [this] { m_pageCommands->SaveAs(); }, {QKeySequence(Qt::CTRL | Qt::Key_S)});
    AddCommand(file, QStringLiteral("mnuFileProperties"), QStringLiteral("P&roperties"),
               [this] { m_pageCommands->Properties(); });
    AddCommand(file, QStringLiteral("mnuFileDownloads"), QStringLiteral("&Downloads"),
               [this] { ShowDownloads(); }, {QKeySequence(Qt::CTRL | Qt::Key_J)});
    file->addSeparator();
    m_workOffline =
        AddCommand(file, QStringLiteral("mnuFileWorkOffline"), QStringLiteral("&Work Offline"), {});
    m_workOffline->setCheckable(true);
    connect(m_workOffline, &QAction::triggered, this, &MainWindow::OnWorkOffline);
    QMenu* settings = file->addMenu(QStringLiteral("S&ettings"));
    settings->setObjectName(QStringLiteral("mnuFileSettings"));
    AddCommand(settings, QStringLiteral("mnufileSettingsExport"), QStringLiteral("&Export To File..."),
               [this] { SettingsTransfer::ExportSettings(this); });
    AddCommand(settings, QStringLiteral("mnufileSettingsImport"), QStringLiteral("&Import From File..."),
               [this] { SettingsTransfer::ImportSettings(this); });
    AddCommand(file, QStringLiteral("mnuFileImportFavorites"), QStringLiteral("Import &Favorites..."),
               [this] { OnImportFavorites(); });
    file->addSeparator();
    AddCommand(file, QStringLiteral("mnuFileExit"), QStringLiteral("E&xit ") + Product(),
               [this] { QueryUnload(Code); }, {QKeySequence::Quit});
    connect(file, &QMenu::aboutToShow, this, &MainWindow::RefreshCommandStates);
    // The states above are for the open menu only: a key pressed later, over another child
    // window, must still reach the command (which checks for itself).
    connect(file, &QMenu::aboutToHide, this, [this] {
        for (const char* name :
             {"mnuFileClose", "mnuFileProperties", "mnuFileSaveAs", "mnuFilePrint", "mnuFilePrintPreview"})
            MenuAction(QLatin1String(name))->setEnabled(true);
    });
}

void MainWindow::BuildEditMenu() {
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    AddCommand(edit, QStringLiteral("mnuEditCut"), QStringLiteral("Cu&t"),
               [this] { m_pageCommands->Edit(BrowserPane::Cut); }, {QKeySequence::Cut});
    AddCommand(edit, QStringLiteral("mnuEditCopy"), QStringLiteral("&Copy"),
               [this] { m_pageCommands->Edit(BrowserPane::Copy); }, {QKeySequence::Copy});
    AddCommand(edit, QStringLiteral("mnuEditPaste"), QStringLiteral("&Paste"),
               [this] { m_pageCommands->Edit(BrowserPane::Paste); }, {QKeySequence::Paste});
    edit->addSeparator();
    AddCommand(edit, QStringLiteral("mnuEditSelectAll"), QStringLiteral("Select &All"),
               [this] { m_pageCommands->Edit(BrowserPane::SelectAll); }, {QKeySequence::SelectAll});
    edit->addSeparator();
    AddCommand(edit, QStringLiteral("mnuEditFind"), QStringLiteral("&Find on this Page..."),
               [this] { OpenFind(); }, {QKeySequence::Find})
        ->setEnabled(m_findBar != nullptr);
    AddCommand(edit, QStringLiteral("mnuEditFindNext"), QStringLiteral("Find &Next"),
               [this] {
                   if (!m_findBar) return;
                   ChildWindow* child = ActiveChild();
                   Periphery::AttachFindBar(m_findBar, child ? child->ActivePane() : nullptr);
                   Periphery::FindNext(m_findBar);
               },
               {QKeySequence::FindNext})
        ->setEnabled(m_findBar != nullptr);
}

void MainWindow::BuildViewMenu() {
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    m_toolbarsMenu = view->addMenu(QStringLiteral("&Toolbars"));
    m_toolbarsMenu->setObjectName(QStringLiteral("mnuViewToolbars"));
    const struct {
        const char* name;
        const char* text;
        const char* value;
    } bars[] = {
        {"mnuViewButtons", "&Buttons", ViewSettings::kButtons},
        {"mnuViewLinksBar", "&Links", ViewSettings::kLinksBar},
        {"mnuViewStatusBar", "&Status Bar", ViewSettings::kStatusBar},
    };
    for (const auto& bar : bars) {
        const char* value = bar.value;
        QAction* action =
            AddCommand(m_toolbarsMenu, QString::fromLatin1(bar.name), QString::fromLatin1(bar.text), {});
        action->setCheckable(true);
        action->setChecked(true);
        connect(action, &QAction::triggered, this,
                [this, value](bool checked) { ToggleView(value, checked); });
    }
    m_toolbarsMenu->addSeparator();
    AddCommand(m_toolbarsMenu, QStringLiteral("mnuViewTextLabels"), TextLabelsCaption(true),
               [this] { SetTextLabels(!m_view.textLabels); });
    view->addSeparator();
    AddCommand(view, QStringLiteral("mnuViewRefresh"), QStringLiteral("&Refresh"),
               [this] {
                   if (ChildWindow* child = ActiveChild()) child->OnToolbarButton(QStringLiteral("Refresh"));
               },
               {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)});
    AddCommand(view, QStringLiteral("mnuViewSource"), QStringLiteral("Sour&ce"),
               [this] { m_pageCommands->ViewSource(); }, {QKeySequence(Qt::CTRL | Qt::Key_U)});
    m_textSizeMenu = view->addMenu(QStringLiteral("Te&xt Size"));
    m_textSizeMenu->setObjectName(QStringLiteral("mnuViewTextSize"));
    m_textSizes = new QActionGroup(this);
    const char* sizes[] = {"&Smallest", "S&maller", "M&edium", "&Larger", "Lar&gest"};
    for (int size = 4; size >= 0; --size) {
        QAction* action =
            AddCommand(m_textSizeMenu, QStringLiteral("mnuViewTextSize") + QString::number(size),
                       QString::fromLatin1(sizes[size]), [this, size] { m_pageCommands->SetTextSize(size); });
        action->setCheckable(true);
        m_textSizes->addAction(action);
    }
    m_textSizeMenu->addSeparator();
    AddCommand(m_textSizeMenu, QStringLiteral("mnuViewTextLarger"), QStringLiteral("&Increase"),
               [this] { m_pageCommands->ChangeTextSize(1); });
    AddCommand(m_textSizeMenu, QStringLiteral("mnuViewTextSmaller"), QStringLiteral("&Decrease"),
               [this] { m_pageCommands->ChangeTextSize(-1); });
    connect(m_textSizeMenu, &QMenu::aboutToShow, this, &MainWindow::RefreshTextSizeMenu);
    // Zoom is the page's own (each Link keeps its own); the mouse wheel with Ctrl zooms too.
    QMenu* zoom = view->addMenu(QStringLiteral("&Zoom"));
    zoom->setObjectName(QStringLiteral("mnuViewZoom"));
    AddCommand(zoom, QStringLiteral("mnuViewZoomIn"), QStringLiteral("Zoom &In"),
               [this] { m_pageCommands->Zoom(1); },
               {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    AddCommand(zoom, QStringLiteral("mnuViewZoomOut"), QStringLiteral("Zoom &Out"),
               [this] { m_pageCommands->Zoom(-1); }, {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    AddCommand(zoom, QStringLiteral("mnuViewZoomReset"), QStringLiteral("&Actual Size"),
               [this] { m_pageCommands->Zoom(0); }, {QKeySequence(Qt::CTRL | Qt::Key_0)});
    view->addSeparator();
    view->addMenu(m_masterHistoryPopup);
    AddCommand(view, QStringLiteral("mnuViewRemoveHistory"), QStringLiteral("Remove From &History..."),
               [this] { m_masterHistoryMenu->ShowDialog(); });
    view->addSeparator();
    QAction* full = AddCommand(view, QStringLiteral("mnuViewFullScreen"), QStringLiteral("F&ull Screen"), {},
                               {QKeySequence(Qt::Key_F11)});
    full->setCheckable(true);
    connect(full, &QAction::triggered, this, [this](bool on) { FullScreen(on); });
}

void MainWindow::BuildFavoritesMenu() {
    QMenu* favorites = menuBar()->addMenu(QStringLiteral("F&avorites"));
    favorites->setObjectName(QStringLiteral("mnuFavorites"));
    AddCommand(favorites, QStringLiteral("mnuFavAdd"), QStringLiteral("&Add to Favorites..."), [this] {
        if (m_browse && m_browse->favorites()) m_browse->favorites()->OnAddFavorite();
    });
    AddCommand(favorites, QStringLiteral("mnuFavOrganize"), QStringLiteral("&Organize Favorites..."), [this] {
        if (m_browse && m_browse->favorites()) m_browse->favorites()->OnOrganize();
    });
}

void MainWindow::BuildNavigateMenu() {
    m_navigateMenu = menuBar()->addMenu(QStringLiteral("&Navigate"));
    m_navigateMenu->setObjectName(QStringLiteral("mnuNavigate"));
    const struct {
        const char* text;
        const char* key;
        QList<QKeySequence> shortcuts;
    } commands[] = {
        {"&Back", "GoBack", {QKeySequence(Qt::ALT | Qt::Key_Left)}},
        {"&Forward", "GoForward", {QKeySequence(Qt::ALT | Qt::Key_Right)}},
        {"&Home", "GoHome", {QKeySequence(Qt::ALT | Qt::Key_Home)}},
        {"Open in Web &Browser", "IE", {}},
        {"&New Window", "NewWin", {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {"&Stop", "Stop", {QKeySequence(Qt::Key_Escape)}},
        // The keys of the address box belong to FocusAddress (below): in a stand-alone window
        // this item shows or hides the box, which is not what the keys are for.
        {"&Address Bar\tCtrl+L", "AddrBar", {}},
    };
    for (const auto& c : commands) {
        const QString key = QString::fromLatin1(c.key);
        AddCommand(
            m_navigateMenu, QStringLiteral("mnuNavigate") + key, QString::fromLatin1(c.text),
            [this, key] {
                if (ChildWindow* child = ActiveChild()) child->OnNavigateCommand(key);
            },
            c.shortcuts);
    }
    // Address Bar carries a check mark: whether the active stand-alone window shows its address
    // box (the browse window always does). The window sets it when the item toggles the box.
    QAction* addrBar = MenuAction(QStringLiteral("mnuNavigateAddrBar"));
    addrBar->setCheckable(true);
    addrBar->setChecked(true);
    connect(m_navigateMenu, &QMenu::aboutToShow, this, [this, addrBar] {
        auto* window = dynamic_cast<StandaloneWindow*>(ActiveChild());
        addrBar->setChecked(!window || window->AddrBarShown());
    });
    auto* focusAddress = new QAction(QStringLiteral("Address"), this);
    focusAddress->setObjectName(QStringLiteral("cmdFocusAddress"));
    focusAddress->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::ALT | Qt::Key_D), QKeySequence(Qt::Key_F6)});
    connect(focusAddress, &QAction::triggered, this, [this] {
        Errors::Guarded(QLatin1String(kModule), QStringLiteral("FocusAddress"), [this] { FocusAddress(); });
    });
    addAction(focusAddress);
    m_commands.insert(focusAddress->objectName(), focusAddress);
    m_navigateMenu->addSeparator();
    QAction* popUps = m_navigateMenu->addAction(QStringLiteral("Blocked Pop-&Ups"));
    popUps->setObjectName(QStringLiteral("mnuNavigatePopUps"));
    m_commands.insert(popUps->objectName(), popUps);
    m_popUpsMenu->BindAction(popUps);
    m_historyMenu = m_navigateMenu->addMenu(QStringLiteral("Hi&story"));
    m_historyMenu->setObjectName(QStringLiteral("mnuHistory"));
    m_historyMenu->setEnabled(false);
}

void MainWindow::BuildLinksMenu() {
    m_linksMenu = menuBar()->addMenu(QStringLiteral("Lin&ks"));
    m_linksMenu->setObjectName(QStringLiteral("mnuLinks"));
    m_linksAdd = AddCommand(m_linksMenu, QStringLiteral("mnuLinksAdd"), QStringLiteral("&Add Link..."), {});
    m_linksAdd->setEnabled(false);
    m_editLinkMenu = m_linksMenu->addMenu(QStringLiteral("&Edit Link"));
    m_editLinkMenu->setObjectName(QStringLiteral("mnuLinksEdit"));
    m_removeLinkMenu = m_linksMenu->addMenu(QStringLiteral("&Remove Link"));
    m_removeLinkMenu->setObjectName(QStringLiteral("mnuLinksRemove"));
    m_linksMenu->addSeparator();
    m_linksSort =
        AddCommand(m_linksMenu, QStringLiteral("mnuLinksSort"), QStringLiteral("&Sort Links by Name..."), {});
}

void MainWindow::BuildOptionsMenu() {
    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    QAction* hide =
        AddCommand(options, QStringLiteral("mnuOptionsHidePopUps"), QStringLiteral("&Hide Pop-Ups"), {});
    hide->setCheckable(true);
    hide->setChecked(true);
    connect(hide, &QAction::triggered, this, &MainWindow::OnHidePopUps);
    options->addSeparator();
    AddCommand(options, QStringLiteral("mnuOptionsChangePassword"), QStringLiteral("&Change Password..."),
               [this] { LoginDialog::RunChangePassword(this); });
    AddCommand(options, QStringLiteral("mnuOptionsDeleteUser"), QStringLiteral("&Delete User..."),
               [this] { DeleteUserDialog::Run(this); });
    options->addSeparator();
    AddCommand(options, QStringLiteral("mnuOptionsInternet"), QStringLiteral("&Internet Options..."),
               [this] { Periphery::RunInternetOptions(this); });
    AddCommand(options, QStringLiteral("mnuOptionsBramblegate"), Product() + QStringLiteral(" &Options..."),
               [this] { OnProgramOptions(); });
}

void MainWindow::BuildWindowMenu() {
    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    window->setObjectName(QStringLiteral("mnuWindow"));
    AddCommand(window, QStringLiteral("mnuWindowCascade"), QStringLiteral("&Cascade"), [this] { Cascade(); });
    AddCommand(window, QStringLiteral("mnuWindowTileHorizontal"), QStringLiteral("Tile &Horizontal"),
               [this] { TileHorizontal(); });
    AddCommand(window, QStringLiteral("mnuWindowTileVertical"), QStringLiteral("Tile &Vertical"),
               [this] { TileVertical(); });
    AddCommand(window, QStringLiteral("mnuWindowArrangeIcons"), QStringLiteral("&Arrange Icons"),
               [this] { ArrangeIcons(); });
    window->addSeparator();
    AddCommand(window, QStringLiteral("mnuWindowCloseAll"), QStringLiteral("Close &All"),
               [this] { CloseAll(); });
}

void MainWindow::BuildHelpMenu() {
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    const bool hasHelp = !Periphery::HelpTopicUrl(QStringLiteral("Contents")).isEmpty();
    AddCommand(help, QStringLiteral("mnuHelpContents"), QStringLiteral("&Contents"),
               [this] { ShowHelp(QStringLiteral("Contents")); }, {QKeySequence::HelpContents})
        ->setEnabled(hasHelp);
    AddCommand(help, QStringLiteral("mnuHelpIndex"), QStringLiteral("&Index"), [this] {
        ShowHelp(QStringLiteral("Index"));
    })->setEnabled(hasHelp);
    AddCommand(help, QStringLiteral("mnuHelpSearch"), QStringLiteral("&Search"), [this] {
        ShowHelp(QStringLiteral("Search"));
    })->setEnabled(hasHelp);
    help->addSeparator();
    AddCommand(help, QStringLiteral("mnuHelpTip"), QStringLiteral("&Tip of the Day..."),
               [this] { Periphery::RunTipOfTheDay(this); });
    help->addSeparator();
    AddCommand(help, QStringLiteral("mnuHelpAbout"),
               QStringLiteral("&About ") + Product() + QStringLiteral("..."),
               [this] { Periphery::RunAbout(this); });
}

void MainWindow::RefreshCommandStates() {
    QMdiSubWindow* current = m_mdiArea->currentSubWindow();
    MenuAction(QStringLiteral("mnuFileClose"))->setEnabled(current && current != BrowseSubWindow());
    ChildWindow* child = ActiveChild();
    BrowserPane* pane = child ? child->ActivePane() : nullptr;
    MenuAction(QStringLiteral("mnuFileProperties"))->setEnabled(pane != nullptr);
    MenuAction(QStringLiteral("mnuFileSaveAs"))->setEnabled(pane != nullptr);
    const bool printable = m_pageCommands->CanPrint();
    MenuAction(QStringLiteral("mnuFilePrint"))->setEnabled(printable);
    MenuAction(QStringLiteral("mnuFilePrintPreview"))->setEnabled(printable);
}

void MainWindow::RefreshTextSizeMenu() {
    const int size = m_pageCommands->TextSize();
    if (QAction* action = MenuAction(QStringLiteral("mnuViewTextSize") + QString::number(size)))
        action->setChecked(true);
}

// ----- start-up -------------------------------------------------------------------------------

int MainWindow::Run() {
    m_ownsProcess = true;
    // The program ends when the frame says so, not when its last window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    Load();
    if (m_ended) return 0;
    m_inEventLoop = true;
    const int rc = QApplication::exec();
    m_inEventLoop = false;
    return rc;
}

void MainWindow::Load() {
#ifdef BG_DIAGNOSTIC_BUILD
    App().DiagnosticMode = true;
#else
    App().DiagnosticMode = false;
#endif
    WriteLog(QStringLiteral("MDIForm_Load Begin Proc"));
    if (App().Unloading && !App().DiagnosticMode) {
        WriteLog(QStringLiteral("MDIForm_Load ENDING APPLICATION... "));
        EndProcess(EndKind::Immediate);
        return;
    }
    try {
        RunStartUp();
    } catch (const std::exception& e) {
        WriteErrorLog(QStringLiteral("MDIForm_Load ") + QString::fromUtf8(e.what()));
        App().EndingOnError = true;
        MsgBox(QStringLiteral(
                   "Bramblegate has encountered a problem. It needs to exit now. Please retry again or "
                   "contact Support for help."),
               msgbox::OKOnly, msgbox::Critical, QStringLiteral("Problem Encountered"));
        QueryUnload(Code);
    }
}

void MainWindow::RunStartUp() {
    // Before any password is typed.
    ProcessPrivacy::KeepMemoryPrivate();
    InstallHooks();
    ActivatePrevInstance();
    if (m_ended) return;

    App().FavoritesReady = true;
    setWindowTitle(Product());
    m_toolbar->hide();
    m_linksToolbar->hide();

    if (!OpenStore() || !CheckVersion()) {
        App().EndingOnError = true;
        QueryUnload(Code);
        return;
    }
    // Web data of users deleted while the engine still held it goes before anyone logs in.
    UserDeletion::RemoveLeftoverProfileFolders();
    if (!StartUp::Login()) {
        QueryUnload(Code);
        return;
    }
    SetUserCaption();
    m_options = std::make_unique<UserOptions>(App().CurrentUser);
    App().Options = m_options.get();

    RestoreOfflineState();
    ToolbarResetData();
    Periphery::LoadLinksBar(m_linksBar);
    QCoreApplication::processEvents();
    m_initialised = true;

    m_splash = Periphery::ShowSplash();
    QCoreApplication::processEvents();

    show();
    LoadBrowseWindow(m_factory);
    // The idle time counts from here.
    m_activity->SetLastActivity(Clock::Now());
    if (!App().Unloading) {
        m_masterHistory.LoadMasterHistory();
        QCoreApplication::processEvents();
        m_bookmarks.LoadBookmarks();
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    if (m_splash) m_splash->close();
    if (!App().Unloading && Periphery::TipAtStartUp())
        QTimer::singleShot(0, this, [this] {
            if (!App().Unloading && !App().Locked) Periphery::RunTipOfTheDay(this);
        });
}

void MainWindow::InstallHooks() {
    if (m_hooksInstalled) return;
    m_hooksInstalled = true;
    // Dialogs below the frame end the program through the frame's own unload.
    ProgramEnd::SetUnloadFrameHandler([this] { QueryUnload(Code); });
    ProgramEnd::SetEndNowHandler([this] {
        m_activity->Remove();
        EndProcess(EndKind::Immediate);
    });
    helprequest::SetHandler([this](const QString& topic) { ShowHelp(topic); });
    UserDeletion::SetWebDataRemover([](const QString& user) { WebProfiles::ClearUserData(user); });
    Errors::SetAbortHandler([this] {
        App().EndingOnError = true;
        QueryUnload(Code);
    });
    m_termination = new TerminationSignals(this);
    connect(m_termination, &TerminationSignals::Terminated, this, [this] { QueryUnload(Terminated); });
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // The desktop asks programs to save their state also when nobody logs out
        // (commitDataRequest): that ends nothing. The session ending is the desktop's quit.
        m_sessionEnd = new SessionEndFilter([this] { QueryUnload(SessionEnding); }, this);
        app->installEventFilter(m_sessionEnd);
        // The event loop is ending without the frame's unload (the session manager quit the
        // program): unload now, without saving, as for the end of a session.
        connect(app, &QCoreApplication::aboutToQuit, this, [this] {
            if (m_unloadDone) return;
            App().Unloading = true;
            App().EndingOnError = true;
            m_inEventLoop = false;
            Unload();
        });
    }
    // The idle time of the inactivity lock counts from here.
    m_activity->Install();
    m_activity->SetLastActivity(Clock::Now());
    m_lock = std::make_unique<InactivityLock>(
        *this,
        InactivityLock::Activity{[this] { return m_activity->LastActivity(); },
                                 [this](const QDateTime& moment) { m_activity->SetLastActivity(moment); }});
}

void MainWindow::RemoveHooks() {
    if (!m_hooksInstalled) return;
    m_hooksInstalled = false;
    ProgramEnd::SetUnloadFrameHandler({});
    ProgramEnd::SetEndNowHandler({});
    Errors::SetAbortHandler({});
    delete m_sessionEnd;
    helprequest::SetHandler({});
    UserDeletion::SetWebDataRemover({});
    delete m_termination;
    m_activity->Remove();
    if (m_browse) m_browse->SetLockCheck({});
    m_lock.reset();
}

bool MainWindow::OpenStore() {
    if (SettingsStore::Current()) return true;
    QString error;
    m_store = SettingsStore::Open(AppPaths::SettingsFile(), &error);
    if (!m_store) {
        MsgBox(error, msgbox::OKOnly, msgbox::Critical, Product());
        return false;
    }
    SettingsStore::SetCurrent(m_store.get());
    return true;
}

bool MainWindow::CheckVersion() {
    VersionCheck::Hooks hooks = m_hooks.version;
    if (!hooks.startCompanion)
        hooks.startCompanion = [](const QString& arguments) { Periphery::StartCompanion(arguments); };
    if (!hooks.agreement) hooks.agreement = [](QWidget* parent) { return Periphery::RunAgreement(parent); };
    return VersionCheck::CheckVersion(hooks, this);
}

void MainWindow::ActivatePrevInstance() {
    m_instance = std::make_unique<SingleInstance>();
    connect(m_instance.get(), &SingleInstance::ActivateRequested, this, &MainWindow::ActivateFromOtherCopy);
    connect(m_instance.get(), &SingleInstance::OpenRequested, this, &MainWindow::OpenAddresses);
    switch (m_instance->Claim(m_hooks.instanceAnswerMs, m_pendingAddresses)) {
    case SingleInstance::Outcome::First:
        return;
    case SingleInstance::Outcome::Activated:
        EndProcess(EndKind::Immediate);
        return;
    case SingleInstance::Outcome::NoAnswer:
        MsgBox(Product() + QStringLiteral(" is already open!               ") + CR + CR, msgbox::OKOnly,
               msgbox::Exclamation, QStringLiteral("Already Open"));
        EndProcess(EndKind::Immediate);
        return;
    }
}

void MainWindow::ActivateFromOtherCopy() {
    // Before the frame shows, the login dialog is the program's window.
    if (isVisible()) {
        if (isMinimized()) showNormal();
        raise();
        activateWindow();
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (modal->isMinimized()) modal->showNormal();
        modal->raise();
        modal->activateWindow();
    }
}

void MainWindow::OpenAddresses(const QStringList& addresses) {
    for (const QString& address : addresses) {
        // Another process sent them: only what the command line would take.
        const QString usable = CommandLine::AddressFor(address, QString());
        if (!usable.isEmpty()) m_pendingAddresses << usable;
    }
    OpenPendingAddresses();
}

void MainWindow::OpenPendingAddresses() {
    // After the login and the start-up Links (which decide what is on show), and not while locked.
    if (m_pendingAddresses.isEmpty() || !m_initialised || !m_browse || EndRequested() || App().Locked ||
        !m_browse->State().startUpNavigationDone)
        return;
    const QStringList addresses = std::exchange(m_pendingAddresses, {});
    NavigateActive(addresses.first());
    for (const QString& address : addresses.mid(1)) {
        App().LastClickedWindow = m_browse->WindowHandle();
        m_browse->PopUps().OpenNewWin(address, true, nullptr, true, QString());
    }
}

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
    m_toolbar->ToolbarResetData(screenWidth, m_view.textLabels);
    m_masterHistoryMenu->BindAction(m_toolbar->Action(QStringLiteral("History")));
    if (QToolButton* history = m_toolbar->ToolButton(QStringLiteral("History")))
        history->setPopupMode(QToolButton::InstantPopup);
    m_bookmarksMenu->BindAction(m_toolbar->Action(QStringLiteral("Bookmark")));
    m_toolbar->SetPlaceholderMenu(m_historyMenu);
    m_popUpsMenu->SetImageProvider([](const QString& key) { return FrameToolbar::Icon(key); });
    m_popUpsMenu->BindAction(m_toolbar->Action(QStringLiteral("Popup")));
    if (QToolButton* popup = m_toolbar->ToolButton(QStringLiteral("Popup")))
        popup->setPopupMode(QToolButton::InstantPopup);
    MenuAction(QStringLiteral("mnuViewLinksBar"))->setEnabled(m_linksBar != nullptr);
    ApplyView();
}

BrowseWindow* MainWindow::LoadBrowseWindow(PaneFactory factory) {
    if (m_browse) return m_browse;
    if (!m_browseHost) m_browseHost = std::make_unique<FrameBrowseHost>(*this);
    auto* browse = new BrowseWindow(*m_browseHost, std::move(factory));
    m_browse = browse;
    QMdiSubWindow* sub =
        m_mdiArea->addSubWindow(browse, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    sub->setObjectName(QStringLiteral("frmBrowseWindow"));
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    WireBrowseWindow();
    connect(browse, &BrowseWindow::StartUpNavigated, this, &MainWindow::OpenPendingAddresses);
    browse->Load();
    if (EndRequested()) return nullptr; // the load ended the program
    sub->showMaximized();
    browse->Activate();
    return browse;
}

QMdiSubWindow* MainWindow::BrowseSubWindow() const {
    return m_browse ? qobject_cast<QMdiSubWindow*>(m_browse->parentWidget()) : nullptr;
}

void MainWindow::WireBrowseWindow() {
    connect(m_linksAdd, &QAction::triggered, m_browse, [this] {
        m_browse->State().contextLinkIndex = -1; // a new Link from the menu goes to the end
        m_browse->Controls().AddLinkDialog();
    });
    connect(m_linksSort, &QAction::triggered, m_browse, [this] { m_browse->SortButtons(); });
    m_browse->SetLinkEditorOpener([](LinkEditorHost& host, QWidget* parent, const Link* link) {
        if (link)
            LinkEditor::RunEdit(host, *link, parent);
        else
            LinkEditor::RunAdd(host, parent);
    });
    m_browse->Recorder().SetMasterHistory(&m_masterHistory);
    m_browse->m_hidePopUps = MenuAction(QStringLiteral("mnuOptionsHidePopUps"))->isChecked();
    if (m_lock) m_browse->SetLockCheck([this] { return m_lock && m_lock->CheckLock(); });
}

void MainWindow::UnloadBrowseWindow() {
    if (!m_browse) return;
    m_browse->Unload();
    m_browse->close();
}

// ----- shutdown -------------------------------------------------------------------------------

bool MainWindow::QueryUnload(UnloadMode mode) {
    if (m_unloadPending || m_unloadDone || m_ended) return true;
    App().Unloading = true;
    if (mode == CloseBox) {
        const QString text = QStringLiteral("This will exit ") + Product() + QStringLiteral(".") +
                             QString(22, QLatin1Char(' ')) + CR +
                             QStringLiteral("Are your sure you want to exit?") + CR + CR;
        if (MsgBox(text, msgbox::YesNo, msgbox::Question, QStringLiteral("Exit ") + Product()) !=
            msgbox::Yes) {
            App().Unloading = false;
            return false;
        }
    } else if (mode == SessionEnding || mode == Terminated) {
        // Nobody is there to answer questions, and the user's data may be half-way.
        App().EndingOnError = true;
    }
    m_unloadPending = true;
    // Nothing takes input any more.
    menuBar()->setEnabled(false);
    m_toolbar->setEnabled(false);
    m_linksToolbar->setEnabled(false);
    m_stack->setEnabled(false);
    MenuAction(QStringLiteral("cmdFocusAddress"))->setEnabled(false);
    ShowMessage(QStringLiteral("Exiting..."));
    if (!m_busyCursor) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_busyCursor = true;
    }
    m_unloadTimer.start();
    return true;
}

void MainWindow::OnUnloadTimer() {
    ++m_unloadTicks;
    if (m_unloadTicks >= kForcedEndTicks) {
        m_unloadTimer.stop();
        m_activity->Remove();
        WriteLog(QStringLiteral("tmrUnload_Timer ENDING APPLICATION..."));
        EndProcess(EndKind::Immediate);
        return;
    }
    // A favorites refresh in progress finishes first.
    if (m_unloadTicks >= 2 && App().FavoritesReady) {
        m_activity->Remove();
        WriteLog(QStringLiteral("tmrUnload_Timer Unloading..."));
        Unload();
        if (m_unloadDone) m_unloadTimer.stop();
    }
}

void MainWindow::Unload() {
    if (m_unloadDone) return;
    m_unloadDone = true;
    m_unloadPending = false;
    App().Unloading = true;
    if (m_busyCursor) {
        QApplication::restoreOverrideCursor();
        m_busyCursor = false;
    }
    UnloadOtherWindows();
    UnloadBrowseWindow();
    HideMessage();
    WriteLog(QStringLiteral("MDIForm_UnLoad frmBrowse unloaded successfully"));
    WriteLog(QStringLiteral("MDIForm_UnLoad Completed"));
    EndProcess(EndKind::Orderly);
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

void MainWindow::EndApplication() {
    App().EndingOnError = true;
    QueryUnload(Code);
}

void MainWindow::EndProcess(EndKind kind) {
    m_ended = true;
    if (m_endProcess) {
        m_endProcess(kind);
        return;
    }
    if (kind == EndKind::Immediate && m_ownsProcess) {
        // Every store commit is already on disk; nothing else may run.
        std::fflush(nullptr);
        ::_exit(0);
    }
    hide();
    if (m_inEventLoop) QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_unloadDone || m_ended) {
        event->accept();
        return;
    }
    // The real unload runs later, from UnloadTimer.
    event->ignore();
    QueryUnload(event->spontaneous() ? CloseBox : Code);
}

// ----- the children ---------------------------------------------------------------------------

ChildWindow* MainWindow::ActiveChild() const {
    // The sub-window last active, even while the frame itself is not (a menu is open).
    if (QMdiSubWindow* sub = m_mdiArea->currentSubWindow())
        if (auto* child = dynamic_cast<ChildWindow*>(sub->widget())) return child;
    return m_browse ? static_cast<ChildWindow*>(m_browse.data()) : nullptr;
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

void MainWindow::OnFileClose() {
    QMdiSubWindow* sub = m_mdiArea->currentSubWindow();
    if (sub && sub != BrowseSubWindow()) sub->close();
}

void MainWindow::SetLockedView(bool locked) {
    m_stack->setCurrentWidget(locked ? m_lockPage : static_cast<QWidget*>(m_mdiArea));
    menuBar()->setEnabled(!locked);
    m_toolbar->setEnabled(!locked);
    m_linksToolbar->setEnabled(!locked);
    MenuAction(QStringLiteral("cmdFocusAddress"))->setEnabled(!locked);
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
    if (!locked) QTimer::singleShot(0, this, &MainWindow::OpenPendingAddresses);
}

bool MainWindow::LockedView() const {
    return m_stack->currentWidget() == m_lockPage;
}

// ----- toolbar, bars, view --------------------------------------------------------------------

void MainWindow::OnToolbarButton(const QString& key) {
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("tbr_ButtonClick"), [&] { ButtonClick(key); });
}

void MainWindow::ButtonClick(const QString& key) {
    const auto below = [this](const QString& button) {
        QToolButton* tool = m_toolbar->ToolButton(button);
        return tool ? tool->mapToGlobal(QPoint(0, tool->height())) : QCursor::pos();
    };
    if (key == QLatin1String("Bookmark")) {
        AddBookmark();
    } else if (key == QLatin1String("Popup")) {
        if (m_popUps->Enabled()) m_popUpsPopup->popup(below(key));
    } else if (key == QLatin1String("History")) {
        if (m_masterHistory.Enabled()) m_masterHistoryPopup->popup(below(key));
    } else if (key == QLatin1String("Cascade")) {
        Cascade();
    } else if (key == QLatin1String("Help")) {
        ShowHelp(QStringLiteral("Contents"));
    } else if (key == QLatin1String("ShowHide")) {
        if (m_browse) m_browse->SideBarShowHide();
    } else if (ChildWindow* child = ActiveChild()) {
        child->OnToolbarButton(key);
    }
}

void MainWindow::ApplyView() {
    const bool bars = !m_fullScreen && !m_lockedView;
    m_toolbar->setVisible(m_view.buttons && bars);
    m_linksToolbar->setVisible(m_linksBar && m_view.linksBar && bars);
    m_statusBar->setVisible(m_view.statusBar && bars);
    MenuAction(QStringLiteral("mnuViewButtons"))->setChecked(m_view.buttons);
    MenuAction(QStringLiteral("mnuViewLinksBar"))->setChecked(m_view.linksBar);
    MenuAction(QStringLiteral("mnuViewStatusBar"))->setChecked(m_view.statusBar);
    MenuAction(QStringLiteral("mnuViewTextLabels"))->setText(TextLabelsCaption(m_view.textLabels));
}

void MainWindow::ToggleView(const char* name, bool shown) {
    const QString value = QLatin1String(name);
    if (value == QLatin1String(ViewSettings::kButtons))
        m_view.buttons = shown;
    else if (value == QLatin1String(ViewSettings::kLinksBar))
        m_view.linksBar = shown;
    else if (value == QLatin1String(ViewSettings::kStatusBar))
        m_view.statusBar = shown;
    ViewSettings::Save(App().CurrentUser, name, shown);
    ApplyView();
}

void MainWindow::SetTextLabels(bool on) {
    m_view.textLabels = on;
    ViewSettings::Save(App().CurrentUser, ViewSettings::kTextLabels, on);
    m_toolbar->SetToolbar(on);
    ApplyView();
}

void MainWindow::EnableViewToolbarsMenus(bool enabled) {
    for (QAction* action : m_toolbarsMenu->actions())
        action->setEnabled(enabled &&
                           (action != MenuAction(QStringLiteral("mnuViewLinksBar")) || m_linksBar));
}

void MainWindow::FullScreen(bool on) {
    MenuAction(QStringLiteral("mnuViewFullScreen"))->setChecked(on);
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

void MainWindow::ShowToolbarsMenu(const QPoint& globalPos) {
    m_toolbarsMenu->popup(globalPos);
}

QMenu* MainWindow::createPopupMenu() {
    // A right click on the bars' area: the View, Toolbars menu.
    auto* menu = new QMenu(this);
    menu->addActions(m_toolbarsMenu->actions());
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
    if (m_browse && m_browse->search())
        m_browse->search()->SetServices(SearchPages::ServicesFor(SearchEngines::Load(App().CurrentUser)));
}

void MainWindow::OnProgramOptions() {
    Periphery::RunOptions(m_browse && m_browse->HasLinks() ? &m_browse->links() : nullptr, this,
                          [this] { OptionsApplied(); });
}

void MainWindow::OnHidePopUps(bool checked) {
    if (m_browse) m_browse->m_hidePopUps = checked;
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

DownloadsWindow* MainWindow::ShowDownloads() {
    if (!m_downloadsWindow) m_downloadsWindow = new DownloadsWindow(*m_downloads, this);
    m_downloadsWindow->ShowWindow();
    return m_downloadsWindow;
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

void MainWindow::FocusAddress() {
    ChildWindow* child = ActiveChild();
    if (auto* window = dynamic_cast<StandaloneWindow*>(child)) {
        if (!window->AddrBarShown()) window->ShowAddrBar();
        window->AddressEdit()->setFocus(Qt::ShortcutFocusReason);
        window->AddressEdit()->selectAll();
    } else if (child) {
        child->OnNavigateCommand(QStringLiteral("AddrBar"));
    }
}

void MainWindow::NavigateActive(const QString& url) {
    if (ChildWindow* child = ActiveChild()) child->NavigateURL(url);
}

void MainWindow::OnImportFavorites() {
    ShowMessage(QStringLiteral("Importing favorites..."));
    const int imported = FavoritesImport::ImportFavorites(AppPaths::FavoritesFolder());
    HideMessage();
    if (m_browse && m_browse->favorites()) m_browse->favorites()->RefreshFavorites();
    MsgBox(imported == 0 ? QStringLiteral("No new favorites were found in the other browsers.")
                         : QString::number(imported) + QStringLiteral(" favorites were imported."),
           msgbox::OKOnly, msgbox::Information, QStringLiteral("Import Favorites"));
}

// ----- what the browse window uses ------------------------------------------------------------

void MainWindow::UpdateProgress(int value) {
    m_statusBar->UpdateProgress(value);
}

void MainWindow::NavigateURL(const QString& url) {
    if (m_browse) m_browse->NavigateURL(url);
}

bool MainWindow::WorkOfflineChecked() const {
    return m_workOffline->isChecked();
}

void MainWindow::SetWorkOfflineChecked(bool checked) {
    m_workOffline->setChecked(checked);
    if (checked)
        m_statusBar->SetPanelText(3, kWorkingOffline);
    else if (m_statusBar->PanelText(3) == kWorkingOffline)
        m_statusBar->SetPanelText(3, QString());
}

void MainWindow::OnWorkOffline(bool checked) {
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
