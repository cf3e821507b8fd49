#include "frame/MasterHistoryMenu.h"

#include <QAction>
#include <QMenu>

#include "core/MessageBox.h"
#include "frame/frmMasterHistory.h"
#include "frame/MasterHistory.h"

namespace {
// An item may be the one being chosen right now: it goes once the choice is handled.
void ClearMenu(QMenu& menu) {
    for (QAction* action : menu.actions()) {
        menu.removeAction(action);
        if (action->parent() == &menu) action->deleteLater();
    }
}
} // namespace

MasterHistoryMenu::MasterHistoryMenu(MasterHistory& history, QMenu* menu, QWidget* dialogParent,
                                     QObject* parent)
    : QObject(parent), m_history(history), m_menu(menu), m_dialogParent(dialogParent) {
    connect(&m_history, &MasterHistory::Changed, this, &MasterHistoryMenu::Rebuild);
    Rebuild();
}

void MasterHistoryMenu::BindAction(QAction* action) {
    m_action = action;
    if (!action) return;
    action->setMenu(m_menu);
    action->setEnabled(m_history.Enabled());
}

void MasterHistoryMenu::Rebuild() {
    if (m_action) m_action->setEnabled(m_history.Enabled());
    if (!m_menu) return;
    ClearMenu(*m_menu);
    m_menu->setEnabled(m_history.Enabled());
    for (const HistoryEntry& entry : m_history.Items()) {
        // "&" in a caption is a letter, not a mnemonic.
        QAction* item =
            m_menu->addAction(QString(entry.caption).replace(QLatin1Char('&'), QLatin1String("&&")));
        item->setData(entry.url);
        item->setStatusTip(entry.url);
        item->setToolTip(entry.url);
        const QString url = entry.url;
        connect(item, &QAction::triggered, this, [this, url] { emit NavigateRequested(url); });
    }
}

void MasterHistoryMenu::ShowDialog() {
    frmMasterHistory dialog(m_history, m_dialogParent);
    modal::RunModal(dialog);
}
