#include "browse/MasterHistory.h"

#include "core/AppState.h"
#include "core/Errors.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "core/StoredNames.h"
#include "users/UserOptions.h"

using namespace core;

namespace {
const QString kModule = QStringLiteral("Bramblegate.frmMDI");

int MaxHistoryItems() {
    return App().Options ? App().Options->MaxHistoryItems() : 100;
}
QString HistoryKey() {
    return stored::UserKey(App().CurrentUser, stored::kHistoryKeySuffix);
}

// Deletes the stored value of an entry that left the list. Entries with one caption share one
// value, which holds the address of the one stored last: it goes with the entry whose address it
// holds, unless another entry with that caption and address remains. An empty name would
// address the whole key.
void DeleteEntryValue(const HistoryEntry& gone, const QList<HistoryEntry>& remaining) {
    if (gone.caption.isEmpty()) return;
    for (const HistoryEntry& e : remaining)
        if (e.caption.compare(gone.caption, Qt::CaseInsensitive) == 0 && e.url == gone.url) return;
    if (GetValue(HistoryKey(), gone.caption, gone.url) != gone.url) return;
    DeleteValue(HistoryKey(), gone.caption);
}
} // namespace

MasterHistory::MasterHistory(QObject* parent) : QObject(parent) {}

void MasterHistory::AddMasterHisListItem(const QString& caption, const QString& url) {
    Errors::Guarded(kModule, QStringLiteral("AddMasterHisListItem"), [&] {
        // The store trims value names when it reads them back; an entry is kept under the name
        // it will be found by, and a page without any caption under its address.
        QString name = caption.trimmed();
        if (name.isEmpty()) name = url.trimmed();
        if (name.isEmpty()) return;

        const int max = MaxHistoryItems();
        QList<HistoryEntry> items = m_items;
        const bool full = !items.isEmpty() && items.size() >= max;
        const HistoryEntry oldest = full ? items.takeLast() : HistoryEntry();
        // Only the newest entry is compared: A, B, A are three entries.
        const bool add = max > 0 && (items.isEmpty() || items.first().url != url);
        if (!full && !add) return;
        StoreTransaction transaction;
        if (full) DeleteEntryValue(oldest, items);
        if (add) SaveValue(HistoryKey(), name, url);
        transaction.CommitOrThrow(QStringLiteral("Your history"));
        if (add) items.prepend({name, url});
        m_items = items;
        m_enabled = !m_items.isEmpty();
        emit Changed();
    });
}

void MasterHistory::LoadMasterHistory() {
    Errors::Guarded(kModule, QStringLiteral("LoadMasterHistory"), [this] {
        m_items.clear();
        QStringList names, values;
        const int count =
            EnumValues(QStringLiteral("Software\\") + AppKeyName() + QLatin1Char('\\') + HistoryKey(), names,
                       values, 200);
        const int surplus = count - qMax(0, MaxHistoryItems());
        if (surplus > 0) {
            StoreTransaction transaction;
            for (int i = 0; i < surplus; ++i)
                if (!names[i].isEmpty()) DeleteValue(HistoryKey(), names[i]);
            transaction.Commit(); // trimming only: the next load trims again
        }
        for (int i = count - 1; i >= qMax(0, surplus); --i)
            m_items.append({names[i], values[i]});
        m_enabled = !m_items.isEmpty();
        emit Changed();
    });
}

void MasterHistory::RefreshMasterHisList() {
    m_items.clear();
    LoadMasterHistory();
}

void MasterHistory::Remove(int index) {
    if (index < 0 || index >= Count()) return;
    Errors::Guarded(kModule, QStringLiteral("Remove"), [&] {
        QList<HistoryEntry> items = m_items;
        const HistoryEntry gone = items.takeAt(index);
        DeleteEntryValue(gone, items);
        m_items = items;
        m_enabled = !m_items.isEmpty();
        emit Changed();
    });
}

void MasterHistory::RemoveAll() {
    Errors::Guarded(kModule, QStringLiteral("RemoveAll"), [this] {
        DeleteValue(HistoryKey(), QStringLiteral("-1"));
        m_items.clear();
        m_enabled = false;
        emit Changed();
    });
}
