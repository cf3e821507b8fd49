#pragma once

#include <QDialog>

class Bookmarks;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The bookmarks in a tree, in one of two modes: "Delete" (the Delete button removes the
// selected bookmark) or "Rename" (a name is edited in place; a name another bookmark has is
// refused).
class frmBookMarks : public QDialog {
    Q_OBJECT
public:
    frmBookMarks(Bookmarks& bookmarks, const QString& mode, QWidget* parent = nullptr);

    const QString& Mode() const { return m_mode; }
    QTreeWidget* tvwBookmarks() const { return m_tree; }
    QLabel* lblHint() const { return m_hint; }
    QPushButton* cmdDelete() const { return m_delete; }
    QPushButton* cmdClose() const { return m_close; }

private:
    void Fill();
    void cmdDelete_Click();
    void tvwBookmarks_AfterLabelEdit(QTreeWidgetItem* item);

    Bookmarks& m_bookmarks;
    QString m_mode;
    QTreeWidget* m_tree;
    QLabel* m_hint;
    QPushButton* m_delete;
    QPushButton* m_close;
};
