#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineSettings>

#include "browse/engine/WebEnginePane.h"
#include "browse/SearchPane.h"

// Kept apart from the pane's logic: the one place where the search pane touches the engine.

void SearchPane::RunEngineScript(BrowserPane& pane, const QString& script) {
    auto* engine = qobject_cast<WebEnginePane*>(&pane);
    if (!engine || !engine->Page()) return;
    engine->Page()->runJavaScript(script, QWebEngineScript::ApplicationWorld);
}

void SearchPane::LetLocalPagesLeave(BrowserPane& pane) {
    // The engine keeps a page loaded from a file from going to the network, and so would stop
    // the local search form. Only this pane's page gets leave, and only its own local pages
    // (which hold no script) are ever loaded from files here.
    auto* engine = qobject_cast<WebEnginePane*>(&pane);
    if (!engine || !engine->Page()) return;
    engine->Page()->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
}
