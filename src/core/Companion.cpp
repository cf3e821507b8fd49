#include "core/Companion.h"

#include <QFileInfo>
#include <QProcess>

#include "core/AppPaths.h"
#include "core/Log.h"

namespace Companion {

namespace {
QString g_folder;
}

void SetFolder(const QString& folder) {
    g_folder = folder;
}

QString ProgramPath() {
    if (g_folder.isEmpty()) return AppPaths::HelperProgram(QLatin1String(kProgramName));
    return g_folder + QLatin1Char('/') + QLatin1String(kProgramName);
}

bool Start(const QString& arguments) {
    const QString path = ProgramPath();
    const QFileInfo info(path);
    if (!info.isFile() || !info.isExecutable()) return false;
    QProcess process;
    process.setProgram(path);
    process.setArguments(QProcess::splitCommand(arguments));
    process.setWorkingDirectory(info.absolutePath());
    // Nothing to show and nothing to read: its output goes nowhere.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    const bool started = process.startDetached();
    core::WriteLog(QStringLiteral("Companion ") +
                   (started ? QStringLiteral("started ") : QStringLiteral("not started ")) +
                   arguments.trimmed());
    return started;
}

} // namespace Companion
