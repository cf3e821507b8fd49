#include "core/Log.h"

#include <QDir>
#include <QFile>

#include "core/AppPaths.h"
#include "core/AppState.h"
#include "core/Clock.h"

namespace core {
namespace {

void writeLine(const QString& fileName, const QString& message) {
    // The folder is not created here: a missing Log folder means the line is lost.
    if (!App().DiagnosticMode || !QDir(LogFolder()).exists()) return;
    QFile out(LogFolder() + QLatin1Char('/') + fileName);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    out.write((Clock::Now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral("  ") + message +
               QStringLiteral("\r\n"))
                  .toUtf8());
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

} // namespace core
