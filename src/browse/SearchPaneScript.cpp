#include <QWebEnginePage>
#include <QWebEngineScript>

#include "browse/SearchPane.h"
#include "browse/engine/WebEnginePane.h"

// Kept apart from the pane's logic: the one place where the search pane touches the engine.
void SearchPane::RunEngineScript(BrowserPane& pane, const QString& script) {
    auto* engine = qobject_cast<WebEnginePane*>(&pane);
    if (!engine || !engine->page()) return;
    engine->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld);
}
