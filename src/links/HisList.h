#pragma once

#include <memory>
#include <QString>
#include <vector>

// One entry of an address list.
class HisItem {
public:
    QString URL;
    QString Caption;
    qint32 SearchChoice = 0; // search engine chosen when the entry was made (search pane)
    qint16 ControlOrder = 0; // place of the entry's button (links tool bar)
    qint16 Hits = 1;         // how many times the entry was added
};

// An ordered list of visited addresses with a current position for back/forward movement.
// Positions count from 1. Entries are compared by URL, exactly (case-sensitive), never by
// caption. Entries are shared: one handed out stays valid after it is removed from the list.
class HisList {
public:
    using ItemPtr = std::shared_ptr<HisItem>;

    // Adds an entry and returns it. Without allowDuplicate an entry with the same URL only
    // counts one more hit and stays where it is. A new entry goes to the end when atEnd is
    // set, else before position `before` when that is above 1, else to the front.
    ItemPtr Add(const QString& caption, const QString& url, bool allowDuplicate = false, int before = -1,
                bool atEnd = false);
    // The entry at a position, or null when there is none.
    ItemPtr Item(int index) const;
    int Count() const { return int(m_items.size()); }
    // Takes the entry at a position out of the list; a position that does not exist is ignored.
    void Remove(int index);
    void Clear();
    // The first entry with exactly this URL, or null.
    ItemPtr ItemExists(const QString& url) const;

    // Back/forward history of the search pane: a new address goes right after the current
    // entry (later entries stay after it) and becomes current; the current address again adds
    // nothing.
    void AddSearchItem(const QString& url, qint32 searchChoice);
    // Moves one back (forward) and returns that entry's URL and search choice; the empty text
    // when there is nowhere to go.
    QString PrevUrl(qint32* searchChoice);
    QString NextUrl(qint32* searchChoice);
    bool CanGoBack() const { return m_position >= 2; }
    bool CanGoForward() const { return m_position < Count(); }

    std::vector<ItemPtr>::const_iterator begin() const { return m_items.begin(); }
    std::vector<ItemPtr>::const_iterator end() const { return m_items.end(); }

private:
    std::vector<ItemPtr> m_items;
    int m_position = 0;
};

// What a browser pane last reported about its own back/forward history.
struct Brow {
    bool CanGoBack = false;
    bool CanGoForward = false;
};
