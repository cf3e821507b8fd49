#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "core/IniFile.h"
#include "support/TestSupport.h"

using Status = IniFile::Status;

static IniFile Parsed(const QByteArray& bytes) {
    IniFile ini;
    ini.Parse(bytes);
    return ini;
}

// The layout an export has on disk, written by hand: CR LF, the empty line after the entries
// that carried a CR LF of their own, encrypted text with its <CHRn> tokens.
TEST(IniFile, ReadsAFileInExactlyTheWindowsLayoutAndOthersTolerantly) {
    const QByteArray file = "[General]\r\nVersion=152\r\n"
                            "[Users]\r\nAlice=\xAB+\xA9\xE1<CHR29><CHR27>\r\n\r\n"
                            "[Alice]\r\nItems=1\r\n\r\nCaption1=Bank\r\n\r\nURL1=]x\r\n\r\n"
                            "[AliceUrls]\r\nUrl0=http://www.example.com/\r\nUrl1=example.org\r\n";
    const IniFile ini = Parsed(file);
    EXPECT_EQ(ini.SectionNames(), (QStringList{"General", "Users", "Alice", "AliceUrls"}));
    EXPECT_EQ(ini.GetString("general", "VERSION", "0") + ini.GetString("Missing", "x", "-") +
                  ini.GetString("General", "Missing", "-"),
              "152--");
    EXPECT_EQ(ini.GetSection("USERS"), (QList<IniFile::Entry>{{"Alice", "«+©á<CHR29><CHR27>"}}));
    EXPECT_EQ(ini.GetSection("alice"),
              (QList<IniFile::Entry>{{"Items", "1"}, {"Caption1", "Bank"}, {"URL1", "]x"}}));
    EXPECT_EQ(ini.Serialize(), file); // nothing changed, nothing moves

    // A section lists every line with an equals sign, as it stands.
    const IniFile lines =
        Parsed("[s]\r\n a = 1 \r\n\"q\"=\"v\"\r\n;c=1\r\nnoequals\r\n\r\n=empty\r\nk=v=w\r\n[t]\r\n");
    EXPECT_EQ(lines.GetSection("S"),
              (QList<IniFile::Entry>{{"a", "1"}, {"\"q\"", "\"v\""}, {"", "empty"}, {"k", "v=w"}}));
    EXPECT_TRUE(lines.GetSection("t").isEmpty() && lines.HasSection("T"));

    // Otherwise it reads tolerantly, like the profile functions.
    const struct {
        QByteArray file;
        const char* key;
        const char* expected;
    } rows[] = {
        {"[a]\nk=v\n", "k", "v"},                           // LF only
        {"  [ A ]  junk\r\n  K  =  v w  \r\n", "k", "v w"}, // blanks around names and values
        {"[a]\r\nk=\"quoted  \"\r\n", "k", "quoted  "},     // quotes go, what is inside stays
        {"[a]\r\nk='x'\r\n", "k", "x"},
        {"[a]\r\nk=\"x\r\n", "k", "\"x"},                                         // an unmatched quote stays
        {"[a]\r\n;k=comment\r\nk=v\r\n", "k", "v"},                               // comments are no entries
        {"[a]\r\njunk\r\nk=v\r\n", "junk", "<default>"},                          // nor are lines without "="
        {"[a]\r\nk=a=b\r\n", "k", "a=b"},                                         // the first "=" splits
        {"[a]\r\nk=1\r\nK=2\r\n", "k", "1"},                                      // the first of two wins
        {"[a]\r\nk=1\r\n[A]\r\nk=2\r\nj=3\r\n", "j", "<default>"},                // and the first section
        {"k=v\r\n[a]\r\n", "k", "<default>"},                                     // lines before any section
        {"\xEF\xBB\xBF[a]\r\nk=caf\xC3\xA9\r\n", "k", "café"},                    // UTF-8 with its mark
        {QByteArrayLiteral("\xFF\xFE[\0a\0]\0\n\0k\0=\0\xA9\x03\n\0"), "k", "Ω"}, // UTF-16 with its mark
        {QByteArrayLiteral("\xFF\xFE[\0a\0]\0\n\0k\0=\0\x3D\xD8\x00\xDE\x00\xD8x\0\n\0"), "k",
         "\U0001F600\uFFFDx"}, // a pair is a character, a lone surrogate none
        {"[a]\r\nk=caf\xE9 \x80\x81\r\n", "k", "café €\u0081"}, // 8-bit bytes, all of them
        {"[a]\r\nk=x\xA0\r\n", "k", "x\u00A0"},                 // a no-break space is no blank
        {"[a]\r\nk=v", "k", "v"},                               // cut off after the value
        {"[a", "k", "<default>"},
        {QByteArrayLiteral("[a]\r\nk\0=v\r\n"), "k", "<default>"}, // NUL ends a line
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.file.toStdString());
        EXPECT_EQ(Parsed(r.file).GetString("a", r.key, "<default>"), QString::fromUtf8(r.expected));
    }
}

TEST(IniFile, WritesInPlaceKeepsEverythingElseAndRefusesTextOutsideTheCodePageAndUntrustedFiles) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.ini");
    SaveBytes(path, "; made by hand\n[S]\nFirst=1\nSecond = 2\n[T]\nx=1\n");
    ASSERT_EQ(IniFile::WriteStringToFile(path, "s", "SECOND", "two"), Status::Ok);
    ASSERT_EQ(IniFile::WriteStringToFile(path, "S", "Third", "  3 "), Status::Ok); // leading blanks go
    ASSERT_EQ(IniFile::WriteStringToFile(path, "New", "k", "v"), Status::Ok);
    ASSERT_EQ(IniFile::WriteStringToFile(path, "S", "first", QString()), Status::Ok); // deletes
    ASSERT_EQ(IniFile::WriteStringToFile(path, "Gone", "k", QString()), Status::Ok);  // nothing to delete
    EXPECT_EQ(FileBytes(path),
              "; made by hand\r\n[S]\r\nSecond=two\r\nThird=3 \r\n[T]\r\nx=1\r\n[New]\r\nk=v\r\n");

    IniFile ini;
    ASSERT_EQ(ini.Load(path), Status::Ok);
    ini.DeleteSection("t");
    EXPECT_EQ(ini.SectionNames(), (QStringList{"S", "New"}));
    ASSERT_EQ(ini.Save(path), Status::Ok);
    EXPECT_EQ(IniFile::ReadString(path, "new", "K"), "v");
    EXPECT_EQ(IniFile::ReadString(path, "T", "x", "gone"), "gone");

    // Text outside the code page is refused, naming the character, and the file stays as it was.
    const QString cp = dir.filePath("cp.ini");
    SaveBytes(cp, "[a]\r\nk=caf\xE9\r\n");
    QString error;
    EXPECT_EQ(IniFile::WriteStringToFile(cp, "a", "Greek", "Ωμέγα", &error), Status::NotEncodable);
    EXPECT_TRUE(error.contains("Ω"));
    EXPECT_EQ(FileBytes(cp), "[a]\r\nk=caf\xE9\r\n");
    // A file that came with a UTF-8 mark stays UTF-8 and takes any text.
    const QString utf8Path = dir.filePath("utf8.ini");
    SaveBytes(utf8Path, "\xEF\xBB\xBF[a]\r\nk=v\r\n");
    ASSERT_EQ(IniFile::WriteStringToFile(utf8Path, "a", "Greek", "Ωμέγα"), Status::Ok);
    EXPECT_EQ(FileBytes(utf8Path), "\xEF\xBB\xBF[a]\r\nk=v\r\nGreek=" + QString("Ωμέγα").toUtf8() + "\r\n");

    // Untrusted files. Too large: refused, never written over.
    const QString huge = dir.filePath("huge.ini");
    SaveBytes(huge, "[a]\r\nk=v\r\n");
    ASSERT_TRUE(QFile(huge).resize(IniFile::kMaxFileSize + 1));
    IniFile::Status status;
    EXPECT_EQ(IniFile::ReadString(huge, "a", "k", "dflt", &status), "dflt");
    EXPECT_EQ(status, Status::TooLarge);
    EXPECT_EQ(IniFile::WriteStringToFile(huge, "a", "k", "w", &error), Status::TooLarge);
    EXPECT_TRUE(error.contains("huge.ini"));
    IniFile refused;
    EXPECT_EQ(refused.Load(huge), Status::TooLarge);
    EXPECT_NE(refused.Save(huge), Status::Ok);
    EXPECT_EQ(QFileInfo(huge).size(), IniFile::kMaxFileSize + 1);

    // Within the size limit, but nothing like the program's files (millions of lines): read only
    // so far, so what it costs stays small, and never written over.
    for (const QByteArray& line : {QByteArray("[s]\n"), QByteArray("k=v\n")}) {
        SCOPED_TRACE(line.toStdString());
        IniFile lines = Parsed(line.repeated(int(IniFile::kMaxFileSize / line.size())));
        EXPECT_TRUE(lines.Incomplete());
        EXPECT_LE(lines.SectionNames().size(), IniFile::kMaxSections);
        EXPECT_NE(lines.Save(dir.filePath("lines.ini")), Status::Ok);
    }
    EXPECT_FALSE(Parsed(QByteArray("[s]\nk=v\n").repeated(1000)).Incomplete());

    // Not a file at all.
    EXPECT_EQ(IniFile::WriteStringToFile(dir.path(), "a", "k", "v"), Status::NotAFile);
    // Names that would read back as something else.
    IniFile names;
    for (const auto& [section, key] : {std::pair{"a]b", "k"}, std::pair{"a", "k\r\nj"}, std::pair{"a", "[k"}})
        EXPECT_EQ(names.WriteString(section, key, "v"), Status::BadName) << section << key;
    EXPECT_FALSE(names.Changed());
}
