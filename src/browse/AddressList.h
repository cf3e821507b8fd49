#pragma once

#include <QString>
#include <QStringList>

// The addresses the address box knows (its hidden lookup list `lstUrls`), oldest first, and the
// matching of a typed text against them. No widgets here: the address box keeps its own
// drop-down list in step with every change this class reports.
class AddressList {
public:
    // What AddUrlItem did, so that the box's drop-down list can do the same.
    struct Change {
        bool added = false;
        bool droppedFirst = false; // the oldest address made room
    };

    // Adds a known address. Nothing when the limit is 0 or the address is known already in
    // any letter case; the list keeps at most maxHistoryItems - 1 addresses (the oldest goes).
    Change AddUrlItem(const QString& url, int maxHistoryItems);
    void Clear() { m_urls.clear(); }
    const QStringList& Urls() const { return m_urls; }
    int Count() const { return int(m_urls.size()); }

    // The stored list of `user` (key <user>Urls), read in the order it was written; only http
    // addresses, at most maxHistoryItems values looked at.
    void LoadVisitedUrls(const QString& user, int maxHistoryItems);
    // Writes the list over the stored one (Url0, Url1, ... and the count) in one transaction.
    void SaveVisitedUrls(const QString& user) const;
    // The typed-address list kept under the shared key of the store (url0, url1, ...), then the
    // newest addresses the user typed into other browsers of this machine (below `home`).
    // Imported addresses only fill free places: they never push out the user's own.
    void GetTypedURLs(int maxHistoryItems, const QString& home);

    // The first address after position `after` (wrapping round to the start) that begins with
    // `text`, ignoring case; -1 when there is none.
    int FindString(const QString& text, int after = -1) const;
    // The first address equal to `text`, ignoring case; -1 when there is none.
    int FindStringExact(const QString& text) const;

    // The scheme that is put in front of a typed text before it is looked up: "" when the
    // text already starts (or may still grow into) a scheme, else "http://" or "https://".
    static QString SchemePrefix(const QString& typed);
    // The known addresses the typed text may stand for, in list order: those beginning with
    // prefix + text, then those beginning with prefix + "www." + text. When nothing begins with
    // prefix + text, "www." is tried in front of the text before giving up. Empty: no match.
    QStringList MatchTypedAddress(const QString& typed) const;

private:
    void AppendStartingWith(const QString& start, QStringList& out) const;

    QStringList m_urls;
};
