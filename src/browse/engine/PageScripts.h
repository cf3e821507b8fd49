#pragma once

#include <QString>
#include <QStringList>
#include <QWebEngineScript>

class QWebEnginePage;

// The program's own scripts in a pane's page (the *.js of engine.qrc): those every new document
// gets before its own, the snapshot, action and watch functions they define, and the secrets that
// tell the program's console lines from the page's.
namespace PageScripts {

// The isolated world the program's scripts run in; the page cannot see into it.
constexpr quint32 kWorld = QWebEngineScript::ApplicationWorld;

// A script of the engine's resources; the program cannot run without them.
QString Resource(const QString& name);
// Marks the commit and watch scripts' console lines; a secret of this process.
const QString& Nonce();
// Marks the lines of the frames' error script, which runs in the page's own world.
const QString& FrameErrorNonce();

// Puts the scripts every new document of `page` gets before its own into it.
void Install(QWebEnginePage& page);

// The page functions, whole (for a document the engine made without the scripts above).
const QString& SnapshotScript();
const QString& WatchScript();
const QString& ActionsScript();

// A call of page function `tool` that answers ToolMissing() where the document lacks it.
QString ToolCall(const char* tool, const QString& arguments);
const QString& ToolMissing();

// A JavaScript array literal of these texts.
QString JsArray(const QStringList& texts);

} // namespace PageScripts
