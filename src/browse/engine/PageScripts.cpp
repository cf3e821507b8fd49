#include "browse/engine/PageScripts.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUuid>
#include <QWebEnginePage>
#include <QWebEngineScriptCollection>

#include "browse/engine/ControlWords.h"

// (Outside any namespace: the resource's initialiser is a global function.)
static void InitEngineResources() {
    Q_INIT_RESOURCE(engine);
}

namespace PageScripts {

namespace {

const QString& FrameErrorScript() {
    static const QString source = Resource(QStringLiteral("FrameErrors.js"))
                                      .replace(QLatin1String("BG_FRAME_NONCE"), FrameErrorNonce());
    return source;
}

const QString& CommitScript() {
    static const QString source =
        Resource(QStringLiteral("PageCommit.js")).replace(QLatin1String("BG_NONCE"), Nonce());
    return source;
}

QString JsString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// The page functions, put into the program's world of every new document, so that each call
// is a line to run rather than a whole script to compile.
const QString& ToolsScript() {
    static const QString source = QStringLiteral("window.__bgSnapshot = ") + SnapshotScript() +
                                  QStringLiteral(";\nwindow.__bgActions = ") + ActionsScript() +
                                  QStringLiteral(";\nwindow.__bgWatchPage = ") + WatchScript() +
                                  QStringLiteral(";\n");
    return source;
}

} // namespace

QString Resource(const QString& name) {
    static const bool init = (InitEngineResources(), true);
    Q_UNUSED(init);
    QFile file(QStringLiteral(":/engine/") + name);
    if (!file.open(QIODevice::ReadOnly)) qFatal("engine resource %s is missing", qPrintable(name));
    return QString::fromUtf8(file.readAll());
}

const QString& Nonce() {
    static const QString nonce = QStringLiteral("bg") + QUuid::createUuid().toString(QUuid::Id128) +
                                 QUuid::createUuid().toString(QUuid::Id128);
    return nonce;
}

// That script runs in the page's world, where a page can read it, so it has a secret of its
// own: its lines tell nothing but a frame's error.
const QString& FrameErrorNonce() {
    static const QString nonce = QStringLiteral("bgf") + QUuid::createUuid().toString(QUuid::Id128);
    return nonce;
}

void Install(QWebEnginePage& page) {
    const auto add = [&page](const char* name, quint32 world, bool subFrames, const QString& source) {
        QWebEngineScript script;
        script.setName(QLatin1String(name));
        script.setInjectionPoint(QWebEngineScript::DocumentCreation);
        script.setWorldId(world);
        script.setRunsOnSubFrames(subFrames);
        script.setSourceCode(source);
        page.scripts().insert(script);
    };
    add("bgcommit", kWorld, true, CommitScript());
    add("bgtools", kWorld, false, ToolsScript());
    add("bgframeerrors", QWebEngineScript::MainWorld, true, FrameErrorScript());
}

// The snapshot function, called with the generation and the texts of the pane's Link; the
// words the login rules look for go with it.
const QString& SnapshotScript() {
    static const QString source = QStringLiteral("(function (gen, texts) { return (") +
                                  Resource(QStringLiteral("PageSnapshot.js")).trimmed() +
                                  QStringLiteral(")(gen, {control: ") + JsString(ControlWords::Pattern()) +
                                  QStringLiteral(", markup: ") + JsArray(ControlWords::MarkupWords()) +
                                  QStringLiteral(", loginList: ") + JsString(ControlWords::LoginList()) +
                                  QStringLiteral(", logoutList: ") + JsString(ControlWords::LogoutList()) +
                                  QStringLiteral(", texts: texts || []}); })");
    return source;
}

const QString& WatchScript() {
    static const QString source =
        Resource(QStringLiteral("PageWatch.js")).replace(QLatin1String("BG_NONCE"), Nonce()).trimmed();
    return source;
}

const QString& ActionsScript() {
    static const QString source = Resource(QStringLiteral("PageActions.js")).trimmed();
    return source;
}

QString ToolCall(const char* tool, const QString& arguments) {
    return QStringLiteral("typeof %1 === 'function' ? %1(%2) : '%3'")
        .arg(QLatin1String(tool), arguments, ToolMissing());
}

const QString& ToolMissing() {
    static const QString missing = QStringLiteral("BGMISSING");
    return missing;
}

QString JsArray(const QStringList& texts) {
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(texts)).toJson(QJsonDocument::Compact));
}

} // namespace PageScripts
