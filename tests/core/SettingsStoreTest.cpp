#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

#include "core/AppState.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "support/TestSupport.h"

using namespace core;

TEST(SettingsStore, DefaultsDeletionRawKindsAndAfterAReopenOrderAndPrivacy) {
    TempStore temp;
    EXPECT_EQ(GetValue("General", "Users", 0) + GetValue("General", "Flag", true) +
                  GetValue("General", "Missing"),
              QStringLiteral("0True"));
    SaveValue("General", "Empty", "");
    SaveValue("General", "Minus", "-1");
    SaveValue("General", "Here", " spaced ");
    EXPECT_EQ(GetValue("General", "Empty", "dflt"), QStringLiteral("dflt"));
    EXPECT_FALSE(ValueExists("General", "Empty") || ValueExists("General", "Minus"));
    EXPECT_TRUE(ValueExists("General", "Here"));
    EXPECT_EQ(GetValue("General", "Here"), QStringLiteral(" spaced ")); // GetValue does not trim

    SaveValue("bob\\Sub\\Deeper", "v", "1");
    SaveValue("bob", "w", "2");
    DeleteValue("bob", "-1");
    EXPECT_LT(temp.store().FindKey("Software\\Bramblegate\\bob"), 0);
    EXPECT_LT(temp.store().FindKey("Software\\Bramblegate\\bob\\Sub\\Deeper"), 0);

    EXPECT_TRUE(CBool("True") && CBool("TRUE") && CBool("-1") && !CBool("false") && !CBool("0") &&
                CBool("junk", true));
    EXPECT_EQ(CInt("42") + CInt("", 7), 49);

    // Raw value kinds and terminators.
    SettingsStore& s = temp.store();
    const auto key = s.CreateKey("Software\\Bramblegate\\raw");
    s.SetValue(key, "NoNul", 1, QByteArray("whole"));
    s.SetValue(key, "Nul", 1, QByteArray("text\0", 5));
    s.SetValue(key, "Bin", 3, QByteArray("\xfe\xff\x01", 3));
    s.SetValue(key, "Dword", 4, QByteArray(4, '\0'));
    s.SetValue(key, "Expand", 2, QByteArray("%HOME%\0", 7));
    // Binary: the first two bytes as a signed 16-bit number; other kinds read empty, not the default.
    EXPECT_EQ(GetValue("raw", "NoNul") + GetValue("raw", "Nul") + GetValue("raw", "Bin") +
                  GetValue("raw", "Dword", "dflt"),
              QStringLiteral("wholetext-2"));

    QStringList n, v;
    EXPECT_EQ(EnumValues("Software\\Bramblegate\\raw", n, v), 5);
    EXPECT_EQ(v.mid(2), (QStringList{"Unsupported data type: 3", "Unsupported data type: 4", "%HOME%"}));

    // Enumeration trims names and texts at both ends and returns long values whole.
    const QString longText(5000, QChar('x'));
    SaveValue("trim", "  padded  ", "  text  ");
    SaveValue("trim", "long", longText);
    EXPECT_EQ(EnumValues("Software\\Bramblegate\\trim", n, v), 2);
    EXPECT_EQ(n[0] + v[0], QStringLiteral("paddedtext"));
    EXPECT_EQ(v[1], longText);
    // A key that does not exist leaves the lists alone.
    EXPECT_EQ(EnumValues("Software\\Bramblegate\\none", n, v), 0);
    EXPECT_EQ(n.size(), 2);

    // Reopened, the store has every value in its order, and it is private again.
    for (int i = 0; i < 50; ++i)
        SaveValue("alice", QStringLiteral("V%1").arg(49 - i), QString::number(i));
    SaveValue("alice", "V10", "changed");
    const auto all = [&] {
        EnumValues("Software\\Bramblegate\\alice", n, v);
        return n + v;
    };
    const QStringList before = all();
    // Opened up since (by hand, a backup tool): private again at the next start.
    const QFile::Permissions open =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    QFile::setPermissions(temp.folder(), open | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    QFile::setPermissions(temp.path(), open);
    temp.Reopen();
    EXPECT_EQ(all(), before);
    for (const QString& path : {temp.path(), temp.folder()})
        EXPECT_EQ(QFileInfo(path).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                                   QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
                  QFile::Permissions())
            << path.toStdString();
}

TEST(SettingsStore, RefusesAFileThatIsNotAStoreAndLeavesItAlone) {
    QTemporaryDir dir;
    // A text file, and another program's SQLite database: neither is taken over or changed.
    const QString text = dir.path() + "/settings.sqlite", other = dir.path() + "/other.sqlite";
    SaveBytes(text, "this is a text file, not a settings store\n");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(other).constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES(1);", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    QString error;
    for (const QString& path : {text, other}) {
        const QByteArray before = FileBytes(path);
        EXPECT_EQ(SettingsStore::Open(path, &error), nullptr);
        EXPECT_TRUE(error.contains(path)) << error.toStdString();
        EXPECT_EQ(FileBytes(path), before);
    }
    // A new store in a new folder gets a private folder.
    ASSERT_NE(SettingsStore::Open(dir.path() + "/new/inner/settings.sqlite", &error), nullptr);
    EXPECT_EQ(QFileInfo(dir.path() + "/new/inner").permissions() & (QFile::ReadOther | QFile::ReadGroup),
              QFile::Permissions());
}
