#include "users/SearchEngines.h"

#include <QUrl>

#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "core/StoredNames.h"

using namespace core;

namespace SearchEngines {
namespace {

using stored::user::kSearchEngineCount;
const QString kCount = kSearchEngineCount.name;
const QString kName = stored::user::kSearchEngineName;
const QString kUrl = stored::user::kSearchEngineUrl;
const QString kWords = QStringLiteral("%s");

// The stored names of the first search services, and the engines that stand for them now.
struct Legacy {
    const char* choice;
    const char* engine;
};
constexpr Legacy kLegacy[] = {{"Msn", "Bing"}, {"Google", "Google"}, {"Yahoo", "Yahoo"}};

} // namespace

QList<SearchEngine> Defaults() {
    // Each engine's own documented search address.
    return {
        {QStringLiteral("Bing"), QStringLiteral("https://www.bing.com/search?q=%s")},
        {QStringLiteral("Google"), QStringLiteral("https://www.google.com/search?q=%s")},
        {QStringLiteral("Yahoo"), QStringLiteral("https://search.yahoo.com/search?p=%s")},
    };
}

QList<SearchEngine> Load(const QString& user) {
    const int count = user.isEmpty() ? 0 : ReadInt(user, kSearchEngineCount);
    if (count <= 0) return Defaults();
    QList<SearchEngine> engines;
    for (int n = 1; n <= count; ++n) {
        const SearchEngine engine{GetValue(user, kName + QString::number(n)).trimmed(),
                                  GetValue(user, kUrl + QString::number(n)).trimmed()};
        // A value broken outside the program leaves that engine out, not the list.
        if (CheckQueryUrl(engine.queryUrl).isEmpty() && !engine.name.isEmpty()) engines.append(engine);
    }
    return engines.isEmpty() ? Defaults() : engines;
}

void Save(const QString& user, const QList<SearchEngine>& engines) {
    if (user.isEmpty()) return;
    StoreTransaction transaction;
    const int old = ReadInt(user, kSearchEngineCount);
    for (int n = 1; n <= old; ++n) {
        DeleteValue(user, kName + QString::number(n));
        DeleteValue(user, kUrl + QString::number(n));
    }
    if (engines == Defaults() || engines.isEmpty()) {
        DeleteValue(user, kCount);
    } else {
        SaveValue(user, kCount, QString::number(engines.size()));
        for (int n = 1; n <= int(engines.size()); ++n) {
            SaveValue(user, kName + QString::number(n), engines[n - 1].name);
            SaveValue(user, kUrl + QString::number(n), engines[n - 1].queryUrl);
        }
    }
    transaction.Commit();
}

QString ChoiceName(const SearchEngine& engine) {
    for (const Legacy& l : kLegacy)
        if (engine.name.compare(QLatin1String(l.engine), Qt::CaseInsensitive) == 0)
            return QLatin1String(l.choice);
    return engine.name;
}

QString QueryFor(const SearchEngine& engine, const QString& words) {
    QString query = engine.queryUrl;
    return query.replace(kWords, QString::fromLatin1(QUrl::toPercentEncoding(words.trimmed())));
}

QString CheckName(const QString& name, const QList<SearchEngine>& others) {
    const QString n = name.trimmed();
    if (n.isEmpty()) return QStringLiteral("Please enter a name for the search engine.");
    for (const SearchEngine& other : others)
        if (other.name.compare(n, Qt::CaseInsensitive) == 0)
            return QStringLiteral("There is already a search engine named \"%1\".").arg(other.name);
    return {};
}

QString CheckQueryUrl(const QString& queryUrl) {
    const QString text = queryUrl.trimmed();
    const QUrl url(QString(text).replace(kWords, QStringLiteral("words")), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!text.contains(kWords) || !url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return QStringLiteral(
            "Please enter the web address of a search, with %s where the searched words go, "
            "for example https://www.example.com/search?q=%s");
    return {};
}

} // namespace SearchEngines
