#include "browse/Bookmarks.h"

#include "core/AppState.h"
#include "core/Errors.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "core/StoredNames.h"
#include "core/UrlUtils.h"
#include "users/UserOptions.h"

using namespace core;

namespace {
const QString kModule = QStringLiteral("Bramblegate.frmMDI");

int MaxBookmarkItems() {
    return App().Options ? App().Options->MaxBookmarkItems() : 40;
}
QString BookmarksKey() {
    return stored::UserKey(App().CurrentUser, stored::kBookmarksKeySuffix);
}

// An empty value name would address the whole key.
void DeleteBookmarkValue(const QString& name) {
    if (!name.isEmpty()) DeleteValue(BookmarksKey(), name);
}
} // namespace

Bookmarks::Bookmarks(QObject* parent) : QObject(parent) {}

int Bookmarks::IndexOf(const QString& name) const {
    for (int i = 0; i < Count(); ++i)
        if (m_items[i].name == name) return i;
    return -1;
}

void Bookmarks::AddBookmark(const BookmarkPage& page) {
    Errors::Guarded(kModule, QStringLiteral("AddBookmark"), [&] {
        const QString url = page.locationUrl;
        const PageLocation location{page.locationName, url};
        // Names are trimmed when the store reads them back; a bookmark is kept under the name
        // it will be found by, and a page without any name under its address.
        QString name = MakePageCaption(page.title.value_or(page.locationName), location).trimmed();
        if (name.isEmpty()) name = url.trimmed();
        if (name.isEmpty()) return;

        QList<Bookmark> items = m_items;
        QString dropped;
        const int existing = IndexOf(name);
        if (existing >= 0) {
            const QString oldUrl = items[existing].url;
            if (oldUrl == url) return;
            const msgbox::Result answer =
                MsgBox(QStringLiteral("A Bookmark with this name already exists.") + CR +
                           QStringLiteral("Do you want to replace the existing Bookmark that points to ") +
                           oldUrl + CR + QStringLiteral("With this: ") + url + CR + CR,
                       msgbox::YesNo, msgbox::Question, QStringLiteral("Replace Bookmark"));
            if (answer != msgbox::Yes) return;
            items.removeAt(existing);
        } else if (items.size() >= MaxBookmarkItems() + 1 && !items.isEmpty()) {
            dropped = items.takeLast().name;
        }
        items.prepend({name, url});
        StoreTransaction transaction;
        DeleteBookmarkValue(dropped);
        SaveValue(BookmarksKey(), name, url);
        transaction.CommitOrThrow(QStringLiteral("Your bookmarks"));
        m_items = items;
        emit Changed();
    });
}

void Bookmarks::LoadBookmarks() {
    Errors::Guarded(kModule, QStringLiteral("LoadBookmarks"), [this] {
        m_items.clear();
        QStringList names, values;
        const int count =
            EnumValues(QStringLiteral("Software\\") + AppKeyName() + QLatin1Char('\\') + BookmarksKey(),
                       names, values, 200);
        const int keep = qMax(0, MaxBookmarkItems() + 1);
        const int surplus = count - keep;
        if (surplus > 0) {
            StoreTransaction transaction;
            for (int i = 0; i < surplus; ++i)
                DeleteBookmarkValue(names[i]);
            transaction.Commit(); // trimming only: the next load trims again
        }
        for (int i = count - 1; i >= qMax(0, surplus); --i)
            m_items.append({names[i], values[i]});
        emit Changed();
    });
}

void Bookmarks::DeleteExtraBookmarks() {
    const int max = qMax(0, MaxBookmarkItems());
    if (Count() <= max) return;
    Errors::Guarded(kModule, QStringLiteral("DeleteExtraBookmarks"), [&] {
        QList<Bookmark> items = m_items;
        StoreTransaction transaction;
        while (items.size() > max)
            DeleteBookmarkValue(items.takeLast().name);
        transaction.CommitOrThrow(QStringLiteral("Your bookmarks"));
        m_items = items;
        emit Changed();
    });
}

void Bookmarks::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    Errors::Guarded(kModule, QStringLiteral("Delete"), [&] {
        DeleteBookmarkValue(m_items[index].name);
        m_items.removeAt(index);
        emit Changed();
    });
}

bool Bookmarks::Rename(int index, const QString& newName) {
    if (index < 0 || index >= Count()) return false;
    const QString name = newName.trimmed();
    const Bookmark old = m_items[index];
    if (name.isEmpty()) return false;
    if (name == old.name) return true;
    for (int i = 0; i < Count(); ++i) {
        // The store does not tell names apart by letter case, so neither does this test.
        if (i != index && m_items[i].name.compare(name, Qt::CaseInsensitive) == 0) {
            MsgBox(QStringLiteral("This Bookmark already exists. Please select another name.") + CR + CR,
                   msgbox::OKOnly, msgbox::Information, QStringLiteral("Bookmark Already Exists"));
            return false;
        }
    }
    bool renamed = false;
    Errors::Guarded(kModule, QStringLiteral("Rename"), [&] {
        StoreTransaction transaction;
        DeleteBookmarkValue(old.name);
        SaveValue(BookmarksKey(), name, old.url);
        transaction.CommitOrThrow(QStringLiteral("Your bookmarks"));
        m_items[index].name = name;
        renamed = true;
        emit Changed();
    });
    return renamed;
}
