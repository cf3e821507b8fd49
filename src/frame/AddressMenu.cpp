#include "frame/AddressMenu.h"

#include <QAction>
#include <QMenu>

AddressMenu::AddressMenu(QMenu* menu, QObject* parent) : QObject(parent), m_menu(menu) {}

bool AddressMenu::ClearMenu() {
    if (!m_menu) return false;
    for (QAction* action : m_menu->actions()) {
        m_menu->removeAction(action);
        if (action->parent() == m_menu) action->deleteLater();
    }
    return true;
}

QAction* AddressMenu::AddAddress(const QString& caption, const QString& url) {
    // "&" in a caption is a letter, not a mnemonic.
    QAction* item = m_menu->addAction(QString(caption).replace(QLatin1Char('&'), QLatin1String("&&")));
    item->setData(url);
    item->setStatusTip(url);
    item->setToolTip(url);
    connect(item, &QAction::triggered, this, [this, url] { emit NavigateRequested(url); });
    return item;
}

void AddressMenu::AttachAction(QAction* action, Follow follow, bool enabled) {
    if (!action) return;
    action->setMenu(m_menu);
    if (follow == Follow::No) return;
    m_following.append(action);
    action->setEnabled(enabled);
}

void AddressMenu::FollowEnabled(bool enabled) {
    for (QAction* action : FollowingActions())
        action->setEnabled(enabled);
    if (m_menu) m_menu->setEnabled(enabled);
}

QList<QAction*> AddressMenu::FollowingActions() const {
    QList<QAction*> out;
    for (const QPointer<QAction>& action : m_following)
        if (action) out.append(action);
    return out;
}
