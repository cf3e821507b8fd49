#include "frame/MainCommands.h"

#include <QLineEdit>

#include "browse/ChildWindow.h"
#include "browse/Favorites.h"
#include "browse/FavoritesImport.h"
#include "browse/FavoritesMenu.h"
#include "browse/LinkControls.h"
#include "core/AppPaths.h"
#include "core/MessageBox.h"
#include "frame/InactivityLock.h"
#include "frame/MainMenus.h"
#include "frame/MainWindow.h"
#include "frame/PageCommands.h"
#include "frame/Periphery.h"
#include "links/Links.h"
#include "users/DeleteUserDialog.h"
#include "users/LoginDialog.h"
#include "users/SettingsTransfer.h"

using namespace core;

MainCommands::MainCommands(MainWindow& window, MainMenus& menus) : m_window(window), m_menus(menus) {}

void MainCommands::Run(MainCommand command, bool checked) {
    if (RunPageCommand(command) || RunWindowCommand(command)) return;
    BrowseWindow* browse = m_window.Browse();
    ChildWindow* child = m_window.ActiveChild();
    const auto toChild = [child](WindowCommand windowCommand) {
        if (child) child->RunCommand(windowCommand);
    };
    switch (command) {
    case MainCommand::Logout:
        if (InactivityLock* lock = m_window.Lock()) lock->RequestLogout();
        break;
    case MainCommand::Downloads:
        m_window.ShowDownloads();
        break;
    case MainCommand::WorkOffline:
        m_window.WorkOffline(checked);
        break;
    case MainCommand::ExportSettings:
        SettingsTransfer::ExportSettings(&m_window);
        break;
    case MainCommand::ImportSettings:
        SettingsTransfer::ImportSettings(&m_window);
        break;
    case MainCommand::ImportFavorites:
        ImportFavorites();
        break;
    case MainCommand::Exit:
        m_window.LifeCycle().QueryUnload(ProgramLifeCycle::Code);
        break;
    case MainCommand::Find:
        m_window.OpenFind();
        break;
    case MainCommand::FindNext:
        m_window.FindNext();
        break;
    case MainCommand::ShowButtons:
        m_window.ToggleView(ViewSettings::kButtons, checked);
        break;
    case MainCommand::ShowLinksBar:
        m_window.ToggleView(ViewSettings::kLinksBar, checked);
        break;
    case MainCommand::ShowStatusBar:
        m_window.ToggleView(ViewSettings::kStatusBar, checked);
        break;
    case MainCommand::TextLabels:
        m_window.SetTextLabels(!m_window.View().textLabels);
        break;
    case MainCommand::RemoveFromHistory:
        m_menus.ShowRemoveFromHistory();
        break;
    case MainCommand::FullScreen:
        m_window.FullScreen(checked);
        break;
    case MainCommand::AddFavorite:
        if (browse && browse->FavoritesPanel()) browse->FavoritesPanel()->Menu().OnAddFavorite();
        break;
    case MainCommand::OrganizeFavorites:
        if (browse && browse->FavoritesPanel()) browse->FavoritesPanel()->Menu().OnOrganize();
        break;
    case MainCommand::Back:
        toChild(WindowCommand::Back);
        break;
    case MainCommand::Forward:
        toChild(WindowCommand::Forward);
        break;
    case MainCommand::Home:
        toChild(WindowCommand::Home);
        break;
    case MainCommand::Stop:
        toChild(WindowCommand::Stop);
        break;
    case MainCommand::Refresh:
        toChild(WindowCommand::Refresh);
        break;
    case MainCommand::OpenInBrowser:
        toChild(WindowCommand::OpenInBrowser);
        break;
    case MainCommand::NewWindow:
        toChild(WindowCommand::NewWindow);
        break;
    case MainCommand::AddressBar:
        toChild(WindowCommand::AddressBar);
        break;
    case MainCommand::SearchTab:
        toChild(WindowCommand::SearchTab);
        break;
    case MainCommand::FavoritesTab:
        toChild(WindowCommand::FavoritesTab);
        break;
    case MainCommand::FocusAddress:
        FocusAddress();
        break;
    case MainCommand::AddLink:
        if (!browse) break;
        browse->State().contextLinkIndex = -1; // a new Link from the menu goes to the end
        browse->Controls().AddLinkDialog();
        break;
    case MainCommand::SortLinks:
        if (browse) browse->SortButtons();
        break;
    case MainCommand::HidePopUps:
        if (browse) browse->m_hidePopUps = checked;
        break;
    case MainCommand::ChangePassword:
        LoginDialog::RunChangePassword(&m_window);
        break;
    case MainCommand::DeleteUser:
        DeleteUserDialog::Run(&m_window);
        break;
    case MainCommand::InternetOptions:
        Periphery::RunInternetOptions(&m_window);
        break;
    case MainCommand::ProgramOptions:
        RunProgramOptions();
        break;
    case MainCommand::HelpContents:
        m_window.ShowHelp(QStringLiteral("Contents"));
        break;
    case MainCommand::HelpIndex:
        m_window.ShowHelp(QStringLiteral("Index"));
        break;
    case MainCommand::HelpSearch:
        m_window.ShowHelp(QStringLiteral("Search"));
        break;
    case MainCommand::TipOfTheDay:
        Periphery::RunTipOfTheDay(&m_window);
        break;
    case MainCommand::About:
        Periphery::RunAbout(&m_window);
        break;
    case MainCommand::SideBarShowHide:
        if (browse) browse->SideBarShowHide();
        break;
    case MainCommand::Bookmark:
        m_window.AddBookmark();
        break;
    case MainCommand::HistoryList:
    case MainCommand::PopUpList:
        m_menus.ShowListMenu(command);
        break;
    default:
        break;
    }
}

// The commands on the active child's page.
bool MainCommands::RunPageCommand(MainCommand command) {
    PageCommands& page = m_window.Page();
    switch (command) {
    case MainCommand::PageSetup:
        page.PageSetup();
        return true;
    case MainCommand::Print:
        page.Print();
        return true;
    case MainCommand::PrintPreview:
        page.PrintPreview();
        return true;
    case MainCommand::SaveAs:
        page.SaveAs();
        return true;
    case MainCommand::Properties:
        page.Properties();
        return true;
    case MainCommand::Cut:
        page.Edit(BrowserPane::Cut);
        return true;
    case MainCommand::Copy:
        page.Edit(BrowserPane::Copy);
        return true;
    case MainCommand::Paste:
        page.Edit(BrowserPane::Paste);
        return true;
    case MainCommand::SelectAll:
        page.Edit(BrowserPane::SelectAll);
        return true;
    case MainCommand::ViewSource:
        page.ViewSource();
        return true;
    case MainCommand::TextSizeSmallest:
    case MainCommand::TextSizeSmaller:
    case MainCommand::TextSizeMedium:
    case MainCommand::TextSizeLarger:
    case MainCommand::TextSizeLargest:
        page.SetTextSize(int(command) - int(MainCommand::TextSizeSmallest));
        return true;
    case MainCommand::TextLarger:
        page.ChangeTextSize(1);
        return true;
    case MainCommand::TextSmaller:
        page.ChangeTextSize(-1);
        return true;
    case MainCommand::ZoomIn:
        page.Zoom(1);
        return true;
    case MainCommand::ZoomOut:
        page.Zoom(-1);
        return true;
    case MainCommand::ZoomReset:
        page.Zoom(0);
        return true;
    default:
        return false;
    }
}

// The Window menu's commands and File, Close.
bool MainCommands::RunWindowCommand(MainCommand command) {
    switch (command) {
    case MainCommand::CloseWindow:
        m_window.CloseActiveWindow();
        return true;
    case MainCommand::Cascade:
        m_window.Cascade();
        return true;
    case MainCommand::TileHorizontal:
        m_window.TileHorizontal();
        return true;
    case MainCommand::TileVertical:
        m_window.TileVertical();
        return true;
    case MainCommand::ArrangeIcons:
        m_window.ArrangeIcons();
        return true;
    case MainCommand::CloseAll:
        m_window.CloseAll();
        return true;
    default:
        return false;
    }
}

void MainCommands::ImportFavorites() {
    BrowseWindow* browse = m_window.Browse();
    m_window.ShowMessage(QStringLiteral("Importing favorites..."));
    const int imported = FavoritesImport::ImportFavorites(AppPaths::FavoritesFolder());
    m_window.HideMessage();
    if (browse && browse->FavoritesPanel()) browse->FavoritesPanel()->RefreshFavorites();
    MsgBox(imported == 0 ? QStringLiteral("No new favorites were found in the other browsers.")
                         : QString::number(imported) + QStringLiteral(" favorites were imported."),
           msgbox::OKOnly, msgbox::Information, QStringLiteral("Import Favorites"));
}

void MainCommands::RunProgramOptions() {
    BrowseWindow* browse = m_window.Browse();
    Periphery::RunOptions(browse && browse->HasLinks() ? &browse->LinkList() : nullptr, &m_window,
                          [this] { m_window.OptionsApplied(); });
}

void MainCommands::FocusAddress() {
    if (ChildWindow* child = m_window.ActiveChild()) child->RunCommand(WindowCommand::FocusAddress);
}
