#include "frame/PopUpsMenu.h"

#include <QPainter>
#include <QPixmap>

#include "frame/MessageFlasher.h"
#include "browse/PopUpsList.h"

PopUpsMenu::PopUpsMenu(PopUpsList& list, QMenu* menu, MessageFlasher* flasher, QObject* parent)
    : AddressMenu(menu, parent), m_list(list), m_flasher(flasher) {
    connect(&m_list, &PopUpsList::Changed, this, &PopUpsMenu::Rebuild);
    if (m_flasher) connect(m_flasher, &MessageFlasher::PopUpImageChanged, this, &PopUpsMenu::ShowImage);
    Rebuild();
}

void PopUpsMenu::BindAction(QAction* action) {
    if (!action) return;
    AttachAction(action, Follow::Yes, m_list.Enabled());
    ShowImage(m_flasher ? m_flasher->PopUpImage() : QLatin1String(MessageFlasher::kPopupImage));
}

void PopUpsMenu::SetImageProvider(ImageProvider provider) {
    m_images = provider ? std::move(provider) : ImageProvider(&PopUpsMenu::Image);
    ShowImage(m_flasher ? m_flasher->PopUpImage() : QLatin1String(MessageFlasher::kPopupImage));
}

void PopUpsMenu::ShowImage(const QString& key) {
    for (QAction* action : FollowingActions()) {
        action->setIcon(m_images(key));
        action->setProperty("imageKey", key);
    }
}

void PopUpsMenu::Rebuild() {
    FollowEnabled(m_list.Enabled());
    if (!ClearMenu()) return;
    for (const PopUpItem& item : m_list.Items()) {
        QAction* action = AddAddress(item.caption, item.url);
        connect(action, &QAction::triggered, this,
                [this, item] { emit PopUpChosen(item.url, item.profile); });
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
