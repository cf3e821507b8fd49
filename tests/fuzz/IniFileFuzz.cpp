// Feeds arbitrary bytes to the INI reader: it must never crash, its output must read back to
// itself, every listed entry must be found by its name, and a written key must read back.
#include <cstdint>
#include <cstdlib>
#include <QSet>

#include "core/IniFile.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

QString unquoted(const QString& value) {
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    IniFile ini;
    ini.Parse(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

    const QByteArray written = ini.Serialize();
    IniFile again;
    again.Parse(written);
    check(again.Serialize() == written);
    check(again.SectionNames() == ini.SectionNames());

    const QStringList sections = ini.SectionNames();
    for (const QString& section : sections) {
        QSet<QString> seen;
        for (const IniFile::Entry& entry : ini.GetSection(section)) {
            const QString folded = entry.name.toCaseFolded();
            if (seen.contains(folded)) continue; // the first of two equal names wins
            seen.insert(folded);
            check(ini.GetString(section, entry.name, QStringLiteral("\x01")) == unquoted(entry.value));
        }
    }

    if (!sections.isEmpty() && ini.WriteString(sections.first(), QStringLiteral("FuzzKey"),
                                               QStringLiteral("fuzz value")) == IniFile::Status::Ok) {
        check(ini.GetString(sections.first(), QStringLiteral("fuzzkey")) == QStringLiteral("fuzz value"));
        IniFile reread;
        reread.Parse(ini.Serialize());
        check(reread.GetString(sections.first(), QStringLiteral("FUZZKEY")) == QStringLiteral("fuzz value"));
    }
    return 0;
}
