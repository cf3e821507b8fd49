#pragma once

#include <functional>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include "browse/BrowseHost.h"
#include "frame/MainCommand.h"

class Bookmarks;
class BookmarksMenu;
class FrameToolbar;
class MasterHistory;
class MasterHistoryMenu;
class MessageFlasher;
class PopUpsList;
class PopUpsMenu;
class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;
class QPoint;

// The main window's menu bar and button bar: builds the menus, gives the button bar's buttons
// their commands and says which command the user chose (Triggered). It does not run them. The
// lists behind the menus (history list, bookmarks, blocked pop-ups) are the window's; their menus
// are made here. Actions keep the object names they always had ("mnuFileExit", "tbrBack") for
// tests and for what the window system remembers.
class MainMenus : public QObject {
    Q_OBJECT
public:
    struct Lists {
        MasterHistory& history;
        Bookmarks& bookmarks;
        PopUpsList& popUps;
        MessageFlasher* flasher;
    };
    // What the menus ask when they open.
    struct States {
        std::function<bool()> canCloseWindow;  // File, Close: a stand-alone window is active
        std::function<bool()> hasPage;         // a page to save or show the properties of
        std::function<bool()> canPrint;        // a page that can be printed
        std::function<int()> textSize;         // 0 (smallest) to 4 (largest)
        std::function<bool()> addressBarShown; // the active window shows its address box
    };
    MainMenus(QMainWindow& window, FrameToolbar& toolbar, Lists lists, States states, bool hasFindBar);
    ~MainMenus() override;

    // Builds the button bar anew for a screen this wide and binds the list buttons to their menus.
    void ResetToolbar(int screenWidth, bool textLabels);

    void SetEnabled(MainCommand command, bool enabled);
    void SetChecked(MainCommand command, bool checked);
    bool IsChecked(MainCommand command) const;
    void SetText(MainCommand command, const QString& text);
    // The menu bar, both button bars' commands and the address keys: off while locked or ending.
    void SetInputEnabled(bool enabled);
    // View, Toolbars: its items usable (not in full screen); the links strip's only when there is one.
    void EnableToolbarsMenu(bool enabled, bool hasLinksBar);
    void ShowToolbarsMenu(const QPoint& globalPos);
    QList<QAction*> ToolbarsActions() const;
    // The history list or the blocked pop-ups under their button.
    void ShowListMenu(MainCommand command);
    void ShowRemoveFromHistory();

    // The Links menu's Edit and Remove lists (one item per Link, in button order) and whether each
    // is usable.
    void SetLinks(const QList<BrowseMenuItem>& edit, const QList<BrowseMenuItem>& remove, bool editEnabled,
                  bool removeEnabled);
    // Navigate, History: the visible Link's own pages; usable when it holds anything.
    void SetHistory(const QList<BrowseMenuItem>& pages);

    // The caption of View, Toolbars, Text Labels for the current state.
    static QString TextLabelsCaption(bool labelsOn);

signals:
    void Triggered(MainCommand command, bool checked);
    // An address from one of the lists' menus.
    void NavigateRequested(const QString& url);
    // A blocked pop-up chosen: its address and the web profile it is to open in.
    void PopUpChosen(const QString& url, const QString& profile);

private:
    QAction* Add(QMenu* menu, MainCommand command, const char* name, const QString& text,
                 const QList<QKeySequence>& shortcuts = {});
    void BuildFileMenu();
    void BuildEditMenu(bool hasFindBar);
    void BuildViewMenu();
    void BuildFavoritesMenu();
    void BuildNavigateMenu();
    void BuildLinksMenu();
    void BuildOptionsMenu();
    void BuildWindowMenu();
    void BuildHelpMenu();
    void RefreshFileMenu();

    QMainWindow& m_window;
    FrameToolbar& m_toolbar;
    Lists m_lists;
    States m_states;
    QMap<MainCommand, QAction*> m_actions;
    QMenu* m_toolbarsMenu = nullptr;
    QMenu* m_linksEditMenu = nullptr;
    QMenu* m_linksRemoveMenu = nullptr;
    QMenu* m_historyMenu = nullptr;
    QMenu* m_historyListMenu = nullptr;
    QMenu* m_bookmarksMenu = nullptr;
    QMenu* m_popUpsMenu = nullptr;
    QActionGroup* m_textSizes = nullptr;
    MasterHistoryMenu* m_historyList = nullptr;
    BookmarksMenu* m_bookmarksList = nullptr;
    PopUpsMenu* m_popUpsList = nullptr;
};
