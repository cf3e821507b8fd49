#include "frame/PopUpsMenu.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

#include "frame/MessageFlasher.h"
#include "frame/PopUpsList.h"

namespace {
// An item may be the one being chosen right now: it goes once the choice is handled.
void ClearMenu(QMenu& menu) {
    for (QAction* action : menu.actions()) {
        menu.removeAction(action);
        if (action->parent() == &menu) action->deleteLater();
    }
}
} // namespace

PopUpsMenu::PopUpsMenu(PopUpsList& list, QMenu* menu, MessageFlasher* flasher, QObject* parent)
    : QObject(parent), m_list(list), m_menu(menu), m_flasher(flasher) {
    connect(&m_list, &PopUpsList::Changed, this, &PopUpsMenu::Rebuild);
    if (m_flasher) connect(m_flasher, &MessageFlasher::PopUpImageChanged, this, &PopUpsMenu::ShowImage);
    Rebuild();
}

void PopUpsMenu::BindAction(QAction* action) {
    if (!action) return;
    m_actions.append(action);
    action->setMenu(m_menu);
    action->setEnabled(m_list.Enabled());
    ShowImage(m_flasher ? m_flasher->PopUpImage() : QLatin1String(MessageFlasher::kPopupImage));
}

void PopUpsMenu::SetImageProvider(ImageProvider provider) {
    m_images = provider ? std::move(provider) : ImageProvider(&PopUpsMenu::Image);
    ShowImage(m_flasher ? m_flasher->PopUpImage() : QLatin1String(MessageFlasher::kPopupImage));
}

void PopUpsMenu::ShowImage(const QString& key) {
    for (const QPointer<QAction>& action : m_actions) {
        if (!action) continue;
        action->setIcon(m_images(key));
        action->setProperty("imageKey", key);
    }
}

void PopUpsMenu::Rebuild() {
    for (const QPointer<QAction>& action : m_actions)
        if (action) action->setEnabled(m_list.Enabled());
    if (!m_menu) return;
    ClearMenu(*m_menu);
    m_menu->setEnabled(m_list.Enabled());
    for (const PopUpItem& item : m_list.Items()) {
        // "&" in a caption is a letter, not a mnemonic.
        QAction* entry =
            m_menu->addAction(QString(item.caption).replace(QLatin1Char('&'), QLatin1String("&&")));
        entry->setData(item.url);
        entry->setStatusTip(item.url);
        entry->setToolTip(item.url);
        const QString url = item.url;
        connect(entry, &QAction::triggered, this, [this, url] { emit NavigateRequested(url); });
    }
}

QIcon PopUpsMenu::Image(const QString& key) {
    // A small window; a new pop-up adds a bright mark in its corner.
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x44, 0x55, 0x66), 1.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(2.5, 5.5, 17, 14), 2, 2);
    p.fillRect(QRectF(3.5, 6.5, 15.5, 3.5), QColor(0x4a, 0x7a, 0xb8));
    if (key == QLatin1String(MessageFlasher::kPopnewImage)) {
        p.setPen(QPen(QColor(0xa0, 0x30, 0x00), 1));
        p.setBrush(QColor(0xff, 0x80, 0x10));
        p.drawEllipse(QRectF(13.5, 1.5, 9, 9));
    }
    return QIcon(pixmap);
}
