#include "core/IniFile.h"

#include <cerrno>
#include <cstring>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/CodePage.h"

namespace {

// The blanks the profile functions trim: ASCII white space and the old end-of-file mark.
// Not Unicode white space: a value ending in a no-break space keeps it.
bool isBlank(QChar c) {
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\r' || u == '\n' || u == '\v' || u == '\f' || u == 0x1A;
}

QString trimBlanks(QStringView text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin).toString();
}

QString trimLeadingBlanks(const QString& text) {
    qsizetype begin = 0;
    while (begin < text.size() && isBlank(text[begin]))
        ++begin;
    return text.mid(begin);
}

// "[name]" (the closing bracket may be missing, text after it is ignored).
bool parseHeader(const QString& line, QString* name) {
    const QString t = trimBlanks(line);
    if (!t.startsWith(QLatin1Char('['))) return false;
    qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0) close = t.size();
    *name = trimBlanks(QStringView(t).mid(1, close - 1));
    return true;
}

// "name=value"; comments, blank lines and lines without "=" are no entries.
bool parseEntry(const QString& line, QString* name, QString* value) {
    const QString t = trimBlanks(line);
    if (t.isEmpty() || t.startsWith(QLatin1Char(';'))) return false;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq < 0) return false;
    *name = trimBlanks(QStringView(t).left(eq));
    *value = trimBlanks(QStringView(t).mid(eq + 1));
    return true;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString decode16(const char* data, qsizetype size) {
    QString text;
    text.reserve(size / 2);
    for (qsizetype i = 0; i + 1 < size; i += 2)
        text.append(QChar(char16_t(quint8(data[i]) | (quint8(data[i + 1]) << 8))));
    // A lone surrogate is no character: it would not survive the way into the store (UTF-8) and
    // back. It reads as the replacement character, as a broken UTF-8 sequence does.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

} // namespace

QStringList IniFile::SplitLines(const QString& text, qsizetype max) {
    // A line ends at LF (a CR before it belongs to the line end) or at a NUL, which no text
    // value can hold.
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size() && lines.size() < max; ++i) {
        if (i < text.size() && text[i] != QLatin1Char('\n') && text[i] != QChar(0)) continue;
        qsizetype end = i;
        if (end > start && text[end - 1] == QLatin1Char('\r')) --end;
        lines.append(text.mid(start, end - start));
        start = i + 1;
    }
    return lines;
}

void IniFile::Parse(const QByteArray& bytes) {
    m_preamble.clear();
    m_sections.clear();
    m_changed = false;
    m_refused = false;

    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        m_encoding = Encoding::Utf8;
        text = QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    } else if (bytes.startsWith("\xFF\xFE")) {
        m_encoding = Encoding::Utf16;
        text = decode16(bytes.constData() + 2, bytes.size() - 2);
    } else {
        m_encoding = Encoding::Ansi;
        text = CodePage::Decode(bytes);
    }

    QStringList lines = SplitLines(text, qsizetype(kMaxLines) + 2);
    text.clear();
    // The text after the last line break is a line only when it holds something.
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    // No file of the program comes near these; a file that does is not read further (and never
    // saved over), so what it costs stays bounded.
    if (lines.size() > kMaxLines) {
        lines.resize(kMaxLines);
        m_refused = true;
    }

    for (QString& line : lines) {
        QString name;
        if (parseHeader(line, &name)) {
            if (m_sections.size() >= kMaxSections) {
                m_refused = true;
                break;
            }
            m_sections.append(Section{line, name, {}});
        } else if (m_sections.isEmpty()) {
            m_preamble.append(std::move(line));
        } else {
            m_sections.last().lines.append(std::move(line));
        }
    }
}

QByteArray IniFile::Serialize() const {
    QString text;
    auto add = [&text](const QString& line) {
        text += line;
        text += QLatin1String("\r\n");
    };
    for (const QString& line : m_preamble)
        add(line);
    for (const Section& section : m_sections) {
        add(section.header);
        for (const QString& line : section.lines)
            add(line);
    }

    switch (m_encoding) {
    case Encoding::Utf8:
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case Encoding::Utf16: {
        QByteArray out("\xFF\xFE");
        out.reserve(2 + text.size() * 2);
        for (QChar c : text) {
            out.append(char(c.unicode() & 0xFF));
            out.append(char(c.unicode() >> 8));
        }
        return out;
    }
    case Encoding::Ansi:
        break;
    }
    // Writes refuse text the code page cannot hold, so no '?' is ever written.
    return CodePage::EncodeLossy(text);
}

IniFile::Status IniFile::Load(const QString& path) {
    m_preamble.clear();
    m_sections.clear();
    m_encoding = Encoding::Ansi;
    m_refused = false;
    m_changed = false;
    m_error.clear();

    const QFileInfo info(path);
    auto refuse = [&](Status status, const QString& why) {
        m_refused = true;
        m_error = QStringLiteral("The file \"%1\" cannot be read: %2.").arg(path, why);
        return status;
    };
    if (!info.exists()) return Status::Missing;
    if (!info.isFile()) return refuse(Status::NotAFile, QStringLiteral("it is not a file"));
    if (info.size() > kMaxFileSize) return refuse(Status::TooLarge, QStringLiteral("it is too large"));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return refuse(Status::ReadFailed, file.errorString());
    // The size may have changed since it was looked at; never read more than the limit.
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError) return refuse(Status::ReadFailed, file.errorString());
    if (bytes.size() > kMaxFileSize) return refuse(Status::TooLarge, QStringLiteral("it is too large"));
    Parse(bytes);
    return Status::Ok;
}

IniFile::Status IniFile::Save(const QString& path) {
    if (m_refused) return Status::ReadFailed; // never replace a file that could not be read
    m_error.clear();
    QSaveFile file(path);
    auto fail = [&] {
        const int code = errno;
        m_error = QStringLiteral("The file \"%1\" cannot be written: %2").arg(path, file.errorString());
        if (code) m_error += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(code)));
        m_error += QLatin1Char('.');
        file.cancelWriting();
        return Status::WriteFailed;
    };
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) return fail();
    // Owner only, also where it replaces a file that others could read.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes = Serialize();
    if (file.write(bytes) != bytes.size()) return fail();
    if (!file.commit()) return fail();
    m_changed = false;
    return Status::Ok;
}

int IniFile::FindSection(const QString& name) const {
    const QString wanted = trimBlanks(name);
    for (int i = 0; i < m_sections.size(); ++i)
        if (sameName(m_sections[i].name, wanted)) return i;
    return -1;
}

int IniFile::FindKeyLine(const Section& section, const QString& key) const {
    const QString wanted = trimBlanks(key);
    QString name, value;
    for (int i = 0; i < section.lines.size(); ++i)
        if (parseEntry(section.lines[i], &name, &value) && sameName(name, wanted)) return i;
    return -1;
}

bool IniFile::HasSection(const QString& section) const {
    return FindSection(section) >= 0;
}

QString IniFile::GetString(const QString& section, const QString& key, const QString& def) const {
    const int s = FindSection(section);
    if (s < 0) return def;
    const int line = FindKeyLine(m_sections[s], key);
    if (line < 0) return def;
    QString name, value;
    parseEntry(m_sections[s].lines[line], &name, &value);
    // A value in matching quotes comes back without them.
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

QList<IniFile::Entry> IniFile::GetSection(const QString& section) const {
    QList<Entry> entries;
    const int s = FindSection(section);
    if (s < 0) return entries;
    for (const QString& line : m_sections[s].lines) {
        Entry e;
        if (parseEntry(line, &e.name, &e.value)) entries.append(std::move(e));
    }
    return entries;
}

QStringList IniFile::SectionNames() const {
    QStringList names;
    for (const Section& section : m_sections)
        names.append(section.name);
    return names;
}

IniFile::Status IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    m_error.clear();
    const QString sectionName = trimBlanks(section);
    const QString keyName = trimBlanks(key);
    // Names that would read back as something else (another line, a header, a comment).
    auto hasBreak = [](const QString& s) {
        return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r')) || s.contains(QChar(0));
    };
    if (hasBreak(sectionName) || hasBreak(keyName) || sectionName.contains(QLatin1Char(']')) ||
        keyName.startsWith(QLatin1Char('[')) || keyName.startsWith(QLatin1Char(';')) ||
        keyName.contains(QLatin1Char('='))) {
        m_error =
            QStringLiteral("The name \"%1\" cannot be written to this file.")
                .arg(hasBreak(sectionName) || sectionName.contains(QLatin1Char(']')) ? sectionName : keyName);
        return Status::BadName;
    }

    if (value.isNull()) {
        const int s = FindSection(sectionName);
        if (s < 0) return Status::Ok;
        const int line = FindKeyLine(m_sections[s], keyName);
        if (line >= 0) {
            m_sections[s].lines.removeAt(line);
            m_changed = true;
        }
        return Status::Ok;
    }

    const QString text = trimLeadingBlanks(value);
    for (const QString* part : {&sectionName, &keyName, &text}) {
        QByteArray unused;
        QChar bad;
        if (m_encoding == Encoding::Ansi && !CodePage::Encode(*part, &unused, &bad)) {
            m_error = QStringLiteral("The text for \"%1\" contains the character \"%2\", which cannot be "
                                     "written to this file.")
                          .arg(keyName, QString(bad));
            return Status::NotEncodable;
        }
    }

    int s = FindSection(sectionName);
    if (s < 0) {
        m_sections.append(Section{QLatin1Char('[') + sectionName + QLatin1Char(']'), sectionName, {}});
        s = int(m_sections.size()) - 1;
        m_changed = true;
    }
    Section& target = m_sections[s];
    const int line = FindKeyLine(target, keyName);
    QString name = keyName;
    if (line >= 0) {
        QString unusedValue;
        parseEntry(target.lines[line], &name, &unusedValue); // the key keeps its spelling in the file
    }
    // Line breaks in the value go to the file as they are; the document holds the lines that a
    // reader of the file will see.
    const QStringList newLines = SplitLines(name + QLatin1Char('=') + text, kMaxLines);

    if (line >= 0) {
        if (newLines.size() == 1 && target.lines[line] == newLines.first()) return Status::Ok;
        target.lines.removeAt(line);
        for (int i = 0; i < newLines.size(); ++i)
            target.lines.insert(line + i, newLines[i]);
    } else {
        target.lines.append(newLines);
    }
    m_changed = true;
    return Status::Ok;
}

void IniFile::DeleteSection(const QString& section) {
    const QString wanted = trimBlanks(section);
    const qsizetype removed = m_sections.removeIf([&](const Section& s) { return sameName(s.name, wanted); });
    if (removed) m_changed = true;
}

QString IniFile::ReadString(const QString& path, const QString& section, const QString& key,
                            const QString& def, Status* status) {
    IniFile ini;
    const Status loaded = ini.Load(path);
    if (status) *status = loaded;
    return ini.GetString(section, key, def);
}

IniFile::Status IniFile::WriteStringToFile(const QString& path, const QString& section, const QString& key,
                                           const QString& value, QString* error) {
    IniFile ini;
    Status status = ini.Load(path);
    if (status != Status::Ok && status != Status::Missing) {
        if (error) *error = ini.ErrorString();
        return status;
    }
    status = ini.WriteString(section, key, value);
    if (status == Status::Ok && ini.Changed()) status = ini.Save(path);
    if (status != Status::Ok && error) *error = ini.ErrorString();
    return status;
}
