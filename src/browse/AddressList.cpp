#include "browse/AddressList.h"

#include "browse/AddressImport.h"
#include "core/Settings.h"
#include "core/SettingsRegistry.h"
#include "core/SettingsStore.h"
#include "core/StoredNames.h"

using namespace core;

namespace {
constexpr Qt::CaseSensitivity ci = Qt::CaseInsensitive;

bool IsHttp(const QString& text) {
    return text.left(4).compare(QLatin1String("http"), ci) == 0;
}

QString UrlsKey(const QString& user) {
    return stored::UserKey(user, stored::kUrlsKeySuffix);
}
} // namespace

AddressList::Change AddressList::AddUrlItem(const QString& url, int maxHistoryItems) {
    Change change;
    if (maxHistoryItems <= 0 || url.isEmpty()) return change;
    if (FindStringExact(url) >= 0) return change;
    if (Count() >= maxHistoryItems - 1 && !m_urls.isEmpty()) {
        m_urls.removeFirst();
        change.droppedFirst = true;
    }
    m_urls.append(url);
    change.added = true;
    return change;
}

void AddressList::LoadVisitedUrls(const QString& user, int maxHistoryItems) {
    QStringList names, values;
    const int count = EnumValues(
        QStringLiteral("Software\\") + AppKeyName() + QLatin1Char('\\') + UrlsKey(user), names, values);
    for (int i = 0; i < count && i < maxHistoryItems; ++i)
        if (IsHttp(values[i])) AddUrlItem(values[i], maxHistoryItems);
}

void AddressList::SaveVisitedUrls(const QString& user) const {
    StoreTransaction transaction;
    for (int i = 0; i < Count(); ++i)
        SaveValue(UrlsKey(user), stored::kTypedUrlPrefix + QString::number(i), m_urls[i]);
    SaveValue(user, stored::user::kUrlCount, QString::number(Count()));
    transaction.CommitOrThrow(QStringLiteral("Your typed addresses"));
}

void AddressList::GetTypedURLs(int maxHistoryItems, const QString& home) {
    // The shared typed-address key numbers its values from 1; a gap after that ends the list.
    for (int n = 0; n < maxHistoryItems; ++n) {
        const QString url =
            SettingsRegistry::GetKeyValue(stored::kSharedTypedUrlsParent, stored::kSharedTypedUrlsKey,
                                          stored::kSharedTypedUrlPrefix + QString::number(n), QString())
                .toString();
        if (url.isEmpty()) {
            if (n == 0) continue;
            break;
        }
        if (IsHttp(url) && Count() < maxHistoryItems - 1) AddUrlItem(url, maxHistoryItems);
    }
    if (maxHistoryItems <= 0) return;
    // Newest first: the newest that are not known yet take the free places, and go in oldest
    // first, as if typed in that order.
    QStringList fresh;
    for (const QString& url : AddressImport::BrowserTypedUrls(home, maxHistoryItems)) {
        if (Count() + fresh.size() >= maxHistoryItems - 1) break;
        if (FindStringExact(url) < 0 && !fresh.contains(url, ci)) fresh << url;
    }
    for (auto it = fresh.crbegin(); it != fresh.crend(); ++it)
        AddUrlItem(*it, maxHistoryItems);
}

int AddressList::FindString(const QString& text, int after) const {
    const int count = Count();
    if (count == 0) return -1;
    const int start = (after < -1 || after >= count) ? 0 : after + 1;
    for (int k = 0; k < count; ++k) {
        const int i = (start + k) % count;
        if (m_urls[i].startsWith(text, ci)) return i;
    }
    return -1;
}

int AddressList::FindStringExact(const QString& text) const {
    for (int i = 0; i < Count(); ++i)
        if (m_urls[i].compare(text, ci) == 0) return i;
    return -1;
}

QString AddressList::SchemePrefix(const QString& typed) {
    static const QString http = QStringLiteral("http://");
    static const QString https = QStringLiteral("https://");
    static const QString ftp = QStringLiteral("ftp://");
    if (typed.startsWith(QLatin1String("https"), ci)) {
        if (typed.size() > 7) return typed.startsWith(https, ci) ? QString() : https;
        return https.startsWith(typed, ci) ? QString() : https;
    }
    if (typed.size() > 6) return (typed.startsWith(http, ci) || typed.startsWith(ftp, ci)) ? QString() : http;
    // A short text may be a scheme still being typed ("h", "ht", "ftp:").
    const auto begins = [&](const QString& scheme) {
        return scheme.left(typed.size()).compare(typed, ci) == 0;
    };
    return (begins(http) || begins(https) || begins(ftp)) ? QString() : http;
}

QStringList AddressList::MatchTypedAddress(const QString& typed) const {
    if (typed.isEmpty()) return {};
    QString prefix = SchemePrefix(typed);
    int found = FindString(prefix + typed);
    if (found < 0 && !(prefix + typed).contains(QLatin1String("www."), ci)) {
        prefix += QLatin1String("www.");
        found = FindString(prefix + typed);
    }
    if (found < 0) return {};
    QStringList matches;
    AppendStartingWith(prefix + typed, matches);
    AppendStartingWith(prefix + QLatin1String("www.") + typed, matches);
    return matches;
}

void AddressList::AppendStartingWith(const QString& start, QStringList& out) const {
    for (const QString& url : m_urls)
        // An address can begin with both texts ("w" and "www.w"); it is offered once.
        if (url.startsWith(start, ci) && !out.contains(url)) out.append(url);
}
