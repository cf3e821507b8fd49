#include "frame/CommandLine.h"

#include <cstdio>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QUrl>

#include "core/AppState.h"
#include "frame/AboutBox.h"

namespace {

// The toolkit's own display options: QApplication takes them out of the command line itself.
const char* const kToolkitValueOptions[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
    "style",       "stylesheet",         "qmljsdebugger", "title",   "name"};
const char* const kToolkitFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
// What follows it goes to the engine.
const QString kEngineArguments = QStringLiteral("--webEngineArgs");

QString HelpText(const QString& program) {
    return QStringLiteral("Usage: %1 [options] [address...]\n"
                          "%2, a web browser for people who share one computer account: your sites are\n"
                          "Links in a sidebar that log in for you, behind your master password.\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help     Shows this help and ends.\n"
                          "  -v, --version  Shows the version and ends.\n"
                          "\n"
                          "Arguments:\n"
                          "  address        Web addresses or files to open: in the copy of %2 that\n"
                          "                 is running already, or in this one after you have logged in.\n")
        .arg(program, QString::fromLatin1(ProductName()));
}

bool Openable(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                             scheme == QLatin1String("file"));
}

} // namespace

QString CommandLine::AddressFor(const QString& argument, const QString& workingFolder) {
    const QString text = argument.trimmed();
    if (text.isEmpty()) return {};
    // An existing file, absolute or relative to where the program was started.
    const QFileInfo file(QFileInfo(text).isAbsolute() ? text : workingFolder + QLatin1Char('/') + text);
    if (file.exists() && !text.contains(QLatin1String("://")))
        return QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded);
    const QUrl url = QUrl::fromUserInput(text);
    return Openable(url) ? url.toString(QUrl::FullyEncoded) : QString();
}

CommandLine CommandLine::Parse(const QStringList& arguments, const QString& workingFolder) {
    CommandLine out;
    QStringList ours = arguments;
    const qsizetype engine = ours.indexOf(kEngineArguments);
    if (engine >= 0) ours = ours.mid(0, engine);
    const QString program =
        ours.isEmpty() ? QStringLiteral("bramblegate") : QFileInfo(ours.first()).fileName();

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    for (const char* name : kToolkitValueOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    for (const char* name : kToolkitFlags)
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));

    if (!parser.parse(ours)) {
        out.m_action = Action::Error;
        out.m_text = program + QStringLiteral(": ") + parser.errorText() +
                     QStringLiteral("\nTry '%1 --help' for what it understands.\n").arg(program);
        return out;
    }
    if (parser.isSet(help)) {
        out.m_action = Action::Help;
        out.m_text = HelpText(program);
        return out;
    }
    if (parser.isSet(version)) {
        out.m_action = Action::Version;
        out.m_text = QString::fromLatin1(ProductName()) + QLatin1Char(' ') + AboutBox::VersionText() +
                     QLatin1Char('\n');
        return out;
    }
    for (const QString& argument : parser.positionalArguments()) {
        const QString address = AddressFor(argument, workingFolder);
        if (address.isEmpty()) {
            out.m_action = Action::Error;
            out.m_text =
                program + QStringLiteral(": \"%1\" is neither a web address nor a file.\n").arg(argument);
            return out;
        }
        out.m_addresses << address;
    }
    return out;
}

int CommandLine::Answer() const {
    if (m_action == Action::Run) return 0;
    const QByteArray text = m_text.toLocal8Bit();
    std::FILE* stream = m_action == Action::Error ? stderr : stdout;
    std::fwrite(text.constData(), 1, size_t(text.size()), stream);
    std::fflush(stream);
    return ExitCode();
}
