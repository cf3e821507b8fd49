#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// An initialisation file (settings export, .url shortcuts) read and written the way the
// classic profile functions do it:
//  - sections and keys keep their order; sections and keys are found without regard to case;
//  - names and values are trimmed of blanks; a value in matching single or double quotes is
//    returned without them (GetString only);
//  - lines starting with ";" are comments; lines without "=" are kept but are no entries;
//  - writing a key replaces its line in place or adds it after the section's last line,
//    creating the section at the end of the file; everything else stays as it was;
//  - the file is 8-bit text in the program's code page with CR LF line ends (files that start
//    with a UTF-8 or UTF-16 byte-order mark are read, and written back, in that encoding).
// Files come from outside, so reading never trusts them: a file over kMaxFileSize, or one that is
// not a regular file, is refused and left untouched; any bytes at all parse into some document.
class IniFile {
public:
    static constexpr qint64 kMaxFileSize = 10 * 1024 * 1024;
    // A file with more lines or sections is read only up to there, and is Incomplete().
    static constexpr int kMaxLines = 200000;
    static constexpr int kMaxSections = 10000;

    enum class Status { Ok, Missing, TooLarge, NotAFile, ReadFailed, WriteFailed, NotEncodable, BadName };

    struct Entry {
        QString name;
        QString value;
        bool operator==(const Entry& o) const { return name == o.name && value == o.value; }
    };

    // Reads a file. A missing file gives an empty document (and Status::Missing), as the profile
    // functions treat it. Any other failure leaves the document empty and remembers that it must
    // not be saved over the file.
    Status Load(const QString& path);
    // Parses bytes as they would be on disk.
    void Parse(const QByteArray& bytes);
    // The document as it goes to disk.
    QByteArray Serialize() const;
    // Writes the document to the path (atomically: a crash leaves the old or the new file). A
    // document whose Load was refused is never saved. The file is readable by its owner only (a
    // file it replaces may have been readable by others), as an export holds the user's
    // (encrypted) secrets.
    Status Save(const QString& path);

    // The value of a key (trimmed, outer quotes removed), or `def` when the key is missing.
    QString GetString(const QString& section, const QString& key, const QString& def = QString()) const;
    // Every line of the section that contains "=", in order: the text before the first "=" and
    // the rest, both trimmed (no quotes removed). Empty for a missing section.
    QList<Entry> GetSection(const QString& section) const;
    QStringList SectionNames() const;
    bool HasSection(const QString& section) const;

    // Sets a key (a null value deletes it). The value's leading blanks are dropped; line breaks
    // in it go to the file as they are. Returns NotEncodable when an 8-bit file cannot hold the
    // text and BadName for a section or key with a line break or "]" / "[" in the section.
    Status WriteString(const QString& section, const QString& key, const QString& value);
    // Removes every section of that name with its lines.
    void DeleteSection(const QString& section);

    bool Changed() const { return m_changed; }
    // The bytes held more lines or sections than a file of the program ever has: only the first
    // ones were read, and the document is never saved over the file.
    bool Incomplete() const { return m_refused; }
    // A text for messages about the last failure (Load, Save or WriteString).
    QString ErrorString() const { return m_error; }

    // Reads one value of a file: GetString after Load. *status receives the Load status.
    static QString ReadString(const QString& path, const QString& section, const QString& key,
                              const QString& def = QString(), Status* status = nullptr);
    // Load, WriteString, Save. *error receives a text for messages on failure.
    static Status WriteStringToFile(const QString& path, const QString& section, const QString& key,
                                    const QString& value, QString* error = nullptr);

private:
    enum class Encoding { Ansi, Utf8, Utf16 };

    struct Section {
        QString header;    // the header line as it was read (or written)
        QString name;      // trimmed name between the brackets
        QStringList lines; // every line after the header, up to the next header
    };

    // At most `max` lines.
    static QStringList SplitLines(const QString& text, qsizetype max);
    int FindSection(const QString& name) const;
    int FindKeyLine(const Section& section, const QString& key) const;

    Encoding m_encoding = Encoding::Ansi;
    QStringList m_preamble; // lines before the first section
    QList<Section> m_sections;
    bool m_refused = false;
    bool m_changed = false;
    QString m_error;
};
