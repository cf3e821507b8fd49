#pragma once

#include <QList>
#include <QObject>
#include <QString>

// One entry of the master history: the page's caption and its address.
struct HistoryEntry {
    QString caption;
    QString url;
    bool operator==(const HistoryEntry&) const = default;
};

// The master history of the logged-in user: every page opened in a Link pane or a stand-alone
// window, newest first, at most MaxHistoryItems entries. Stored entry by entry in the key
// <user>History (value name = caption, text = address), so two entries with one caption
// share one stored value and the later address wins. The frame owns it; its "History" tool
// button shows it (MasterHistoryMenu) and is enabled while it holds anything.
class MasterHistory : public QObject {
    Q_OBJECT
public:
    explicit MasterHistory(QObject* parent = nullptr);

    // Records a page. A full list first loses its oldest entry (also from the store), even
    // when the page is then not added because it is the newest entry's address again.
    void AddMasterHisListItem(const QString& caption, const QString& url);
    // Reads the stored entries (oldest first in the store); drops from the store the oldest
    // beyond MaxHistoryItems; fills the list newest first.
    void LoadMasterHistory();
    // Empties the list and loads it again (after the options changed).
    void RefreshMasterHisList();
    // Takes one entry out of the list and its value out of the store (0 = newest).
    void Remove(int index);
    // Deletes the whole stored history and empties the list.
    void RemoveAll();

    // Newest first.
    const QList<HistoryEntry>& Items() const { return m_items; }
    int Count() const { return int(m_items.size()); }
    // The "History" tool button and the list are usable.
    bool Enabled() const { return m_enabled; }

signals:
    // The entries or the enabled state changed.
    void Changed();

private:
    QList<HistoryEntry> m_items;
    bool m_enabled = false;
};
