#pragma once

#include <functional>
#include <ostream>
#include <QObject>
#include <QStringList>

#include "browse/engine/BrowserPane.h"
#include "support/TestSupport.h"

// Records the events a pane raises, as text, in order:
//   "BeforeNavigate2 top <url>" / "BeforeNavigate2 frame <url>", "DownloadBegin",
//   "NavigateComplete2 top|frame <url>", "DownloadComplete", "DocumentComplete top|frame <url>",
//   "NavigateError <code> <url>", "NewWindow2 user|script <url>", "WindowClosing",
//   "ScriptError <line>".
// Title, progress, status text, lock, command-state and frame script-error events go to `other`.
// Handlers can be hooked in to act inside an event, as the program's handlers do.
class EventLog : public QObject {
public:
    explicit EventLog(BrowserPane* pane);

    QStringList events;
    QStringList other;
    std::function<void(NavigateEvent&)> onBeforeNavigate;
    std::function<void(NewWindowEvent&)> onNewWindow;
    std::function<void(const QString& url)> onTopDocumentComplete;

    void Clear();
    int Count(const QString& prefix) const;
    // Only the top-level events of a load (frames and everything else left out).
    QStringList TopLevel() const;
    // Waits until `prefix` has been recorded `times` times in total.
    bool WaitFor(const QString& prefix, int times = 1, int timeoutMs = 15000) const;
};

// Navigates and waits for the top-level DocumentComplete (clears the log first).
bool LoadAndWait(BrowserPane& pane, EventLog& log, const QString& url, int timeoutMs = 15000);

class WebEnginePane;
// Runs a script in the page's own world and waits for its result, as text.
QString RunScript(WebEnginePane& pane, const QString& script);

// Processes events for ms milliseconds (lets late events and queued actions run).
void Pump(int ms);
