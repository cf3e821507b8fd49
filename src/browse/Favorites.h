#pragma once

#include <QDateTime>
#include <QHash>
#include <QIcon>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "core/AppPaths.h"

class FavoritesHost;
class FavoritesMenu;
class QFileSystemWatcher;
class QMimeData;
class QTreeWidget;
class QTreeWidgetItem;

// The Favorites tab of the browse window: the favorites folder as a tree (`FavoritesView`), folders as
// nodes that fill when they are opened, Internet shortcuts as leaves. A click on a favorite opens
// it in the visible Link's pane; the folder last used is remembered for the user. A context menu
// deletes, renames and creates favorites and folders. The tree follows the folder on disk: a
// watcher on the open folders asks for a refresh, and each refresh brings the open folders in
// line with the disk by a mark-and-sweep pass.
//
// Nodes carry a tag: a folder's full path, or "url=" and the address for a favorite. Their keys
// are "K" and a running number, unique for the widget's lifetime. Images are "Closed" and "Open"
// for folders and "IExplore" for favorites.
class Favorites : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kModule = "Bramblegate.frmBrowse";
    // Navigate mode of an address opened from the tree.
    static constexpr int kNavigateMode = 6;
    // The companion program is due when no refresh happened for this long.
    static constexpr int kHelperAfterSeconds = 45;
    // Without a working watcher, the timer refreshes at most this often.
    static constexpr int kPollSeconds = 5;

    // Data kept on each node (Qt::UserRole + n).
    enum Role { TagRole = 0x0100, KeyRole, KindRole, FileRole, ImageRole, FilledRole };
    enum Kind { FolderNode = 0, FavoriteNode = 1 };

    // `root` is the favorites folder; it is made on first use (with a "Links" subfolder and a
    // few starting shortcuts) when it does not exist.
    explicit Favorites(FavoritesHost& host, QWidget* parent = nullptr,
                       const QString& root = AppPaths::FavoritesFolder());
    ~Favorites() override;

    const QString& RootPath() const { return m_root; }
    // The root node ("Favorites"); null before the tree was first built.
    QTreeWidgetItem* RootNode() const;

    // Re-reads the favorites folder into the tree and selects again the node last chosen. The
    // first call builds the tree and opens the remembered folder. Not full: only records the
    // time of the refresh. FavoritesReady is off while it runs.
    void RefreshFavorites(bool full = true);
    // Fills a folder node with its subfolders and, when asked, its favorites.
    void GetFiles(const QString& folder, QTreeWidgetItem* node, bool withFavorites);
    // Brings the children of a folder node (the root when null) in line with the disk, and then
    // those of its open subfolders.
    void SynchTvwFav(QTreeWidgetItem* node = nullptr);
    // Opens the folder nodes on the way down to a folder (a full path under the root, or a path
    // remembered in the form "...\Favorites\a\b") and returns the folder's node (null when the
    // way ends early).
    QTreeWidgetItem* GetParentFiles(const QString& folder);
    // Renames a favorite's file or a folder; mode "Rename". False when nothing was renamed.
    bool UpdateFavorite(const QString& mode, QTreeWidgetItem* node, const QString& newName);

    // The address of a favorite's tag (the text after the first "url=").
    static QString GetStrFromNode(const QString& tag);
    static QString Tag(const QTreeWidgetItem* node);
    static QString Key(const QTreeWidgetItem* node);
    static bool IsFavorite(const QTreeWidgetItem* node);
    // What a favorite offers when it is dragged out, as a Link button does: its address as text
    // and as "UniformResourceLocator", and "BGFmtByte" ("<key>::<address>::<name>::tvwFav").
    // Null for a folder.
    static QMimeData* DragData(const QTreeWidgetItem* node);
    // The node of a folder or favorite by its path below the root, names joined by "/"
    // ("Links/Internet Archive"); the root for the empty text. Only nodes already in the tree.
    QTreeWidgetItem* FindNode(const QString& relativePath) const;

    // --- the user's actions on the tree
    // A click: a folder opens or closes and is remembered; a favorite opens in the visible Link's
    // pane and its folder is remembered.
    void OnFavoriteClicked(QTreeWidgetItem* node);
    // Opens a folder node (filling it the first time) or closes it (its children go, so the next
    // opening reads the folder again).
    void ExpandNode(QTreeWidgetItem* node);
    void CollapseNode(QTreeWidgetItem* node);

    // --- context menu
    FavoritesMenu& Menu() const { return *m_menu; }

    // --- the browse window's favorites timer
    // The tick: refreshes when the folder changed since the last refresh (and, where the watcher
    // cannot watch a folder, every few seconds).
    void OnLoadFavoritesTimer();
    // Whether the companion program should be started: the last refresh is more than 45 seconds
    // old. Says yes at most once per 45 seconds.
    bool HelperDue();
    QDateTime LastRefresh() const { return m_lastRefresh; }
    // The folders being watched for changes.
    QStringList WatchedFolders() const;

signals:
    // A refresh ran (full).
    void Refreshed();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Its menu acts on the tree and the folder as the tree's own clicks do.
    friend class FavoritesMenu;

    QTreeWidgetItem* AddFolderNode(QTreeWidgetItem* parent, const QString& name, const QString& tag);
    QTreeWidgetItem* AddFavoriteNode(QTreeWidgetItem* parent, const QString& name, const QString& tag,
                                     const QString& file);
    void SetImage(QTreeWidgetItem* node, const QString& image);
    QString FolderOf(const QTreeWidgetItem* node) const;
    QTreeWidgetItem* ChildNamed(QTreeWidgetItem* node, const QString& text, Kind kind,
                                bool unmarkedOnly) const;
    QStringList RelativeParts(const QString& folder) const;
    bool IsInsideRoot(const QString& path) const;
    void Remember(const QString& folder, const QString& name);
    void SelectLastChosen();
    void SaveFolder(const QString& folder);
    void UpdateWatches();
    void FolderChanged();
    void ContextMenuRequested(const QPoint& pos);

    FavoritesHost& m_host;
    QString m_root;
    QTreeWidget* m_tree = nullptr;
    FavoritesMenu* m_menu = nullptr;
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer m_changed; // gathers the watcher's reports into one refresh
    QHash<QString, QIcon> m_icons;

    int m_nextKey = 0;
    bool m_refreshing = false;
    bool m_changePending = false;
    bool m_watchFailed = false;
    bool m_inExpand = false;
    QDateTime m_lastRefresh;
    QDateTime m_helperAsked;
    QDateTime m_lastPoll;
    // The node last chosen: its folder and its text.
    QString m_lastFolder;
    QString m_lastName;
};
