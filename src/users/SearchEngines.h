#pragma once

#include <QList>
#include <QString>

// A search engine of the search pane: its name and its query address, with "%s" where the
// searched words go.
struct SearchEngine {
    QString name;
    QString queryUrl;

    bool operator==(const SearchEngine& other) const = default;
};

// Each user's search engines. Until the user changes them they are the three built-in ones
// (Bing, Google, Yahoo); once changed they are stored in the user's key: "SearchEngines" (their
// number), "SearchEngineName<n>" and "SearchEngineURL<n>" for n = 1, 2, ...
//
// The user's SearchChoice names the engine chosen last, in the names it has always had: "Msn"
// stands for Bing, "Google" and "Yahoo" for themselves, and any other engine goes by its name.
namespace SearchEngines {

QList<SearchEngine> Defaults();
QList<SearchEngine> Load(const QString& user);
// Stores the list (all of it, in one store transaction); the built-in list stores nothing.
void Save(const QString& user, const QList<SearchEngine>& engines);

// The SearchChoice value of an engine.
QString ChoiceName(const SearchEngine& engine);

// The address that searches for `words`.
QString QueryFor(const SearchEngine& engine, const QString& words);
// What is wrong with a name or query address the user typed (empty: nothing). `others` are
// the other engines of the list (names are unique without regard to case).
QString CheckName(const QString& name, const QList<SearchEngine>& others);
QString CheckQueryUrl(const QString& queryUrl);

} // namespace SearchEngines
