// bghelper, the companion program of Bramblegate. The main program starts it and never waits
// for it; nothing depends on what it does.
//
//   bghelper /REGSERVER     writes the program's desktop entry and icon for this OS user, so the
//                           desktop's menus offer Bramblegate run from its build folder (an
//                           installed program has its own entry: nothing is written then)
//   bghelper /UNREGSERVER   removes them again
//   bghelper                removes the shortcut files that drags of Link buttons left behind
//                           in the temp folder (a drag that ended abnormally)
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>
#include <unistd.h>

namespace {

constexpr const char* kExecutable = "bramblegate";
constexpr const char* kEntryName = "bramblegate.desktop";
constexpr const char* kIconName = "bramblegate";
// Drag folders younger than this may belong to a drag that is still going on.
constexpr qint64 kStaleSeconds = 3600;
// Real shortcut files are a few hundred bytes.
constexpr qint64 kMaxShortcutSize = 64 * 1024;

QString DataHome() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString EntryPath() {
    return DataHome() + QStringLiteral("/applications/") + QLatin1String(kEntryName);
}

QString IconPath() {
    return DataHome() + QStringLiteral("/icons/hicolor/scalable/apps/") + QLatin1String(kIconName) +
           QStringLiteral(".svg");
}

// A path as an argument of the entry's Exec line: quoted, with the reserved characters escaped.
QString ExecArgument(const QString& path) {
    QString out;
    for (QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    out.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

// Writes a file only when its content changes.
bool WriteIfChanged(const QString& path, const QByteArray& content) {
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content) return true;
    existing.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(content);
    return file.commit();
}

// The installed tree keeps bghelper in libexec/bramblegate and the program in bin.
QString InstalledProgram() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/" BG_BIN_FROM_LIBEXEC "/") + QLatin1String(kExecutable));
}

bool Register() {
    if (QFileInfo(InstalledProgram()).isExecutable()) return true;
    const QString program =
        QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(kExecutable);
    QString entry;
    QTextStream out(&entry);
    out << "[Desktop Entry]\n"
        << "Type=Application\n"
        << "Name=Bramblegate\n"
        << "GenericName=Web Browser\n"
        << "Comment=Your sites as Links, one click away, logged in for you\n"
        << "Exec=" << ExecArgument(program) << " %U\n"
        << "TryExec=" << program << "\n"
        << "Icon=" << kIconName << "\n"
        << "Terminal=false\n"
        << "Categories=Network;WebBrowser;\n"
        << "StartupNotify=true\n";
    out.flush();
    QFile icon(QStringLiteral(":/bghelper/bramblegate.svg"));
    if (!icon.open(QIODevice::ReadOnly)) return false;
    const bool iconWritten = WriteIfChanged(IconPath(), icon.readAll());
    return WriteIfChanged(EntryPath(), entry.toUtf8()) && iconWritten;
}

bool Unregister() {
    bool ok = true;
    for (const QString& path : {EntryPath(), IconPath()})
        if (QFileInfo::exists(path) && !QFile::remove(path)) ok = false;
    return ok;
}

// A drag folder of this OS user that holds nothing but shortcut files.
bool IsStaleDragFolder(const QFileInfo& folder) {
    if (folder.isSymLink() || !folder.isDir() || folder.ownerId() != uint(getuid())) return false;
    if (folder.lastModified().secsTo(QDateTime::currentDateTime()) < kStaleSeconds) return false;
    const QFileInfoList entries =
        QDir(folder.filePath())
            .entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink() || !entry.isFile() || entry.size() > kMaxShortcutSize ||
            !entry.fileName().endsWith(QLatin1String(".url"), Qt::CaseInsensitive))
            return false;
    }
    return true;
}

int TidyDragFolders() {
    QDir temp(QDir::tempPath());
    int removed = 0;
    const QFileInfoList folders =
        temp.entryInfoList({QStringLiteral("bramblegate-drag-*")},
                           QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& folder : folders) {
        if (!IsStaleDragFolder(folder)) continue;
        QDir dir(folder.filePath());
        for (const QFileInfo& file : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
            QFile::remove(file.filePath());
        if (temp.rmdir(folder.fileName())) ++removed;
    }
    return removed;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("bghelper"));
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        TidyDragFolders();
        return 0;
    }
    const QString command = args.first().toLower();
    if (command == QLatin1String("/regserver") || command == QLatin1String("--register"))
        return Register() ? 0 : 1;
    if (command == QLatin1String("/unregserver") || command == QLatin1String("--unregister"))
        return Unregister() ? 0 : 1;
    QTextStream(stderr) << "Usage: bghelper [/REGSERVER | /UNREGSERVER]\n";
    return command == QLatin1String("--help") || command == QLatin1String("/?") ? 0 : 2;
}
