#include "frame/BookmarksMenu.h"

#include "browse/Bookmarks.h"
#include "core/MessageBox.h"
#include "frame/BookmarksDialog.h"

BookmarksMenu::BookmarksMenu(Bookmarks& bookmarks, QMenu* menu, QWidget* dialogParent, QObject* parent)
    : AddressMenu(menu, parent), m_bookmarks(bookmarks), m_dialogParent(dialogParent) {
    connect(&m_bookmarks, &Bookmarks::Changed, this, &BookmarksMenu::Rebuild);
    Rebuild();
}

void BookmarksMenu::BindAction(QAction* action) {
    AttachAction(action, Follow::No, true);
}

void BookmarksMenu::Rebuild() {
    if (!ClearMenu()) return;
    connect(Menu()->addAction(QStringLiteral("Delete Bookmark...")), &QAction::triggered, this,
            [this] { ShowDialog(QStringLiteral("Delete")); });
    connect(Menu()->addAction(QStringLiteral("Rename Bookmark...")), &QAction::triggered, this,
            [this] { ShowDialog(QStringLiteral("Rename")); });
    Menu()->addSeparator();
    for (const Bookmark& bookmark : m_bookmarks.Items())
        AddAddress(bookmark.name, bookmark.url);
}

void BookmarksMenu::ShowDialog(const QString& mode) {
    BookmarksDialog dialog(m_bookmarks, mode, m_dialogParent);
    modal::RunModal(dialog);
}
