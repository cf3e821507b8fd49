#pragma once

#include <functional>
#include <QIcon>
#include <QPointer>

#include "frame/AddressMenu.h"

class MessageFlasher;
class PopUpsList;

// Shows the blocked pop-ups in a menu (`PopUpsPopup`: newest first, the caption as text, the
// address as the item's data) and says which one the user chose (PopUpChosen). The menu follows every
// change of the list. Actions bound to it (the "Popup" tool button, a menu item) open the menu,
// are enabled while the list holds anything and show the flasher's image.
class PopUpsMenu : public AddressMenu {
    Q_OBJECT
public:
    using ImageProvider = std::function<QIcon(const QString& key)>;

    // `menu` stays the caller's; it is filled here. `flasher` may be null (no image changes).
    PopUpsMenu(PopUpsList& list, QMenu* menu, MessageFlasher* flasher = nullptr, QObject* parent = nullptr);

    void BindAction(QAction* action);
    void Rebuild();
    // The bound action's picture for an image key ("Popup", "Popnew"); the default draws them.
    void SetImageProvider(ImageProvider provider);
    static QIcon Image(const QString& key);

signals:
    // An item was chosen: its address and the web profile it is to open in.
    void PopUpChosen(const QString& url, const QString& profile);

private:
    void ShowImage(const QString& key);

    PopUpsList& m_list;
    QPointer<MessageFlasher> m_flasher;
    ImageProvider m_images = &PopUpsMenu::Image;
};
