#pragma once

#include <QObject>
#include <QString>

class Favorites;
class FavoritesHost;
class QAction;
class QMenu;
class QPoint;
class QTreeWidgetItem;

// The context menu of the Favorites tree: deletes and renames the favorite or folder it was
// opened on, creates a folder, adds the visible page as a favorite and opens the folder in the
// desktop's file manager. Files and folders change only below the favorites root; the tree
// follows with a refresh.
class FavoritesMenu : public QObject {
    Q_OBJECT
public:
    FavoritesMenu(Favorites& favorites, FavoritesHost& host);

    // Selects the node and sets the menu up for it (texts, what is enabled); null: the root.
    void PrepareContextMenu(QTreeWidgetItem* node);
    void Popup(QTreeWidgetItem* node, const QPoint& globalPos);

    void OnDeleteFavorite();
    void OnRenameFavorite();
    void OnNewFolder();
    void OnAddFavorite();
    void OnOrganize();

private:
    QTreeWidgetItem* ContextNode() const;
    QTreeWidgetItem* SelectedFolderNode() const;
    // Asks for a name in a small dialog; false when the user cancelled.
    bool AskName(const QString& title, const QString& label, QString* name);

    Favorites& m_favorites;
    FavoritesHost& m_host;
    QMenu* m_menu = nullptr;
    QAction* m_actDelete = nullptr;
    QAction* m_actRename = nullptr;
    QAction* m_actAdd = nullptr;

    // The node the menu was opened on.
    struct Context {
        bool favorite = false;
        QString folder; // the favorite's folder, or the folder's own path
        QString name;   // the node's text
        QString file;   // the favorite's file
    };
    Context m_context;
};
