#pragma once

#include <QDialog>

class MasterHistory;
class QLabel;
class QPushButton;
class QTreeWidget;

// "Delete History": the master history in a tree, newest first; Delete removes the selected
// entry, Delete All (after a question) the whole stored history.
class frmMasterHistory : public QDialog {
    Q_OBJECT
public:
    explicit frmMasterHistory(MasterHistory& history, QWidget* parent = nullptr);

    QTreeWidget* tvwHistory() const { return m_tree; }
    QLabel* lblHint() const { return m_hint; }
    QPushButton* cmdDelete() const { return m_delete; }
    QPushButton* cmdDeleteAll() const { return m_deleteAll; }
    QPushButton* cmdExit() const { return m_exit; }

private:
    void Fill();
    void cmdDelete_Click();
    void cmdDeleteAll_Click();

    MasterHistory& m_history;
    QTreeWidget* m_tree;
    QLabel* m_hint;
    QPushButton* m_delete;
    QPushButton* m_deleteAll;
    QPushButton* m_exit;
};
