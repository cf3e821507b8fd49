#include "frame/MasterHistoryDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "browse/MasterHistory.h"
#include "core/MessageBox.h"

MasterHistoryDialog::MasterHistoryDialog(MasterHistory& history, QWidget* parent)
    : QDialog(parent), m_history(history), m_tree(new QTreeWidget(this)), m_hint(new QLabel(this)),
      m_delete(new QPushButton(QStringLiteral("Delete"), this)),
      m_deleteAll(new QPushButton(QStringLiteral("Delete All"), this)),
      m_exit(new QPushButton(QStringLiteral("Exit"), this)) {
    setObjectName(QStringLiteral("frmMasterHistory"));
    setWindowTitle(QStringLiteral("Delete History"));
    m_tree->setObjectName(QStringLiteral("tvwHistory"));
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(false);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_hint->setText(QStringLiteral(
        "Select an item by clicking. Press 'Delete'  to delete the selected item. Press 'Exit' to exit."));
    m_hint->setWordWrap(true);
    m_delete->setObjectName(QStringLiteral("cmdDelete"));
    m_deleteAll->setObjectName(QStringLiteral("cmdDeleteAll"));
    m_exit->setObjectName(QStringLiteral("cmdExit"));
    m_exit->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_delete);
    buttons->addWidget(m_deleteAll);
    buttons->addStretch();
    buttons->addWidget(m_exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addWidget(m_hint);
    layout->addLayout(buttons);
    resize(480, 360);

    connect(m_delete, &QPushButton::clicked, this, &MasterHistoryDialog::OnDeleteClicked);
    connect(m_deleteAll, &QPushButton::clicked, this, &MasterHistoryDialog::OnDeleteAllClicked);
    connect(m_exit, &QPushButton::clicked, this, &QDialog::accept);
    Fill();
}

void MasterHistoryDialog::Fill() {
    m_tree->clear();
    int index = 0;
    for (const HistoryEntry& entry : m_history.Items()) {
        auto* item = new QTreeWidgetItem(m_tree, QStringList{entry.caption});
        item->setToolTip(0, entry.url);
        item->setData(0, Qt::UserRole, index++);
    }
}

void MasterHistoryDialog::OnDeleteClicked() {
    const QTreeWidgetItem* item = m_tree->currentItem();
    if (!item || !item->isSelected()) return;
    const int row = m_tree->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item));
    m_history.Remove(item->data(0, Qt::UserRole).toInt());
    Fill();
    // The next entry is ready for another Delete.
    if (m_tree->topLevelItemCount() > 0)
        m_tree->setCurrentItem(m_tree->topLevelItem(qMin(row, m_tree->topLevelItemCount() - 1)));
}

void MasterHistoryDialog::OnDeleteAllClicked() {
    if (MsgBox(QStringLiteral("Are you sure you want to delete all these items?") + CR + CR, msgbox::YesNo,
               msgbox::Question, QStringLiteral("Delete All History Items")) != msgbox::Yes)
        return;
    m_history.RemoveAll();
    Fill();
}
