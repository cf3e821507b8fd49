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
class BookmarksDialog : public QDialog {
    Q_OBJECT
public:
    BookmarksDialog(Bookmarks& bookmarks, const QString& mode, QWidget* parent = nullptr);

private:
    void Fill();
    void OnDeleteClicked();
    void OnBookmarkRenamed(QTreeWidgetItem* item);

    Bookmarks& m_bookmarks;
    QString m_mode;
    QTreeWidget* m_tree;
    QLabel* m_hint;
    QPushButton* m_delete;
    QPushButton* m_close;
};
