#include "frame/MainMenus.h"

#include <QAction>
#include <QActionGroup>
#include <QCursor>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include "browse/MasterHistory.h"
#include "browse/PopUpsList.h"
#include "core/AppState.h"
#include "core/Errors.h"
#include "core/UrlUtils.h"
#include "frame/BookmarksMenu.h"
#include "frame/FrameToolbar.h"
#include "frame/MasterHistoryMenu.h"
#include "frame/Periphery.h"
#include "frame/PopUpsMenu.h"

namespace {

constexpr const char* kModule = "Bramblegate.frmMDI";

QString Product() {
    return QString::fromLatin1(ProductName());
}

// The button bar's buttons and their commands.
struct ToolbarButton {
    const char* key;
    MainCommand command;
};
constexpr ToolbarButton kToolbarButtons[] = {
    {"ShowHide", MainCommand::SideBarShowHide},
    {"Back", MainCommand::Back},
    {"Forward", MainCommand::Forward},
    {"Stop", MainCommand::Stop},
    {"Refresh", MainCommand::Refresh},
    {"Home", MainCommand::Home},
    {"History", MainCommand::HistoryList},
    {"Bookmark", MainCommand::Bookmark},
    {"NewWindow", MainCommand::NewWindow},
    {"Explorer", MainCommand::OpenInBrowser},
    {"Search", MainCommand::SearchTab},
    {"Favorites", MainCommand::FavoritesTab},
    {"Print", MainCommand::Print},
    {"Cascade", MainCommand::Cascade},
    {"Popup", MainCommand::PopUpList},
    {"Help", MainCommand::HelpContents},
};

} // namespace

MainMenus::MainMenus(QMainWindow& window, FrameToolbar& toolbar, Lists lists, States states, bool hasFindBar)
    : QObject(&window), m_window(window), m_toolbar(toolbar), m_lists(lists), m_states(std::move(states)) {
    m_historyListMenu = new QMenu(QStringLiteral("&History List"), &window);
    m_historyListMenu->setObjectName(QStringLiteral("mnpMasterHistoryList"));
    m_bookmarksMenu = new QMenu(QStringLiteral("Bookmarks"), &window);
    m_bookmarksMenu->setObjectName(QStringLiteral("mnpBookmarks"));
    m_popUpsMenu = new QMenu(QStringLiteral("Blocked Pop-Ups"), &window);
    m_popUpsMenu->setObjectName(QStringLiteral("mnpPopUpsList"));
    m_historyList = new MasterHistoryMenu(m_lists.history, m_historyListMenu, &window, this);
    m_bookmarksList = new BookmarksMenu(m_lists.bookmarks, m_bookmarksMenu, &window, this);
    m_popUpsList = new PopUpsMenu(m_lists.popUps, m_popUpsMenu, m_lists.flasher, this);
    connect(m_historyList, &MasterHistoryMenu::NavigateRequested, this, &MainMenus::NavigateRequested);
    connect(m_bookmarksList, &BookmarksMenu::NavigateRequested, this, &MainMenus::NavigateRequested);
    connect(m_popUpsList, &PopUpsMenu::PopUpChosen, this, &MainMenus::PopUpChosen);

    BuildFileMenu();
    BuildEditMenu(hasFindBar);
    BuildViewMenu();
    BuildFavoritesMenu();
    BuildNavigateMenu();
    BuildLinksMenu();
    BuildOptionsMenu();
    BuildWindowMenu();
    BuildHelpMenu();

    connect(&m_toolbar, &FrameToolbar::ButtonClick, this, [this](const QString& key) {
        for (const ToolbarButton& button : kToolbarButtons)
            if (key == QLatin1String(button.key)) {
                const MainCommand command = button.command;
                Errors::Guarded(QLatin1String(kModule), QStringLiteral("tbr_ButtonClick"),
                                [&] { emit Triggered(command, false); });
            }
    });
    connect(&m_toolbar, &FrameToolbar::ContextMenuRequested, this, &MainMenus::ShowToolbarsMenu);
}

MainMenus::~MainMenus() {
    // The list menus go first: their lists may outlive them only by a moment.
    delete m_historyList;
    delete m_bookmarksList;
}

QAction* MainMenus::Add(QMenu* menu, MainCommand command, const char* name, const QString& text,
                        const QList<QKeySequence>& shortcuts) {
    QAction* action = menu ? menu->addAction(text) : new QAction(text, &m_window);
    action->setObjectName(QLatin1String(name));
    if (!shortcuts.isEmpty()) action->setShortcuts(shortcuts);
    const QString procedure = action->objectName() + QStringLiteral("_Click");
    connect(action, &QAction::triggered, this, [this, command, procedure](bool checked) {
        Errors::Guarded(QLatin1String(kModule), procedure, [&] { emit Triggered(command, checked); });
    });
    m_actions.insert(command, action);
    return action;
}

void MainMenus::BuildFileMenu() {
    QMenu* file = m_window.menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    Add(file, MainCommand::CloseWindow, "mnuFileClose", QStringLiteral("&Close"),
        {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_F4)});
    Add(file, MainCommand::Logout, "mnuFileLogout", QStringLiteral("&Logout"));
    file->addSeparator();
    Add(file, MainCommand::PageSetup, "mnuFilePageSetup", QStringLiteral("Page Set&up..."));
    Add(file, MainCommand::Print, "mnuFilePrint", QStringLiteral("&Print..."), {QKeySequence::Print});
    Add(file, MainCommand::PrintPreview, "mnuFilePrintPreview", QStringLiteral("Print Pre&view..."));
    file->addSeparator();
    Add(file, MainCommand::SaveAs, "mnuFileSaveAs", QStringLiteral("Save &As..."),
        {QKeySequence(Qt::CTRL | Qt::Key_S)});
    Add(file, MainCommand::Properties, "mnuFileProperties", QStringLiteral("P&roperties"));
    Add(file, MainCommand::Downloads, "mnuFileDownloads", QStringLiteral("&Downloads"),
        {QKeySequence(Qt::CTRL | Qt::Key_J)});
    file->addSeparator();
    Add(file, MainCommand::WorkOffline, "mnuFileWorkOffline", QStringLiteral("&Work Offline"))
        ->setCheckable(true);
    QMenu* settings = file->addMenu(QStringLiteral("S&ettings"));
    settings->setObjectName(QStringLiteral("mnuFileSettings"));
    Add(settings, MainCommand::ExportSettings, "mnufileSettingsExport", QStringLiteral("&Export To File..."));
    Add(settings, MainCommand::ImportSettings, "mnufileSettingsImport",
        QStringLiteral("&Import From File..."));
    Add(file, MainCommand::ImportFavorites, "mnuFileImportFavorites", QStringLiteral("Import &Favorites..."));
    file->addSeparator();
    Add(file, MainCommand::Exit, "mnuFileExit", QStringLiteral("E&xit ") + Product(), {QKeySequence::Quit});
    connect(file, &QMenu::aboutToShow, this, &MainMenus::RefreshFileMenu);
    // The states above are for the open menu only: a key pressed later, over another child
    // window, must still reach the command (which checks for itself).
    connect(file, &QMenu::aboutToHide, this, [this] {
        for (MainCommand command : {MainCommand::CloseWindow, MainCommand::Properties, MainCommand::SaveAs,
                                    MainCommand::Print, MainCommand::PrintPreview})
            SetEnabled(command, true);
    });
}

void MainMenus::RefreshFileMenu() {
    SetEnabled(MainCommand::CloseWindow, m_states.canCloseWindow());
    const bool page = m_states.hasPage();
    SetEnabled(MainCommand::Properties, page);
    SetEnabled(MainCommand::SaveAs, page);
    const bool printable = m_states.canPrint();
    SetEnabled(MainCommand::Print, printable);
    SetEnabled(MainCommand::PrintPreview, printable);
}

void MainMenus::BuildEditMenu(bool hasFindBar) {
    QMenu* edit = m_window.menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    Add(edit, MainCommand::Cut, "mnuEditCut", QStringLiteral("Cu&t"), {QKeySequence::Cut});
    Add(edit, MainCommand::Copy, "mnuEditCopy", QStringLiteral("&Copy"), {QKeySequence::Copy});
    Add(edit, MainCommand::Paste, "mnuEditPaste", QStringLiteral("&Paste"), {QKeySequence::Paste});
    edit->addSeparator();
    Add(edit, MainCommand::SelectAll, "mnuEditSelectAll", QStringLiteral("Select &All"),
        {QKeySequence::SelectAll});
    edit->addSeparator();
    Add(edit, MainCommand::Find, "mnuEditFind", QStringLiteral("&Find on this Page..."), {QKeySequence::Find})
        ->setEnabled(hasFindBar);
    Add(edit, MainCommand::FindNext, "mnuEditFindNext", QStringLiteral("Find &Next"),
        {QKeySequence::FindNext})
        ->setEnabled(hasFindBar);
}

QString MainMenus::TextLabelsCaption(bool labelsOn) {
    return labelsOn ? QStringLiteral("Show &Icons Only") : QStringLiteral("Show &Text Labels");
}

void MainMenus::BuildViewMenu() {
    QMenu* view = m_window.menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    m_toolbarsMenu = view->addMenu(QStringLiteral("&Toolbars"));
    m_toolbarsMenu->setObjectName(QStringLiteral("mnuViewToolbars"));
    for (QAction* bar :
         {Add(m_toolbarsMenu, MainCommand::ShowButtons, "mnuViewButtons", QStringLiteral("&Buttons")),
          Add(m_toolbarsMenu, MainCommand::ShowLinksBar, "mnuViewLinksBar", QStringLiteral("&Links")),
          Add(m_toolbarsMenu, MainCommand::ShowStatusBar, "mnuViewStatusBar",
              QStringLiteral("&Status Bar"))}) {
        bar->setCheckable(true);
        bar->setChecked(true);
    }
    m_toolbarsMenu->addSeparator();
    Add(m_toolbarsMenu, MainCommand::TextLabels, "mnuViewTextLabels", TextLabelsCaption(true));
    view->addSeparator();
    Add(view, MainCommand::Refresh, "mnuViewRefresh", QStringLiteral("&Refresh"),
        {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)});
    Add(view, MainCommand::ViewSource, "mnuViewSource", QStringLiteral("Sour&ce"),
        {QKeySequence(Qt::CTRL | Qt::Key_U)});
    QMenu* textSize = view->addMenu(QStringLiteral("Te&xt Size"));
    textSize->setObjectName(QStringLiteral("mnuViewTextSize"));
    m_textSizes = new QActionGroup(this);
    const struct {
        MainCommand command;
        const char* name;
        const char* text;
    } sizes[] = {
        {MainCommand::TextSizeLargest, "mnuViewTextSize4", "Lar&gest"},
        {MainCommand::TextSizeLarger, "mnuViewTextSize3", "&Larger"},
        {MainCommand::TextSizeMedium, "mnuViewTextSize2", "M&edium"},
        {MainCommand::TextSizeSmaller, "mnuViewTextSize1", "S&maller"},
        {MainCommand::TextSizeSmallest, "mnuViewTextSize0", "&Smallest"},
    };
    for (const auto& size : sizes) {
        QAction* action = Add(textSize, size.command, size.name, QString::fromLatin1(size.text));
        action->setCheckable(true);
        m_textSizes->addAction(action);
    }
    textSize->addSeparator();
    Add(textSize, MainCommand::TextLarger, "mnuViewTextLarger", QStringLiteral("&Increase"));
    Add(textSize, MainCommand::TextSmaller, "mnuViewTextSmaller", QStringLiteral("&Decrease"));
    connect(textSize, &QMenu::aboutToShow, this, [this] {
        const int size = m_states.textSize();
        if (size >= 0 && size <= 4) SetChecked(MainCommand(int(MainCommand::TextSizeSmallest) + size), true);
    });
    // Zoom is the page's own (each Link keeps its own); the mouse wheel with Ctrl zooms too.
    QMenu* zoom = view->addMenu(QStringLiteral("&Zoom"));
    zoom->setObjectName(QStringLiteral("mnuViewZoom"));
    Add(zoom, MainCommand::ZoomIn, "mnuViewZoomIn", QStringLiteral("Zoom &In"),
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    Add(zoom, MainCommand::ZoomOut, "mnuViewZoomOut", QStringLiteral("Zoom &Out"),
        {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    Add(zoom, MainCommand::ZoomReset, "mnuViewZoomReset", QStringLiteral("&Actual Size"),
        {QKeySequence(Qt::CTRL | Qt::Key_0)});
    view->addSeparator();
    view->addMenu(m_historyListMenu);
    Add(view, MainCommand::RemoveFromHistory, "mnuViewRemoveHistory",
        QStringLiteral("Remove From &History..."));
    view->addSeparator();
    Add(view, MainCommand::FullScreen, "mnuViewFullScreen", QStringLiteral("F&ull Screen"),
        {QKeySequence(Qt::Key_F11)})
        ->setCheckable(true);
}

void MainMenus::BuildFavoritesMenu() {
    QMenu* favorites = m_window.menuBar()->addMenu(QStringLiteral("F&avorites"));
    favorites->setObjectName(QStringLiteral("mnuFavorites"));
    Add(favorites, MainCommand::AddFavorite, "mnuFavAdd", QStringLiteral("&Add to Favorites..."));
    Add(favorites, MainCommand::OrganizeFavorites, "mnuFavOrganize",
        QStringLiteral("&Organize Favorites..."));
}

void MainMenus::BuildNavigateMenu() {
    QMenu* navigate = m_window.menuBar()->addMenu(QStringLiteral("&Navigate"));
    navigate->setObjectName(QStringLiteral("mnuNavigate"));
    Add(navigate, MainCommand::Back, "mnuNavigateGoBack", QStringLiteral("&Back"),
        {QKeySequence(Qt::ALT | Qt::Key_Left)});
    Add(navigate, MainCommand::Forward, "mnuNavigateGoForward", QStringLiteral("&Forward"),
        {QKeySequence(Qt::ALT | Qt::Key_Right)});
    Add(navigate, MainCommand::Home, "mnuNavigateGoHome", QStringLiteral("&Home"),
        {QKeySequence(Qt::ALT | Qt::Key_Home)});
    Add(navigate, MainCommand::OpenInBrowser, "mnuNavigateIE", QStringLiteral("Open in Web &Browser"));
    Add(navigate, MainCommand::NewWindow, "mnuNavigateNewWin", QStringLiteral("&New Window"),
        {QKeySequence(Qt::CTRL | Qt::Key_N)});
    Add(navigate, MainCommand::Stop, "mnuNavigateStop", QStringLiteral("&Stop"),
        {QKeySequence(Qt::Key_Escape)});
    // The keys of the address box belong to FocusAddress (below): in a stand-alone window this
    // item shows or hides the box, which is not what the keys are for. Its check mark: whether the
    // active window shows its address box (the browse window always does).
    QAction* addressBar =
        Add(navigate, MainCommand::AddressBar, "mnuNavigateAddrBar", QStringLiteral("&Address Bar\tCtrl+L"));
    addressBar->setCheckable(true);
    addressBar->setChecked(true);
    connect(navigate, &QMenu::aboutToShow, this,
            [this, addressBar] { addressBar->setChecked(m_states.addressBarShown()); });
    QAction* focusAddress = Add(
        nullptr, MainCommand::FocusAddress, "cmdFocusAddress", QStringLiteral("Address"),
        {QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::ALT | Qt::Key_D), QKeySequence(Qt::Key_F6)});
    m_window.addAction(focusAddress);
    navigate->addSeparator();
    QAction* popUps = navigate->addAction(QStringLiteral("Blocked Pop-&Ups"));
    popUps->setObjectName(QStringLiteral("mnuNavigatePopUps"));
    m_popUpsList->BindAction(popUps);
    m_historyMenu = navigate->addMenu(QStringLiteral("Hi&story"));
    m_historyMenu->setObjectName(QStringLiteral("mnuHistory"));
    m_historyMenu->setEnabled(false);
}

void MainMenus::BuildLinksMenu() {
    QMenu* links = m_window.menuBar()->addMenu(QStringLiteral("Lin&ks"));
    links->setObjectName(QStringLiteral("mnuLinks"));
    Add(links, MainCommand::AddLink, "mnuLinksAdd", QStringLiteral("&Add Link..."))->setEnabled(false);
    m_linksEditMenu = links->addMenu(QStringLiteral("&Edit Link"));
    m_linksEditMenu->setObjectName(QStringLiteral("mnuLinksEdit"));
    m_linksRemoveMenu = links->addMenu(QStringLiteral("&Remove Link"));
    m_linksRemoveMenu->setObjectName(QStringLiteral("mnuLinksRemove"));
    links->addSeparator();
    Add(links, MainCommand::SortLinks, "mnuLinksSort", QStringLiteral("&Sort Links by Name..."));
}

void MainMenus::BuildOptionsMenu() {
    QMenu* options = m_window.menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    QAction* hide =
        Add(options, MainCommand::HidePopUps, "mnuOptionsHidePopUps", QStringLiteral("&Hide Pop-Ups"));
    hide->setCheckable(true);
    hide->setChecked(true);
    options->addSeparator();
    Add(options, MainCommand::ChangePassword, "mnuOptionsChangePassword",
        QStringLiteral("&Change Password..."));
    Add(options, MainCommand::DeleteUser, "mnuOptionsDeleteUser", QStringLiteral("&Delete User..."));
    options->addSeparator();
    Add(options, MainCommand::InternetOptions, "mnuOptionsInternet", QStringLiteral("&Internet Options..."));
    Add(options, MainCommand::ProgramOptions, "mnuOptionsBramblegate",
        Product() + QStringLiteral(" &Options..."));
}

void MainMenus::BuildWindowMenu() {
    QMenu* window = m_window.menuBar()->addMenu(QStringLiteral("&Window"));
    window->setObjectName(QStringLiteral("mnuWindow"));
    Add(window, MainCommand::Cascade, "mnuWindowCascade", QStringLiteral("&Cascade"));
    Add(window, MainCommand::TileHorizontal, "mnuWindowTileHorizontal", QStringLiteral("Tile &Horizontal"));
    Add(window, MainCommand::TileVertical, "mnuWindowTileVertical", QStringLiteral("Tile &Vertical"));
    Add(window, MainCommand::ArrangeIcons, "mnuWindowArrangeIcons", QStringLiteral("&Arrange Icons"));
    window->addSeparator();
    Add(window, MainCommand::CloseAll, "mnuWindowCloseAll", QStringLiteral("Close &All"));
}

void MainMenus::BuildHelpMenu() {
    QMenu* help = m_window.menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    const bool hasHelp = !Periphery::HelpTopicUrl(QStringLiteral("Contents")).isEmpty();
    Add(help, MainCommand::HelpContents, "mnuHelpContents", QStringLiteral("&Contents"),
        {QKeySequence::HelpContents})
        ->setEnabled(hasHelp);
    Add(help, MainCommand::HelpIndex, "mnuHelpIndex", QStringLiteral("&Index"))->setEnabled(hasHelp);
    Add(help, MainCommand::HelpSearch, "mnuHelpSearch", QStringLiteral("&Search"))->setEnabled(hasHelp);
    help->addSeparator();
    Add(help, MainCommand::TipOfTheDay, "mnuHelpTip", QStringLiteral("&Tip of the Day..."));
    help->addSeparator();
    Add(help, MainCommand::About, "mnuHelpAbout",
        QStringLiteral("&About ") + Product() + QStringLiteral("..."));
}

void MainMenus::ResetToolbar(int screenWidth, bool textLabels) {
    m_toolbar.ToolbarResetData(screenWidth, textLabels);
    m_historyList->BindAction(m_toolbar.Action(QStringLiteral("History")));
    if (QToolButton* history = m_toolbar.ToolButton(QStringLiteral("History")))
        history->setPopupMode(QToolButton::InstantPopup);
    m_bookmarksList->BindAction(m_toolbar.Action(QStringLiteral("Bookmark")));
    m_toolbar.SetPlaceholderMenu(m_historyMenu);
    m_popUpsList->SetImageProvider([](const QString& key) { return FrameToolbar::Icon(key); });
    m_popUpsList->BindAction(m_toolbar.Action(QStringLiteral("Popup")));
    if (QToolButton* popup = m_toolbar.ToolButton(QStringLiteral("Popup")))
        popup->setPopupMode(QToolButton::InstantPopup);
}

void MainMenus::SetEnabled(MainCommand command, bool enabled) {
    if (QAction* action = m_actions.value(command)) action->setEnabled(enabled);
}

void MainMenus::SetChecked(MainCommand command, bool checked) {
    if (QAction* action = m_actions.value(command)) action->setChecked(checked);
}

bool MainMenus::IsChecked(MainCommand command) const {
    QAction* action = m_actions.value(command);
    return action && action->isChecked();
}

void MainMenus::SetText(MainCommand command, const QString& text) {
    if (QAction* action = m_actions.value(command)) action->setText(text);
}

void MainMenus::SetInputEnabled(bool enabled) {
    m_window.menuBar()->setEnabled(enabled);
    m_toolbar.setEnabled(enabled);
    SetEnabled(MainCommand::FocusAddress, enabled);
}

void MainMenus::EnableToolbarsMenu(bool enabled, bool hasLinksBar) {
    for (QAction* action : m_toolbarsMenu->actions())
        action->setEnabled(enabled && (action != m_actions.value(MainCommand::ShowLinksBar) || hasLinksBar));
}

void MainMenus::ShowToolbarsMenu(const QPoint& globalPos) {
    m_toolbarsMenu->popup(globalPos);
}

QList<QAction*> MainMenus::ToolbarsActions() const {
    return m_toolbarsMenu->actions();
}

void MainMenus::ShowListMenu(MainCommand command) {
    const bool history = command == MainCommand::HistoryList;
    if (history ? !m_lists.history.Enabled() : !m_lists.popUps.Enabled()) return;
    QToolButton* button = m_toolbar.ToolButton(history ? QStringLiteral("History") : QStringLiteral("Popup"));
    const QPoint at = button ? button->mapToGlobal(QPoint(0, button->height())) : QCursor::pos();
    (history ? m_historyListMenu : m_popUpsMenu)->popup(at);
}

void MainMenus::ShowRemoveFromHistory() {
    m_historyList->ShowDialog();
}

namespace {
void Fill(QMenu* menu, const QList<BrowseMenuItem>& items) {
    menu->clear();
    for (const BrowseMenuItem& item : items)
        menu->addAction(item.text, menu, item.run);
}
} // namespace

void MainMenus::SetLinks(const QList<BrowseMenuItem>& edit, const QList<BrowseMenuItem>& remove,
                         bool editEnabled, bool removeEnabled) {
    Fill(m_linksEditMenu, edit);
    Fill(m_linksRemoveMenu, remove);
    m_linksEditMenu->setEnabled(editEnabled);
    m_linksRemoveMenu->setEnabled(removeEnabled);
}

void MainMenus::SetHistory(const QList<BrowseMenuItem>& pages) {
    Fill(m_historyMenu, pages);
    m_historyMenu->setEnabled(!m_historyMenu->isEmpty());
}
