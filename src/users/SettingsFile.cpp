#include "users/SettingsFile.h"

#include <algorithm>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/Errors.h"
#include "core/IniValues.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "core/StoredNames.h"
#include "links/LinkIds.h"
#include "users/UserNames.h"

using namespace core;
using namespace stored;

namespace SettingsFile {
namespace {

// [General] EscapedNames=True: the entry names of the user's sections are escaped (EscapeName).

// The blanks profile readers take off both ends of a value.
bool isBlank(QChar c) {
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\r' || u == '\n' || u == '\v' || u == '\f' || u == 0x1A;
}

struct Line {
    QString section, name, value;
    bool blankAfter;
};

// Every value of a store key, in store order, each text whole (the enumeration trims).
QList<QPair<QString, QString>> storedValues(const QString& key) {
    QList<QPair<QString, QString>> out;
    QStringList names, values;
    EnumValues(QStringLiteral("Software\\") + AppKeyName() + QLatin1Char('\\') + key, names, values, 200);
    for (int i = 0; i < names.size(); ++i) {
        QString whole = GetValue(key, names[i]);
        if (whole.isEmpty()) whole = values[i];
        out.append({names[i], whole});
    }
    return out;
}

QString fileName(const QString& path) {
    return QStringLiteral("\"") + QFileInfo(path).fileName() + QLatin1Char('"');
}

} // namespace

QString QuoteValue(const QString& value) {
    QString v = value;
    for (QChar& c : v)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0)) c = QLatin1Char(' ');
    const bool blankEnd = !v.isEmpty() && (isBlank(v.front()) || isBlank(v.back()));
    const bool quoted = v.size() >= 2 && v.front() == QLatin1Char('"') && v.back() == QLatin1Char('"');
    return blankEnd || quoted ? QLatin1Char('"') + v + QLatin1Char('"') : v;
}

QString UnquoteValue(const QString& value) {
    if (value.size() >= 2 && value.front() == QLatin1Char('"') && value.back() == QLatin1Char('"'))
        return value.mid(1, value.size() - 2);
    return value;
}

namespace {

// Characters an entry name cannot hold as it is: "=" ends the name, "[" and ";" at its start make a
// section header or a comment; "%" is the escape itself.
bool escapedInName(QChar c) {
    return c == QLatin1Char('%') || c == QLatin1Char('=') || c == QLatin1Char('[') || c == QLatin1Char(']') ||
           c == QLatin1Char(';') || c.unicode() < 0x20 || c.unicode() == 0x7F;
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    return -1;
}

} // namespace

bool FitsAsName(const QString& name) {
    if (name.startsWith(QLatin1Char('[')) || name.startsWith(QLatin1Char(';'))) return false;
    for (const QChar c : name)
        if (c == QLatin1Char('=') || c.unicode() < 0x20 || c.unicode() == 0x7F) return false;
    return true;
}

QString EscapeName(const QString& name) {
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        if (escapedInName(c))
            out += QStringLiteral("%%1").arg(int(c.unicode()), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

QString UnescapeName(const QString& name) {
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const bool escape = name[i] == QLatin1Char('%') && i + 2 < name.size();
        const int high = escape ? hexDigit(name[i + 1]) : -1;
        const int low = high >= 0 ? hexDigit(name[i + 2]) : -1;
        const QChar decoded = low >= 0 ? QChar(char16_t(high * 16 + low)) : QChar();
        // Only what EscapeName writes is read back; anything else stays as it is.
        if (low >= 0 && decoded.unicode() != 0 && escapedInName(decoded)) {
            out += decoded;
            i += 2;
        } else {
            out += name[i];
        }
    }
    return out;
}

double VersionNumber(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    QString number;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) number += t[i++];
    while (i < t.size() && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'))
        number += t[i++];
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        number += t[i++];
        while (i < t.size() && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'))
            number += t[i++];
    }
    bool ok = false;
    const double n = number.toDouble(&ok);
    return ok ? n : 0;
}

IniFile MakeExport(const QString& user) {
    QList<Line> lines;
    lines.append({kGeneral, general::kVersion.name, AppVersion(), false});
    // The password record and the user's own values are each followed by an empty line.
    lines.append({kUsers, user, QuoteValue(GetValue(kUsers, user)), true});
    // A Link's id names its web data on this computer, which does not travel with the file.
    for (const auto& [name, text] : storedValues(user))
        if (!LinkIds::IsIdValueName(name)) lines.append({user, name, QuoteValue(text), true});
    int url = 0;
    for (const auto& entry : storedValues(UserKey(user, kUrlsKeySuffix)))
        lines.append({UserKey(user, kUrlsKeySuffix), kTypedUrlPrefix + QString::number(url++),
                      QuoteValue(entry.second), false});
    for (QLatin1String suffix : {kBookmarksKeySuffix, kHistoryKeySuffix, kLinksBarKeySuffix})
        for (const auto& [name, text] : storedValues(UserKey(user, suffix)))
            lines.append({UserKey(user, suffix), name, QuoteValue(text), false});

    // Entry names are page titles and the like: one that a settings file cannot hold as it is
    // ("a=b", "[News]", "; x") makes this file one with escaped names, which General says.
    if (std::any_of(lines.begin() + 2, lines.end(),
                    [](const Line& line) { return !FitsAsName(line.name); })) {
        for (Line& line : lines)
            if (line.section != kGeneral && line.section != kUsers) line.name = EscapeName(line.name);
        lines.insert(1, {kGeneral, general::kEscapedNames.name, BoolText(true), false});
    }

    // Written in one go (entry by entry would read the growing document once per entry), then
    // read back: a name that the file cannot hold as it is shows up as a difference.
    QString text;
    const QString* section = nullptr;
    for (const Line& line : lines) {
        if (!section || *section != line.section) {
            text += QLatin1Char('[') + line.section + QStringLiteral("]\r\n");
            section = &line.section;
        }
        text += line.name + QLatin1Char('=') + line.value + QStringLiteral("\r\n");
        // The profile functions drop a value's leading blanks, the CR LF of an empty value too.
        if (line.blankAfter && !line.value.isEmpty()) text += QStringLiteral("\r\n");
    }
    QByteArray bytes;
    // The code page when everything fits, as every reader of these files expects; otherwise
    // UTF-8 with its mark rather than losing a character.
    if (!CodePage::Encode(text, &bytes)) bytes = QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    IniFile ini;
    ini.Parse(bytes);

    qsizetype next = 0;
    while (next < lines.size()) {
        const QString& name = lines[next].section;
        const QList<IniFile::Entry> entries = ini.GetSection(name);
        for (const IniFile::Entry& entry : entries) {
            const Line* expected =
                next < lines.size() && lines[next].section == name ? &lines[next] : nullptr;
            if (!expected || entry.name != expected->name || entry.value != expected->value)
                throw BgError(
                    kErrIniWrite,
                    QStringLiteral("The value \"%1\" of \"%2\" cannot be written to a settings file.")
                        .arg(expected ? expected->name : entry.name, name));
            ++next;
        }
        if (next < lines.size() && lines[next].section == name)
            throw BgError(kErrIniWrite,
                          QStringLiteral("The value \"%1\" of \"%2\" cannot be written to a settings file.")
                              .arg(lines[next].name, name));
    }
    return ini;
}

ReadResult ReadBytes(const QByteArray& bytes) {
    ReadResult result;
    const bool utf16 = bytes.startsWith("\xFF\xFE");
    // Text files hold no NUL; UTF-16 text has one in every other byte.
    if (!utf16 && bytes.contains('\0')) {
        result.problem = Problem::NotSettings;
        return result;
    }

    IniFile ini;
    ini.Parse(bytes);
    if (ini.Incomplete()) { // far more lines than any settings file has
        result.problem = Problem::NotSettings;
        return result;
    }
    result.version =
        ini.GetString(kGeneral, general::kVersion.name, QLatin1String(general::kVersion.byDefault));
    if (!(VersionNumber(result.version) > 85)) {
        result.problem = Problem::Incompatible;
        return result;
    }
    const QList<IniFile::Entry> users = ini.GetSection(kUsers);
    if (users.isEmpty()) {
        result.problem = Problem::NoUser;
        return result;
    }
    ImportData& data = result.data;
    data.userName = users.first().name;
    if (!UserNames::Usable(data.userName)) {
        result.problem = Problem::BadUserName;
        return result;
    }
    data.storedPassword = UnquoteValue(users.first().value);
    if (data.storedPassword.trimmed().isEmpty()) {
        result.problem = Problem::NoPassword;
        return result;
    }

    // Files written before names were escaped (and by other tools) have the names as they are.
    const bool escaped = CBool(
        ini.GetString(kGeneral, general::kEscapedNames.name, BoolText(general::kEscapedNames.byDefault)));
    QStringList keys{data.userName};
    for (const char* suffix : kListKeySuffixes)
        keys << data.userName + QLatin1String(suffix);
    for (const QString& key : keys) {
        ImportSection section{key, {}};
        for (const IniFile::Entry& entry : ini.GetSection(key)) {
            if (entry.name.isEmpty()) continue; // "=text" names no value
            const QString name = escaped ? UnescapeName(entry.name) : entry.name;
            // An imported Link starts with web data of its own, never with another Link's.
            if (key == data.userName && LinkIds::IsIdValueName(name)) continue;
            section.entries.append({name, UnquoteValue(entry.value)});
        }
        data.sections.append(std::move(section));
    }
    return result;
}

ReadResult ReadFile(const QString& path) {
    ReadResult result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.problem = Problem::Missing;
        return result;
    }
    if (!info.isFile()) {
        result.problem = Problem::Unreadable;
        result.reason = QStringLiteral("it is not a file");
        return result;
    }
    if (info.size() > IniFile::kMaxFileSize) {
        result.problem = Problem::TooLarge;
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.problem = Problem::Unreadable;
        result.reason = file.errorString();
        return result;
    }
    // The file may grow after it was looked at; never read more than the limit.
    const QByteArray bytes = file.read(IniFile::kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        result.problem = Problem::Unreadable;
        result.reason = file.errorString();
        return result;
    }
    if (bytes.size() > IniFile::kMaxFileSize) {
        result.problem = Problem::TooLarge;
        return result;
    }
    return ReadBytes(bytes);
}

QString ProblemText(const ReadResult& result, const QString& path) {
    const QString file = fileName(path);
    const QString end = QStringLiteral("\r\r");
    switch (result.problem) {
    case Problem::None:
    case Problem::Incompatible:
        return QString();
    case Problem::Missing:
        return QStringLiteral("File not found") + end;
    case Problem::Unreadable:
        return QStringLiteral("The file ") + file + QStringLiteral(" cannot be read: ") + result.reason +
               QLatin1Char('.') + end;
    case Problem::TooLarge:
        return QStringLiteral("The file ") + file +
               QStringLiteral(" is too large to be a settings file (more than 10 MB).") + end;
    case Problem::NotSettings:
        return QStringLiteral("The file ") + file + QStringLiteral(" is not a settings file.") + end;
    case Problem::NoUser:
        return QStringLiteral("The file ") + file + QStringLiteral(" holds no user settings.") + end;
    case Problem::BadUserName:
        return QStringLiteral("The user name in the file ") + file + QStringLiteral(" cannot be used. ") +
               UserNames::Problem(result.data.userName) + end;
    case Problem::NoPassword:
        return QStringLiteral("The file ") + file + QStringLiteral(" holds no password for user '") +
               result.data.userName + QStringLiteral("'. The file is damaged.") + end;
    }
    return QString();
}

void Apply(const ImportData& data, bool newUser) {
    StoreTransaction transaction;
    if (newUser)
        SaveValue(kGeneral, general::kUserCount.name,
                  QString::number(ReadInt(kGeneral, general::kUserCount) + 1));
    SaveValue(kUsers, data.userName, data.storedPassword);
    // The Links the store held go, and with their ids their web data at the next start; the
    // imported ones get new ids then.
    for (const auto& [name, text] : storedValues(data.userName))
        if (LinkIds::IsIdValueName(name)) DeleteValue(data.userName, name);
    for (const ImportSection& section : data.sections)
        for (const IniFile::Entry& entry : section.entries)
            SaveValue(section.key, entry.name, entry.value);
    if (!transaction.Commit())
        throw BgError(ErrNo::NotSaved, QStringLiteral("The settings of the file could not be imported: ") +
                                           SettingsStore::Current()->FailureText() +
                                           QStringLiteral(". Nothing was imported."));
}

} // namespace SettingsFile
