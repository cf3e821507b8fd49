#include "links/HisList.h"

HisList::ItemPtr HisList::Add(const QString& caption, const QString& url, bool allowDuplicate, int before,
                              bool atEnd) {
    if (!allowDuplicate) {
        if (ItemPtr existing = ItemExists(url)) {
            ++existing->Hits;
            return existing;
        }
    }
    auto item = std::make_shared<HisItem>();
    item->Caption = caption;
    item->URL = url;
    item->Hits = 1;
    if (atEnd || m_items.empty())
        m_items.push_back(item);
    else if (before > 1 && before <= Count())
        m_items.insert(m_items.begin() + (before - 1), item);
    else if (before > Count())
        m_items.push_back(item); // "before" past the end: nothing to go before
    else
        m_items.insert(m_items.begin(), item);
    return item;
}

HisList::ItemPtr HisList::Item(int index) const {
    if (index < 1 || index > Count()) return nullptr;
    return m_items[size_t(index - 1)];
}

void HisList::Remove(int index) {
    if (index < 1 || index > Count()) return;
    m_items.erase(m_items.begin() + (index - 1));
    if (m_position > Count()) m_position = Count();
}

void HisList::Clear() {
    m_items.clear();
    m_position = 0;
}

HisList::ItemPtr HisList::ItemExists(const QString& url) const {
    for (const ItemPtr& item : m_items)
        if (item->URL == url) return item;
    return nullptr;
}

void HisList::AddSearchItem(const QString& url, qint32 searchChoice) {
    auto item = std::make_shared<HisItem>();
    item->Caption = url;
    item->URL = url;
    item->SearchChoice = searchChoice;
    if (m_position <= 0) {
        m_items.push_back(item);
        m_position = Count();
        return;
    }
    if (m_position > Count()) m_position = Count();
    if (m_items[size_t(m_position - 1)]->URL == url) return;
    m_items.insert(m_items.begin() + m_position, item);
    ++m_position;
}

QString HisList::PrevUrl(qint32* searchChoice) {
    if (m_position <= 1 || m_position > Count()) return QString();
    --m_position;
    const ItemPtr& item = m_items[size_t(m_position - 1)];
    if (searchChoice) *searchChoice = item->SearchChoice;
    return item->URL;
}

QString HisList::NextUrl(qint32* searchChoice) {
    if (m_position >= Count() || m_position < 0) return QString();
    ++m_position;
    const ItemPtr& item = m_items[size_t(m_position - 1)];
    if (searchChoice) *searchChoice = item->SearchChoice;
    return item->URL;
}
