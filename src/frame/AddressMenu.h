#pragma once

#include <QAction>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>

// What the frame's address menus (bookmarks, master history, blocked pop-ups) share: a menu that
// stays the caller's and is filled here, items that show a caption and carry an address, and the
// tool bar actions bound to the menu. Each menu says which address the user chose.
class AddressMenu : public QObject {
    Q_OBJECT
signals:
    void NavigateRequested(const QString& url);

protected:
    AddressMenu(QMenu* menu, QObject* parent);
    QMenu* Menu() const { return m_menu; }

    // Empties the menu; false when the menu is gone. An item may be the one being chosen right
    // now: it goes once the choice is handled.
    bool ClearMenu();
    // An item with `caption` as its text and `url` as its data and tips; choosing it asks for `url`.
    QAction* AddAddress(const QString& caption, const QString& url);

    // Gives `action` the menu. A following action is enabled with the list from then on.
    enum class Follow { No, Yes };
    void AttachAction(QAction* action, Follow follow, bool enabled);
    // Enables the following actions and the menu while the list holds anything.
    void FollowEnabled(bool enabled);
    // The following actions still alive.
    QList<QAction*> FollowingActions() const;
    void ForgetFollowingActions() { m_following.clear(); }

private:
    QPointer<QMenu> m_menu;
    QList<QPointer<QAction>> m_following;
};
