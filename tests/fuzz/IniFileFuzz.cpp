// The INI reader: its output reads back to itself, every listed entry is found by its name in what
// was read back, and a written key reads back.
#include "core/IniFile.h"
#include "Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    IniFile ini, again;
    ini.Parse(Bytes(data, size));
    const QByteArray written = ini.Serialize();
    again.Parse(written);
    Check(again.Serialize() == written && again.SectionNames() == ini.SectionNames());
    for (const QString& section : ini.SectionNames()) {
        for (const IniFile::Entry& entry : ini.GetSection(section))
            Check(ini.GetString(section, entry.name, "\x01") == again.GetString(section, entry.name, "\x02"));
        if (ini.WriteString(section, "FuzzKey", "fuzz value") != IniFile::Status::Ok) continue;
        again.Parse(ini.Serialize());
        Check(again.GetString(section, "FUZZKEY") == "fuzz value");
    }
    return 0;
}
