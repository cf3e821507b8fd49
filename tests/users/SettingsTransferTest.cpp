#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/CodePage.h"
#include "core/PasswordChange.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/LinkIds.h"
#include "links/Links.h"
#include "users/RemovableMedia.h"
#include "users/SettingsTransfer.h"
#include "users/UserOptions.h"
#include "UsersSupport.h"

using namespace userstest;
using namespace core;

namespace {

const QString kImportDone =
    QStringLiteral("Import Settings completed successfully. Bramblegate needs to exit now. "
                   "\r\rYou may restart again. The new settings will then be effective.\r\r");
const QString kOverwrite =
    QStringLiteral("Are you sure you want to overwrite the current settings for user '%1' ?\r\r");

QByteArray ansi(const QString& text) {
    QByteArray bytes;
    EXPECT_TRUE(CodePage::Encode(text, &bytes));
    return bytes;
}

// Caption, address, user name and password of each of the user's Links, decrypted.
QStringList linksOf(const QString& user) {
    QStringList out;
    for (Link* link : Links(user))
        out << link->Caption() << link->URL() << link->UserName() << link->Password();
    return out;
}

class SettingsTransferTest : public ::testing::Test {
protected:
    // Alice with a login Link, a bookmark and her SSN.
    void makeAlice() {
        createAndLogIn("Alice", "alice-pw1", boxes);
        Links("Alice").Add("My Bank", SecretCipher::EncryptMessage("https://bank.example/login"),
                           SecretCipher::EncryptMessage("alice.b"), SecretCipher::EncryptMessage("s3cret!"),
                           "Personal", "Statements", false, true);
        UserOptions("Alice").SetSSN("078-05-1120");
        SaveValue("AliceBMs", "News", "http://news.example/");
    }
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    ScriptedFiles files;
    EndRequests ends;
    QTemporaryDir out;
};

} // namespace

TEST_F(SettingsTransferTest, ExportThenImportAsTheSameUserBringsTheExportedValuesBack) {
    makeAlice();
    SaveValue("Alice", "ShareCookies3", "True");
    const QStringList exported = linksOf("Alice");
    const QString bankId = Links("Alice").Item(3)->Id();
    Clock::SetNow(QDateTime(QDate(2003, 10, 4), QTime(9, 30)));
    const QString path = out.filePath("Alice 20031004.dat");
    SaveBytes(path, "[Stale]\r\nold=1\r\n"); // the same name twice a day: the old file goes
    dialogs.Next(typePasswords({"wrong", "alice-pw1"}));
    files.Next(path);
    boxes.Answer(msgbox::OK).Answer(msgbox::OK);
    SettingsTransfer::ExportSettings();
    ASSERT_EQ(files.asked().size(), 1);
    const filedialogs::Request save = files.asked().first();
    EXPECT_TRUE(save.save && save.confirmOverwrite && QFileInfo(save.folder).isDir());
    EXPECT_EQ(save.folder + "/" + save.fileName,
              AppPaths::AppDataFolder() + "/Bramblegate/Alice 20031004.dat");
    EXPECT_TRUE(boxes.lastText().contains("Export Settings has completed successfully."));

    // The layout is checked byte for byte with TheExportIsTheTableByteForByteAndKeepsEveryTextWhole.
    const QByteArray bytes = FileBytes(path);
    for (const char* absent : {"Stale", "s3cret!", "alice-pw1", "078-05-1120", "LinkId"})
        EXPECT_FALSE(bytes.contains(absent)) << absent;
    // The cookie choice travels; the id that names the Link's web data here does not.
    EXPECT_TRUE(bytes.contains("\r\nShareCookies3=True\r\n") && !bytes.contains(bankId.toLatin1()));
    // A file that has an id anyway (by hand, or by a later version) gives it no Link.
    SaveBytes(path,
              QByteArray(bytes).replace("[Alice]\r\n", "[Alice]\r\nLinkId3=" + bankId.toLatin1() + "\r\n"));

    // Later changes, then the import of the file.
    Links("Alice").UpdateLink(3, "Other Bank", SecretCipher::EncryptMessage("https://other.example/"), "", "",
                              "", "", true, false);
    SaveValue("AliceBMs", "Added later", "http://later.example/");
    boxes.Clear();
    dialogs.Next(typePasswords({"alice-pw1"}));
    files.Next(path);
    boxes.Answer(msgbox::Yes).Answer(msgbox::OK);
    SettingsTransfer::ImportSettings();
    EXPECT_EQ(files.asked().last().fileName, QStringLiteral("Alice.dat"));
    EXPECT_EQ(boxes.texts(), (QStringList{kOverwrite.arg("Alice"), kImportDone}));
    // The program ends at once, and nothing of the running session may be saved over the import.
    EXPECT_TRUE(ends.endsNow == 1 && App().Unloading && App().EndingOnError);
    // Imported Links start with web data of their own: new ids at the next start.
    EXPECT_TRUE(LinkIds::Stored("Alice").isEmpty());
    EXPECT_EQ(linksOf("Alice"), exported);
    Links links("Alice");
    EXPECT_TRUE(links.Item(3)->ShareCookies() && links.Item(3)->Id() != bankId);
    EXPECT_EQ(GetValue("AliceBMs", "Added later") + UserOptions("Alice").SSN(), // not in the file
              QStringLiteral("http://later.example/078-05-1120"));
}

// Each refused import says why once (and then that the import failed), asks for no password and
// changes nothing; failed and cancelled exports say so or nothing. The user name rules' own texts
// are checked with the accounts.
TEST_F(SettingsTransferTest,
       RefusedAndFailedTransfersSayWhyAndChangeNothingAndAHandWrittenFileCreatesItsUser) {
    makeAlice();
    const QString alice = out.filePath("alice.dat");
    ASSERT_TRUE(SettingsTransfer::ExportSettings(alice));
    // Exit in the prompt, or Cancel in the file dialog: nothing more (no box or dialog is scripted).
    dialogs.Next(typePasswords({}));
    SettingsTransfer::ExportSettings();
    dialogs.Next(typePasswords({"alice-pw1"}));
    files.Next(QString());
    SettingsTransfer::ExportSettings();
    // A folder that cannot be made (a file is in the way): what went wrong, then that it failed.
    SaveBytes(out.filePath("plain"), "x");
    dialogs.Next(typePasswords({"alice-pw1"}));
    files.Next(out.filePath("plain/alice.dat"));
    boxes.Answer(msgbox::OK).Answer(msgbox::OK);
    SettingsTransfer::ExportSettings();
    EXPECT_EQ(boxes.lastText(),
              QStringLiteral("Export Settings did not complete successfully or was aborted.\r\r"));

    // Removable media get the file through a temporary one that does not stay.
    QTemporaryDir tempFolder, stick;
    const QString target = stick.filePath("alice.dat");
    SaveBytes(target, "old contents");
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    ASSERT_TRUE(SettingsTransfer::ExportThroughTemporaryFile(target, tempFolder.path()));
    EXPECT_EQ(FileBytes(target), FileBytes(alice));
    EXPECT_EQ(QFileInfo(target).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
    boxes.Answer(msgbox::OK); // what went wrong
    EXPECT_FALSE(SettingsTransfer::ExportThroughTemporaryFile(alice + "/x.dat", tempFolder.path()));
    EXPECT_TRUE(QDir(tempFolder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    for (const QString& path : {QString("/media/usb0/alice.dat"), QString("/run/media/ann/STICK/a/b.dat"),
                                QString("/mediation/a.dat"), alice})
        EXPECT_EQ(RemovableMedia::IsOnRemovableMedia(path), path.contains("/media/")) << path.toStdString();
    // A partition's disk, as sysfs shows it; a whole disk is its own.
    QTemporaryDir sys;
    QDir().mkpath(sys.filePath("class/block"));
    for (const char* device : {"pci0/usb1/block/sdb/sdb1", "virtual/block/sr0"}) {
        const QString folder = sys.filePath("devices/") + device;
        QDir().mkpath(folder);
        ASSERT_TRUE(QFile::link(folder, sys.filePath("class/block/") + QFileInfo(folder).fileName()));
    }
    SaveBytes(sys.filePath("devices/pci0/usb1/block/sdb/sdb1/partition"), "1\n");
    EXPECT_EQ(RemovableMedia::DiskOfDevice("/dev/sdb1", sys.path()) +
                  RemovableMedia::DiskOfDevice("sr0", sys.path()),
              QStringLiteral("sdbsr0"));

    createAndLogIn("Bob", "bob-pass", boxes);
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char(i * 7 % 256));
    const QByteArray head = "[General]\r\nVersion=152\r\n[Users]\r\n";
    const QByteArray zoe = "[Users]\r\nZoe=" + ansi(SecretCipher::EncryptMessage("zoe-pass", "zoe-pass")) +
                           "\r\n\r\n[Zoe]\r\nItems=0\r\n\r\n";
    const QString incompatible = "The settings in this file are not compatible \rwith this version of ";
    const struct {
        const char* name;
        QByteArray bytes;
        QString why; // in the first of two boxes; empty: only that the import failed
    } rows[] = {
        {"alice.dat", QByteArray(), "A user with the name 'Alice' already exists."},
        {"old.dat", "[General]\r\nVersion=085\r\n" + zoe, incompatible},
        {"unmarked.dat", zoe, incompatible},
        {"binary.dat", binary, ""},
        {"nouser.dat", "[General]\r\nVersion=152\r\n[Zoe]\r\nItems=1\r\n", ""},
        {"nopassword.dat", head + "Zoe=\r\n\r\n[Zoe]\r\nItems=1\r\n", ""},
        {"huge.dat", "huge", ""},
        {"headers.dat", QByteArray("[s]\r\n").repeated(2 * 1024 * 1024), ""}, // millions of sections
        {"general.dat", head + "General=abc\r\n",
         "The user name in the file \"general.dat\" cannot be used. "},
        // Bob's history would be this user's own settings, and the other way round.
        {"shared.dat", head + "BobHistory=abc\r\n\r\n[BobHistory]\r\nItems=0\r\n",
         "The UserName 'BobHistory' cannot be used while the User 'Bob' exists"},
    };
    const QStringList before = dumpStore();
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        boxes.Clear();
        const QString path = out.filePath(r.name);
        if (!r.bytes.isEmpty()) SaveBytes(path, r.bytes);
        ASSERT_TRUE(r.bytes != "huge" || QFile(path).resize(10 * 1024 * 1024 + 1));
        files.Next(path);
        if (!r.why.isEmpty()) boxes.Answer(msgbox::OK);
        boxes.Answer(msgbox::OK);
        SettingsTransfer::ImportSettings();
        ASSERT_EQ(boxes.count(), r.why.isEmpty() ? 1 : 2);
        EXPECT_TRUE(boxes.texts().first().contains(r.why));
        EXPECT_EQ(boxes.lastText(), "Import Settings did not complete successfully or was aborted.\r\r");
        EXPECT_TRUE(r.why != incompatible || boxes.shown().first().helpTopic == "59");
    }
    EXPECT_EQ(ends.endsNow, 0); // and no password was asked for: no prompt is scripted
    EXPECT_EQ(dumpStore(), before);

    // The own file, but No to the question or the wrong password: nothing happens either.
    runAs("ALICE", "alice-pw1");
    boxes.Clear();
    boxes.Answer(msgbox::No);
    EXPECT_FALSE(SettingsTransfer::ImportSettings(alice));
    EXPECT_EQ(boxes.texts(), QStringList{kOverwrite.arg("ALICE")});
    dialogs.Next(typePasswords({"bob-pass"}));
    boxes.Answer(msgbox::Yes).Answer(msgbox::OK);
    EXPECT_FALSE(SettingsTransfer::ImportSettings(alice));
    EXPECT_EQ(dumpStore(), before);

    // Chosen, then gone (or never a file): the command says so.
    boxes.Clear();
    files.Next(out.filePath("gone.dat")).Next(out.path());
    boxes.Answer(msgbox::OK).Answer(msgbox::OK);
    SettingsTransfer::ImportSettings();
    SettingsTransfer::ImportSettings();
    EXPECT_EQ(boxes.texts(), (QStringList{"File not found\r\r", "File not found\r\r"}));

    // A file of a user this installation does not have creates that user, with the password the
    // file was written with; here one written by hand in the platform's profile layout.
    runAs("Bob", "bob-pass");
    const QString pass = "zoe-pass";
    const QString record = SecretCipher::EncryptMessage(pass, pass);
    const QString url = SecretCipher::EncryptMessage("http://caf\u00e9.example/", pass);
    const QString name = SecretCipher::EncryptMessage("zo\u00eb", pass);
    // Windows-1252, CR LF, an empty line after each entry of [Users] and of the user's own section;
    // the oldest version that imports.
    const QByteArray file =
        "[General]\r\nVersion=86\r\n[Users]\r\nZoe=" + ansi(record) +
        "\r\n\r\n[Zoe]\r\nItems=1\r\n\r\nCaption1=Caf\xE9 \x80uro\r\n\r\nURL1=" + ansi(url) +
        "\r\n\r\nUserName1=" + ansi(name) +
        "\r\n\r\nPW1=\r\n\r\nAutoNavigate1=True\r\n\r\nReqLogin1=False\r\n\r\n"
        "ControlOrder1=0\r\n\r\nHidePopUps1=False\r\n\r\nVersion=152\r\n\r\n"
        "[ZoeUrls]\r\nUrl0=http://caf\xE9.example/\r\n"
        // An editor may leave the last line without its line break.
        "[ZoeHistory]\r\nH1=Caf\xE9 \x80 - http://caf\xE9.example/";
    const QString path = out.filePath("Zoe 20240102.dat");
    SaveBytes(path, file);
    dialogs.Next(typePasswords({"bob-pass", pass}));
    files.Next(path);
    boxes.Answer(msgbox::OK).Answer(msgbox::OK);
    SettingsTransfer::ImportSettings();
    EXPECT_TRUE(ends.endsNow == 1 && App().PassPhrase == "bob-pass");
    temp.Reopen();
    EXPECT_EQ(GetValue("ZoeUrls", "Url0") + GetValue("ZoeHistory", "H1"),
              QStringLiteral("http://caf\u00e9.example/Caf\u00e9 \u20ac - http://caf\u00e9.example/"));
    App() = AppState();
    LoginFields login{"zoe", pass, "", ""};
    ASSERT_EQ(Accounts().DoLogin(login).outcome, LoginStep::Succeeded);
    EXPECT_EQ(linksOf("Zoe"),
              (QStringList{"Caf\u00e9 \u20acuro", "http://caf\u00e9.example/", "zo\u00eb", ""}));
    EXPECT_FALSE(Links("Zoe").Item(1)->HidePopUps());
    EXPECT_EQ(Accounts::LoadUsers().users, (QStringList{"Alice", "Bob", "Zoe"}));
}

TEST_F(SettingsTransferTest, TheExportIsTheTableByteForByteAndKeepsEveryTextWhole) {
    createAndLogIn("Zed", "zed-pass", boxes);
    DeleteValue("Zed", "-1"); // only what is set below
    SaveValue("Zed", "Items", "0");
    SaveValue("Zed", "Caption1", "  Caf\u00e9 \u20ac "); // blanks at the ends must survive the trip
    SaveValue("Zed", "Caption2", "\"quoted\"");
    SaveValue("Zed", "SelectOption1", "");
    SaveValue("ZedUrls", "Url7", "http://a.example/");
    SaveValue("ZedUrls", "Url3", "http://b.example/");
    SaveValue("ZedBMs", "Mark", "http://c.example/");
    const QString record = GetValue("Users", "Zed");
    const QString path = out.filePath("sub/folder/zed.dat");
    ASSERT_TRUE(SettingsTransfer::ExportSettings(path));
    EXPECT_EQ(FileBytes(path), "[General]\r\nVersion=152\r\n[Users]\r\nZed=" + ansi(record) +
                                   "\r\n\r\n[Zed]\r\nItems=0\r\n\r\nCaption1=\"  Caf\xE9 \x80 \"\r\n\r\n"
                                   "Caption2=\"\"quoted\"\"\r\n\r\nSelectOption1=\r\n"
                                   "[ZedUrls]\r\nUrl0=http://a.example/\r\nUrl1=http://b.example/\r\n"
                                   "[ZedBMs]\r\nMark=http://c.example/\r\n");
    const auto importOwn = [&] {
        dialogs.Next(typePasswords({"zed-pass"}));
        boxes.Answer(msgbox::Yes);
        ASSERT_TRUE(SettingsTransfer::ImportSettings(path));
    };

    // A text outside the code page (a page title in another script) makes a UTF-8 file instead of
    // losing it. Names a settings file cannot hold as they are (page titles such as "a=b",
    // "[News]", "; x") are written escaped, which [General] says. The file it replaces was
    // readable by others; it is not.
    const struct {
        const char *key, *name;
        QString value;
    } names[] = {{"ZedHistory", "H1", "\u65e5\u672c - http://jp.example/"},
                 {"ZedBMs", "a=b", "http://d.example/"},
                 {"ZedHistory", "[Weekly] 50% off", "http://e.example/"},
                 {"ZedIELinks", "; no comment", "http://f.example/"}};
    for (const auto& n : names)
        SaveValue(n.key, n.name, n.value);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    ASSERT_TRUE(SettingsTransfer::ExportSettings(path));
    EXPECT_EQ(QFileInfo(path).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
    const QByteArray escaped = FileBytes(path);
    EXPECT_TRUE(
        escaped.startsWith("\xEF\xBB\xBF[General]\r\nVersion=152\r\nEscapedNames=True\r\n[Users]\r\n"));
    for (const char* line : {"\r\n[ZedBMs]\r\nMark=http://c.example/\r\na%3Db=http://d.example/\r\n",
                             "\r\n%5BWeekly%5D 50%25 off=http://e.example/\r\n",
                             "\r\n[ZedIELinks]\r\n%3B no comment=http://f.example/\r\n"})
        EXPECT_TRUE(escaped.contains(line)) << line;
    SaveValue("Zed", "Caption1", "changed");
    for (const char* key : {"ZedBMs", "ZedHistory", "ZedIELinks"})
        DeleteValue(key, "-1");
    importOwn();
    EXPECT_EQ(GetValue("Zed", "Caption1") + GetValue("Zed", "Caption2"),
              QStringLiteral("  Caf\u00e9 \u20ac \"quoted\""));
    for (const auto& n : names)
        EXPECT_EQ(GetValue(n.key, n.name), n.value) << n.name;

    // A file without that line (an older one, another tool's) has its names as they are.
    SaveBytes(path, QByteArray(escaped).replace("EscapedNames=True\r\n", ""));
    importOwn();
    EXPECT_EQ(GetValue("ZedBMs", "a%3Db"), QStringLiteral("http://d.example/"));
}
