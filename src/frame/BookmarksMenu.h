#pragma once

#include <QPointer>

#include "frame/AddressMenu.h"

class Bookmarks;
class QWidget;

// Shows the bookmarks in a menu: "Delete Bookmark...", "Rename Bookmark...", a separator, then
// the bookmarks newest first (the name as text, the address as the item's data). The two fixed
// items open the management dialog in its mode; a bookmark says which address was chosen.
class BookmarksMenu : public AddressMenu {
    Q_OBJECT
public:
    // `menu` stays the caller's; it is filled here. Dialogs open over `dialogParent`.
    BookmarksMenu(Bookmarks& bookmarks, QMenu* menu, QWidget* dialogParent = nullptr,
                  QObject* parent = nullptr);

    // Gives `action` (the drop-down part of the "Bookmark" tool button) the menu.
    void BindAction(QAction* action);
    void Rebuild();
    // The management dialog in "Delete" or "Rename" mode, modal.
    void ShowDialog(const QString& mode);

    static constexpr int kFixedItems = 3;

private:
    Bookmarks& m_bookmarks;
    QPointer<QWidget> m_dialogParent;
};
