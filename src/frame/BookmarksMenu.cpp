#include "frame/BookmarksMenu.h"

#include <QAction>
#include <QMenu>

#include "core/MessageBox.h"
#include "frame/Bookmarks.h"
#include "frame/frmBookMarks.h"

namespace {
// An item may be the one being chosen right now: it goes once the choice is handled.
void ClearMenu(QMenu& menu) {
    for (QAction* action : menu.actions()) {
        menu.removeAction(action);
        if (action->parent() == &menu) action->deleteLater();
    }
}
} // namespace

BookmarksMenu::BookmarksMenu(Bookmarks& bookmarks, QMenu* menu, QWidget* dialogParent, QObject* parent)
    : QObject(parent), m_bookmarks(bookmarks), m_menu(menu), m_dialogParent(dialogParent) {
    connect(&m_bookmarks, &Bookmarks::Changed, this, &BookmarksMenu::Rebuild);
    Rebuild();
}

void BookmarksMenu::BindAction(QAction* action) {
    if (action) action->setMenu(m_menu);
}

void BookmarksMenu::Rebuild() {
    if (!m_menu) return;
    ClearMenu(*m_menu);
    connect(m_menu->addAction(QStringLiteral("Delete Bookmark...")), &QAction::triggered, this,
            [this] { ShowDialog(QStringLiteral("Delete")); });
    connect(m_menu->addAction(QStringLiteral("Rename Bookmark...")), &QAction::triggered, this,
            [this] { ShowDialog(QStringLiteral("Rename")); });
    m_menu->addSeparator();
    for (const Bookmark& bookmark : m_bookmarks.Items()) {
        QAction* item =
            m_menu->addAction(QString(bookmark.name).replace(QLatin1Char('&'), QLatin1String("&&")));
        item->setData(bookmark.url);
        item->setStatusTip(bookmark.url);
        item->setToolTip(bookmark.url);
        const QString url = bookmark.url;
        connect(item, &QAction::triggered, this, [this, url] { emit NavigateRequested(url); });
    }
}

void BookmarksMenu::ShowDialog(const QString& mode) {
    frmBookMarks dialog(m_bookmarks, mode, m_dialogParent);
    modal::RunModal(dialog);
}
