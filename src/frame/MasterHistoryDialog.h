#pragma once

#include <QDialog>

class MasterHistory;
class QLabel;
class QPushButton;
class QTreeWidget;

// "Delete History": the master history in a tree, newest first; Delete removes the selected
// entry, Delete All (after a question) the whole stored history.
class MasterHistoryDialog : public QDialog {
    Q_OBJECT
public:
    explicit MasterHistoryDialog(MasterHistory& history, QWidget* parent = nullptr);

private:
    void Fill();
    void OnDeleteClicked();
    void OnDeleteAllClicked();

    MasterHistory& m_history;
    QTreeWidget* m_tree;
    QLabel* m_hint;
    QPushButton* m_delete;
    QPushButton* m_deleteAll;
    QPushButton* m_exit;
};
