#include "frame/BookmarksDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "browse/Bookmarks.h"

BookmarksDialog::BookmarksDialog(Bookmarks& bookmarks, const QString& mode, QWidget* parent)
    : QDialog(parent), m_bookmarks(bookmarks), m_mode(mode), m_tree(new QTreeWidget(this)),
      m_hint(new QLabel(this)), m_delete(new QPushButton(QStringLiteral("Delete"), this)),
      m_close(new QPushButton(this)) {
    setObjectName(QStringLiteral("frmBookMarks"));
    m_tree->setObjectName(QStringLiteral("tvwBookmarks"));
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(false);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_hint->setWordWrap(true);
    m_delete->setObjectName(QStringLiteral("cmdDelete"));
    m_close->setObjectName(QStringLiteral("cmdClose"));

    const bool renaming = m_mode.compare(QLatin1String("Rename"), Qt::CaseInsensitive) == 0;
    if (renaming) {
        setWindowTitle(QStringLiteral("Rename BookMark"));
        m_close->setText(QStringLiteral("OK"));
        m_hint->setText(QStringLiteral(
            "Click on an item. Start edit when the item is highlighted in an edit box. Click OK to exit."));
        m_delete->hide();
        m_tree->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::DoubleClicked);
    } else {
        setWindowTitle(QStringLiteral("Delete BookMark"));
        m_close->setText(QStringLiteral("Done"));
        m_hint->setText(QStringLiteral("Select an item by clicking. Press 'Delete' button to delete the "
                                       "selected item. Click Done to exit."));
        m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_delete);
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addWidget(m_hint);
    layout->addLayout(buttons);
    resize(420, 360);

    connect(m_delete, &QPushButton::clicked, this, &BookmarksDialog::OnDeleteClicked);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_tree, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int) { OnBookmarkRenamed(item); });
    Fill();
}

void BookmarksDialog::Fill() {
    const QSignalBlocker block(m_tree);
    m_tree->clear();
    const bool renaming = m_tree->editTriggers() != QAbstractItemView::NoEditTriggers;
    for (const Bookmark& bookmark : m_bookmarks.Items()) {
        auto* item = new QTreeWidgetItem(m_tree, QStringList{bookmark.name});
        item->setToolTip(0, bookmark.url);
        if (renaming) item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
}

void BookmarksDialog::OnDeleteClicked() {
    QTreeWidgetItem* item = m_tree->currentItem();
    if (!item || !item->isSelected()) return;
    const int row = m_tree->indexOfTopLevelItem(item);
    m_bookmarks.Delete(row);
    Fill();
    if (m_tree->topLevelItemCount() > 0)
        m_tree->setCurrentItem(m_tree->topLevelItem(qMin(row, m_tree->topLevelItemCount() - 1)));
}

void BookmarksDialog::OnBookmarkRenamed(QTreeWidgetItem* item) {
    const int row = m_tree->indexOfTopLevelItem(item);
    if (row < 0 || row >= m_bookmarks.Count()) return;
    m_bookmarks.Rename(row, item->text(0));
    // Whatever became of the edit, the item shows the bookmark's name as it now stands.
    const QSignalBlocker block(m_tree);
    item->setText(0, m_bookmarks.Items()[row].name);
}
