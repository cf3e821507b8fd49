#pragma once

#include <optional>
#include <QList>
#include <QObject>
#include <QString>

// One bookmark: its name (also its key) and its address.
struct Bookmark {
    QString name;
    QString url;
    bool operator==(const Bookmark&) const = default;
};

// The page to bookmark, as the active browser reports it. `title` is empty (nullopt) when the
// document's title cannot be read; the location name is used then.
struct BookmarkPage {
    std::optional<QString> title;
    QString locationName;
    QString locationUrl;
};

// The logged-in user's bookmarks, newest first, stored in the key <user>BMs (value name =
// bookmark name, text = address). Adding and loading keep at most MaxBookmarkItems + 1 of
// them; trimming after the options changed keeps exactly MaxBookmarkItems. The frame owns it;
// its "Bookmark" tool button shows it (BookmarksMenu).
class Bookmarks : public QObject {
    Q_OBJECT
public:
    explicit Bookmarks(QObject* parent = nullptr);

    // Bookmarks the page under MakePageCaption's name. A bookmark of that name (exactly) with
    // another address is replaced only when the user says so ("Replace Bookmark").
    void AddBookmark(const BookmarkPage& page);
    // Reads the stored bookmarks, newest first; the oldest beyond MaxBookmarkItems + 1 are
    // deleted from the store.
    void LoadBookmarks();
    // Deletes bookmarks from the end until MaxBookmarkItems remain.
    void DeleteExtraBookmarks();
    // Deletes one bookmark (0 = the first, newest) from the list and the store.
    void Delete(int index);
    // Renames a bookmark. Refused, with "Bookmark Already Exists", when another bookmark has
    // the name; an empty name is refused quietly. True when the bookmark has the new name.
    bool Rename(int index, const QString& newName);

    const QList<Bookmark>& Items() const { return m_items; }
    int Count() const { return int(m_items.size()); }
    // The bookmark whose name equals `name` exactly, or -1.
    int IndexOf(const QString& name) const;

signals:
    void Changed();

private:
    QList<Bookmark> m_items;
};
