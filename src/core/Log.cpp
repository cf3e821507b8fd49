#include "core/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/AppPaths.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/MessageBox.h"

namespace core {
namespace {

bool writeLine(const QString& fileName, const QString& message) {
    if (!App().DiagnosticMode) return false;
    const QString line =
        Clock::Now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral("  ") + message;
    return WriteFile(LogFolder() + QLatin1Char('/') + fileName, line, QStringLiteral("A"));
}

} // namespace

QString LogFolder() {
    return AppPaths::DataFolder() + QStringLiteral("/Log");
}

void WriteLog(const QString& message) {
    writeLine(QStringLiteral("Log") + Clock::Now().toString(QStringLiteral("yyMMdd")) +
                  QStringLiteral(".Log"),
              message);
}

void WriteSignInLog(const QString& message) {
    writeLine(QStringLiteral("SignIn.Log"), message);
}

void WriteErrorLog(const QString& message) {
    writeLine(QStringLiteral("Error.Log"), message);
}

bool WriteFile(const QString& file, const QString& text, const QString& mode) {
    QString path = file;
    if (!path.contains(QLatin1Char('/')) && !path.contains(QLatin1Char('\\')))
        path = AppPaths::DataFolder() + QLatin1Char('/') + path;

    QIODevice::OpenMode openMode;
    const QString m = mode.toUpper();
    if (m == QLatin1String("O")) {
        openMode = QIODevice::WriteOnly | QIODevice::Truncate;
    } else if (m == QLatin1String("A")) {
        openMode = QIODevice::WriteOnly | QIODevice::Append;
    } else {
        MsgBox(QStringLiteral("Invalid argument for sMode"), msgbox::OKOnly, msgbox::NoIcon,
               QStringLiteral("WriteFile Function"));
        return false;
    }
    // The folder is not created here: a missing Log folder means the line is lost.
    if (!QDir(QFileInfo(path).absolutePath()).exists()) return false;
    QFile out(path);
    if (!out.open(openMode)) return false;
    const QByteArray bytes = (text + QStringLiteral("\r\n")).toUtf8();
    return out.write(bytes) == bytes.size();
}

} // namespace core
