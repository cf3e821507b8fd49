#include "browse/DownloadList.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include "core/AppState.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "core/StoredNames.h"

using namespace core;

DownloadList::DownloadList(QObject* parent) : QObject(parent) {}

void DownloadList::Add(Download* download) {
    m_items.append(download);
    connect(download, &Download::Ended, this, [this, download] {
        if (download->CurrentState() == Download::State::Completed) emit Completed(download);
    });
    emit Added(download);
}

QList<Download*> DownloadList::Items() const {
    QList<Download*> out;
    for (const QPointer<Download>& d : m_items)
        if (d) out.append(d);
    return out;
}

QString DownloadList::StartFolder() {
    const QString stored =
        App().CurrentUser.isEmpty() ? QString() : GetValue(App().CurrentUser, stored::user::kDownloadFolder);
    if (!stored.isEmpty() && QFileInfo(stored).isDir()) return stored;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    // The desktop's download folder is made when it is not there yet, as browsers do.
    if (folder.isEmpty() || !QDir().mkpath(folder)) folder = QDir::homePath();
    return folder;
}

QString DownloadList::UniqueName(const QString& folder, const QString& name) {
    // A name from a site is only a name: no folders, nothing hidden, nothing the file systems refuse.
    QString clean = QFileInfo(name).fileName();
    clean.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]")), QStringLiteral("_"));
    while (clean.startsWith(QLatin1Char('.')))
        clean.remove(0, 1);
    if (clean.trimmed().isEmpty()) clean = QStringLiteral("download");
    const QDir dir(folder);
    if (!QFileInfo::exists(dir.filePath(clean))) return clean;
    // "report.v2.pdf" becomes "report.v2 (1).pdf", "archive.tar.gz" "archive (1).tar.gz".
    const QFileInfo info(clean);
    QString base = info.completeBaseName();
    QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    if (base.endsWith(QLatin1String(".tar"), Qt::CaseInsensitive)) {
        base.chop(4);
        suffix.prepend(QLatin1String(".tar"));
    }
    for (int n = 1;; ++n) {
        const QString candidate = QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffix);
        if (!QFileInfo::exists(dir.filePath(candidate))) return candidate;
    }
}

QString DownloadList::AskWhereToSave(const QString& suggestedName, QWidget* parent) {
    // A page must not put a file dialog over the lock.
    if (App().Locked || App().Unloading) return {};
    const QString folder = StartFolder();
    filedialogs::Request request;
    request.save = true;
    request.title = QStringLiteral("Save File");
    request.folder = folder;
    request.fileName = UniqueName(folder, suggestedName);
    request.filter = QStringLiteral("All files (*)|*");
    request.confirmOverwrite = true;
    const QString path = filedialogs::Ask(request, parent);
    if (path.isEmpty()) return {};
    if (!App().CurrentUser.isEmpty())
        SaveValue(App().CurrentUser, stored::user::kDownloadFolder, QFileInfo(path).absolutePath());
    return path;
}
