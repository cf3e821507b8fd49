#pragma once

#include <QPointer>

#include "frame/AddressMenu.h"

class MasterHistory;
class QWidget;

// Shows the master history in a menu (newest first; the caption as text, the address as the
// item's data) and says which address the user chose. The menu follows every change of the
// history; a tool bar action bound to it is enabled while the history holds anything.
class MasterHistoryMenu : public AddressMenu {
    Q_OBJECT
public:
    // `menu` stays the caller's; it is filled here. The dialog opens over `dialogParent`.
    MasterHistoryMenu(MasterHistory& history, QMenu* menu, QWidget* dialogParent = nullptr,
                      QObject* parent = nullptr);

    // Makes `action` (the "History" tool button) open the menu and follow the enabled state; it
    // takes the place of the action bound before.
    void BindAction(QAction* action);
    void Rebuild();
    // "Delete History", modal (the View menu's Remove From History).
    void ShowDialog();

private:
    MasterHistory& m_history;
    QPointer<QWidget> m_dialogParent;
};
