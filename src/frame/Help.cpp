#include "frame/Help.h"

#include "browse/engine/ProgramPages.h"

namespace Help {

namespace {

struct Topic {
    const char* names; // topic names separated by "|", compared without letter case
    const char* page;  // below the help's contents page
};

const Topic kTopics[] = {
    {"contents|index|search", ""},
    {"links|addeditlink|autologin|login form", "links.html"},
    {"popups|popup|pop-ups", "popups.html"},
    {"history|bookmarks|bookmark|masterhistory", "history.html"},
    {"newuser", "account.html#new-user"},
    {"login|logout|lock|changepw|deleteuser|account|password", "account.html"},
    {"browsing|downloads|signin|certificates|permissions|search|printing|zoom", "browsing.html"},
    {"options", "options.html"},
    {"keys|keyboard|shortcuts", "keys.html"},
    // The import's compatibility message names topic 59.
    {"59|import compatibility", "transfer.html#compatibility"},
    {"transfer|export|import", "transfer.html"},
};

} // namespace

QString TopicUrl(const QString& topic) {
    const QString key = topic.trimmed().toLower();
    const QString base = QLatin1String(ProgramPages::kHelpUrl);
    if (key.isEmpty()) return base;
    for (const Topic& t : kTopics) {
        const QStringList names = QString::fromLatin1(t.names).split(QLatin1Char('|'));
        if (names.contains(key)) return base + QLatin1String(t.page);
    }
    return base;
}

} // namespace Help
