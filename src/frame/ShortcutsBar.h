#pragma once

#include <functional>
#include <QHash>
#include <QList>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "core/UrlUtils.h"
#include "links/HisList.h"

class QAction;
class QFileSystemWatcher;
class QMenu;
class QMimeData;
class QToolButton;

// The links strip under the toolbar: one button per Internet shortcut in the "Links" subfolder
// of the favorites folder. The user's order is kept in the key "<user>IELinks" (value name =
// the shortcut's name, text = its address, in button order), which is deleted and written again
// whole whenever the order changes. Shortcuts that appear in the folder later go to the end;
// a file that cannot be trusted (too large, not a shortcut, no usable address) is not shown.
//
// Scroll buttons at both ends move the row when it is wider than the strip. Its context menu
// adds the page on show, edits, deletes and sorts the links. Shortcut files, Link buttons,
// favorites and addresses can be dropped on it; its buttons can be dragged to a new place or
// out of the program as shortcut files.
class ShortcutsBar : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kModule = "Bramblegate.frmMDI";
    // Last part of the "BGFmtByte" text of a strip button ("<place>::<address>::<name>::IELinks").
    static constexpr const char* kDragSuffix = "::IELinks";

    // The page the Add command takes (the active child window's); an empty address: none.
    using PageSource = std::function<core::PageLocation()>;

    explicit ShortcutsBar(QWidget* parent = nullptr);
    ~ShortcutsBar() override;

    // The shortcuts' folder; by default AppPaths::FavoritesFolder() + "/Links" (made, with the
    // favorites folder, when it is missing).
    void SetFolder(const QString& folder);
    QString Folder() const;
    void SetPageSource(PageSource source) { m_pageSource = std::move(source); }

    // Reads the folder and the order stored for App().CurrentUser and makes the buttons. The
    // order is written back when it changed (new or vanished shortcuts).
    void Load();

    // --- the links, in button order (places from 0)
    int Count() const { return m_items.Count(); }
    const HisList& Items() const { return m_items; }
    QStringList Names() const;
    QString Address(int place) const;
    QString FilePath(int place) const;
    // The place of the link with this name (letter case ignored), -1 when none.
    int Find(const QString& name) const;

    // --- changes; each updates the folder, the buttons and the stored order
    // Writes a new shortcut and puts it before `before` (-1: at the end). A name already taken
    // gets " (2)", " (3)", ...; the same name with the same address only moves that link.
    // False when the name or the address cannot be used or the file cannot be written.
    bool AddLink(const QString& name, const QString& address, int before = -1);
    // Renames the link's file and/or rewrites its address. False (with a message) when another
    // link has the name, or the file cannot be changed.
    bool EditLink(int place, const QString& name, const QString& address);
    // Deletes the link's file.
    bool DeleteLink(int place);
    // Puts a link before another (`before` = Count(): at the end).
    void MoveLink(int from, int before);
    // Orders the links by name.
    void SortLinks();

    // --- drag and drop
    // What a button offers when it is dragged: its shortcut file, the address as text and as
    // "UniformResourceLocator", and "BGFmtByte" with kDragSuffix.
    QMimeData* DragData(int place) const;
    // Whether the strip takes this data.
    static bool CanDrop(const QMimeData* data);
    // Takes dropped data in before `before`: a strip button of this strip moves; shortcut files
    // are copied in (those without a usable address skipped); a Link button, a favorite or an
    // address becomes a new shortcut. True when something changed.
    bool DropData(const QMimeData* mime, int before);
    // The place before which a drop at `pos` (strip coordinates) goes.
    int PlaceAt(const QPoint& pos) const;

    // --- scrolling (the buttons at both ends move the row)
    // The first button shown at the left end.
    int FirstShown() const { return m_first; }
    // Moves the row by whole buttons (negative: towards the start).
    void ScrollBy(int buttons);

    // --- context menu (Add, Edit, Delete, Sort, Toolbars)
    // Sets the menu up for the link at `place` (-1: the strip itself).
    void PrepareContextMenu(int place);
    int ContextPlace() const { return m_context; }
    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnSort();
    void OnToolbars();

signals:
    // A button was clicked: open its address in the active child window.
    void NavigateRequested(const QString& url);
    // Toolbars of the context menu, after its message: the frame may open View, Toolbars.
    void ToolbarsMenuRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QToolButton* Button(int place) const;
    QString Key() const;
    void SaveOrder();
    void Rebuild();
    void UpdateScroll();
    void StartDrag(int place);
    QString UniqueName(const QString& name) const;
    QString PathFor(const QString& name) const;
    void Insert(const QString& name, const QString& address, const QString& path, int before);
    int PlaceOf(const QObject* button) const;
    void WatchFolder();

    QString m_folder; // empty: the default
    PageSource m_pageSource;
    HisList m_items;                 // Caption = name, URL = address, ControlOrder = place
    QHash<QString, QString> m_files; // case-folded name -> file path
    QList<QToolButton*> m_buttons;

    QToolButton* m_leftButton = nullptr;
    QToolButton* m_rightButton = nullptr;
    QWidget* m_viewport = nullptr;
    QWidget* m_row = nullptr;
    int m_first = 0;

    QMenu* m_menu = nullptr;
    QAction* m_actAdd = nullptr;
    QAction* m_actEdit = nullptr;
    QAction* m_actDelete = nullptr;
    QAction* m_actSort = nullptr;
    QAction* m_actToolbars = nullptr;
    int m_context = -1;

    QPoint m_pressPos;
    int m_pressPlace = -1;
    bool m_writing = false;
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer m_reload; // gathers the folder's change reports into one reload
};
