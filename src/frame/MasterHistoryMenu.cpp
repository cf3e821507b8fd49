#include "frame/MasterHistoryMenu.h"

#include "browse/MasterHistory.h"
#include "core/MessageBox.h"
#include "frame/MasterHistoryDialog.h"

MasterHistoryMenu::MasterHistoryMenu(MasterHistory& history, QMenu* menu, QWidget* dialogParent,
                                     QObject* parent)
    : AddressMenu(menu, parent), m_history(history), m_dialogParent(dialogParent) {
    connect(&m_history, &MasterHistory::Changed, this, &MasterHistoryMenu::Rebuild);
    Rebuild();
}

void MasterHistoryMenu::BindAction(QAction* action) {
    ForgetFollowingActions();
    AttachAction(action, Follow::Yes, m_history.Enabled());
}

void MasterHistoryMenu::Rebuild() {
    FollowEnabled(m_history.Enabled());
    if (!ClearMenu()) return;
    for (const HistoryEntry& entry : m_history.Items())
        AddAddress(entry.caption, entry.url);
}

void MasterHistoryMenu::ShowDialog() {
    MasterHistoryDialog dialog(m_history, m_dialogParent);
    modal::RunModal(dialog);
}
