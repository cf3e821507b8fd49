#include <functional>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/CodePage.h"
#include "core/PasswordChange.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/LinkIds.h"
#include "links/Links.h"
#include "users/PasswordPrompt.h"
#include "users/RemovableMedia.h"
#include "users/SettingsTransfer.h"
#include "users/UserOptions.h"
#include "UsersSupport.h"

using namespace logintest;
using namespace userstest;
using namespace core;

namespace {

const QString CR2 = QStringLiteral("\r\r");
const QString kImportFailed =
    QStringLiteral("Import Settings did not complete successfully or was aborted.\r\r");
const QString kExportDone =
    QStringLiteral("Please remember, you will need your CURRENT Password \rwhen importing "
                   "these settings.\r\rExport Settings has completed successfully. \r\r");
const QString kImportDone =
    QStringLiteral("Import Settings completed successfully. Bramblegate needs to exit now. "
                   "\r\rYou may restart again. The new settings will then be effective.\r\r");
const QString kIncompatible = QStringLiteral(
    "The settings in this file are not compatible \rwith this version of Bramblegate. Please make "
    "sure \rthat you have selected the correct file.\r\r");

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ansi(const QString& text) {
    QByteArray bytes;
    EXPECT_TRUE(CodePage::Encode(text, &bytes));
    return bytes;
}

// Answers the password prompt with the given passwords, one OK each, then Exit if still open.
std::function<int(QDialog&)> typePasswords(QStringList passwords, QStringList* shownUser = nullptr,
                                           QStringList* shownPrompt = nullptr) {
    return [=](QDialog& d) {
        auto& f = static_cast<PasswordPrompt&>(d);
        if (shownUser) *shownUser << f.UserNameEdit()->text();
        if (shownPrompt) *shownPrompt << f.PromptLabel()->text();
        for (const QString& password : passwords) {
            f.PasswordEdit()->setText(password);
            f.OkButton()->click();
            if (f.Result() || f.TooManyTries()) break;
        }
        if (!f.Result() && !f.TooManyTries()) f.CancelButton()->click();
        return f.result();
    };
}

// Caption, address, user name and password of each of the user's Links, decrypted.
QStringList linksOf(const QString& user) {
    QStringList out;
    for (Link* link : Links(user))
        out << link->Caption() << link->URL() << link->UserName() << link->pw();
    return out;
}

// Logs in afresh, as the login dialog does at the next start.
bool logIn(const QString& user, const QString& password) {
    App() = AppState();
    Accounts accounts;
    LoginFields fields{user, password, "", ""};
    return accounts.DoLogin(fields).outcome == LoginStep::Succeeded;
}

// Alice with a login Link, typed addresses, bookmarks, history, a links bar and her SSN.
void makeAlice(ScriptedBoxes& boxes) {
    createAndLogIn("Alice", "alice-pw1", boxes);
    {
        Links links("Alice");
        links.Add("My Bank", SecretCipher::EncryptMessage("https://bank.example/login"),
                  SecretCipher::EncryptMessage("alice.b"), SecretCipher::EncryptMessage("s3cret!"),
                  "Personal", "Statements", false, true);
    }
    UserOptions("Alice").SetSSN("078-05-1120");
    SaveValue("Alice", "Urls", "2");
    SaveValue("AliceUrls", "Url4", "http://typed-one.example/");
    SaveValue("AliceUrls", "Url9", "http://typed-two.example/");
    SaveValue("AliceBMs", "News", "http://news.example/");
    SaveValue("AliceHistory", "H1", "http://news.example/today");
    SaveValue("AliceIELinks", "Weather", "http://weather.example/");
}

// A store in a temp folder, scripted boxes, dialogs and file dialogs, and a folder for files.
class SettingsTransferTest : public ::testing::Test {
protected:
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    ScriptedFiles files;
    EndRequests ends;
    QTemporaryDir out;
};

} // namespace

TEST_F(SettingsTransferTest, ExportThenImportAsTheSameUserBringsTheExportedValuesBack) {
    makeAlice(boxes);
    SaveValue("Alice", "ShareCookies3", "True");
    const QStringList exported = linksOf("Alice");
    const QString bankId = Links("Alice").Item(3)->Id();
    Clock::SetNow(QDateTime(QDate(2003, 10, 4), QTime(9, 30)));
    ShowWatcher messages("frmMsg");

    const QString path = out.filePath("Alice 20031004.dat");
    writeBytes(path, "[Stale]\r\nold=1\r\n"); // the same name twice a day: the old file goes
    QStringList prompts;
    dialogs.Next(typePasswords({"wrong", "alice-pw1"}, nullptr, &prompts));
    files.Next(path);
    SettingsTransfer::ExportSettings();

    EXPECT_EQ(prompts,
              QStringList{"For security, please verify your Password. You will also need this Password "
                          "at the time of Importing these settings."});
    ASSERT_EQ(files.asked().size(), 1);
    const filedialogs::Request& save = files.asked().first();
    EXPECT_TRUE(save.save);
    EXPECT_EQ(save.title, QStringLiteral("Save Settings To File For Alice"));
    EXPECT_EQ(save.fileName, QStringLiteral("Alice 20031004.dat"));
    EXPECT_EQ(save.folder, AppPaths::AppDataFolder() + "/Bramblegate");
    EXPECT_TRUE(QFileInfo(save.folder).isDir());
    EXPECT_EQ(save.filter, QStringLiteral("Data File (*.dat)|*.dat|All files (*.*)|*.*"));
    EXPECT_TRUE(save.confirmOverwrite);
    EXPECT_EQ(boxes.texts(), (QStringList{"Invalid Password, try again!\r\r", kExportDone}));
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Important Note"));
    EXPECT_EQ(boxes.shown().last().icon, msgbox::Information);
    EXPECT_EQ(messages.shown, QStringList{"Exporting settings of user Alice..."});

    const QByteArray bytes = readBytes(path);
    EXPECT_TRUE(bytes.startsWith("[General]\r\nVersion=152\r\n[Users]\r\nAlice=" +
                                 ansi(GetValue("Users", "Alice")) + "\r\n\r\n[Alice]\r\n"))
        << bytes.left(80).toStdString();
    EXPECT_FALSE(bytes.contains("Stale"));
    EXPECT_FALSE(bytes.contains("s3cret!") || bytes.contains("alice-pw1") || bytes.contains("078-05-1120"));
    EXPECT_TRUE(bytes.contains("\r\nCaption3=My Bank\r\n\r\nSelectOption3=Personal\r\n\r\n"));
    // The cookie choice travels; the id that names the Link's web data here does not.
    EXPECT_TRUE(bytes.contains("\r\nShareCookies3=True\r\n"));
    EXPECT_FALSE(bytes.contains("LinkId") || bytes.contains(bankId.toLatin1()));
    // A file that has one anyway (written by hand, or by a later version) gives it no Link.
    writeBytes(path,
               QByteArray(bytes).replace("[Alice]\r\n", "[Alice]\r\nLinkId3=" + bankId.toLatin1() + "\r\n"));
    EXPECT_TRUE(bytes.contains(
        "[AliceUrls]\r\nUrl0=http://typed-one.example/\r\nUrl1=http://typed-two.example/\r\n"
        "[AliceBMs]\r\nNews=http://news.example/\r\n[AliceHistory]\r\n"
        "H1=http://news.example/today\r\n[AliceIELinks]\r\nWeather=http://weather.example/\r\n"));
    EXPECT_TRUE(bytes.endsWith("\r\n"));

    // Later changes, then the import of the file.
    {
        Links links("Alice");
        links.UpdateLink(3, "Other Bank", SecretCipher::EncryptMessage("https://other.example/"), "", "", "",
                         "", true, false);
    }
    SaveValue("AliceBMs", "Added later", "http://later.example/");
    boxes.Clear();
    messages.shown.clear();
    QStringList users;
    dialogs.Next(typePasswords({"alice-pw1"}, &users, &prompts));
    files.Next(path);
    SettingsTransfer::ImportSettings();

    ASSERT_EQ(files.asked().size(), 2);
    const filedialogs::Request& open = files.asked().last();
    EXPECT_FALSE(open.save);
    EXPECT_EQ(open.title, QStringLiteral("Import Settings From File"));
    EXPECT_EQ(open.fileName, QStringLiteral("Alice.dat"));
    EXPECT_EQ(open.folder, save.folder);
    EXPECT_TRUE(open.mustExist);
    EXPECT_EQ(boxes.texts(),
              (QStringList{"Are you sure you want to overwrite the current settings for user 'Alice' ?\r\r",
                           kImportDone}));
    EXPECT_EQ(boxes.shown().first().title, QStringLiteral("OverWrite Settings?"));
    EXPECT_EQ(boxes.shown().first().buttons, msgbox::YesNo);
    EXPECT_EQ(boxes.shown().first().icon, msgbox::Question);
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Import Succeeded"));
    EXPECT_EQ(users, QStringList{"Alice"});
    EXPECT_EQ(prompts.last(),
              QStringLiteral("Please enter the Password for User whose settings are being "
                             "imported. This password should be the same as at the time of Export "
                             "Settings."));
    EXPECT_EQ(messages.shown, QStringList{"Importing settings of user Alice..."});

    // The program ends at once, and nothing of the running session may be saved over the import.
    EXPECT_EQ(ends.endsNow, 1);
    EXPECT_TRUE(App().Unloading);
    EXPECT_TRUE(App().EndingOnError);
    // Imported Links start with web data of their own: new ids at the next start.
    EXPECT_TRUE(LinkIds::Stored("Alice").isEmpty());
    EXPECT_EQ(linksOf("Alice"), exported);
    {
        Links links("Alice");
        EXPECT_TRUE(links.Item(3)->ShareCookies());
        EXPECT_TRUE(LinkIds::IsValid(links.Item(3)->Id()));
        EXPECT_NE(links.Item(3)->Id(), bankId);
    }
    EXPECT_EQ(GetValue("AliceBMs", "Added later"),
              QStringLiteral("http://later.example/")); // not in the file
    EXPECT_EQ(GetValue("AliceUrls", "Url0"), QStringLiteral("http://typed-one.example/"));
    EXPECT_EQ(UserOptions("Alice").SSN(), QStringLiteral("078-05-1120"));
    EXPECT_EQ(GetValue("General", "Users"), QStringLiteral("1"));
}

TEST_F(SettingsTransferTest, AFileOfAnUnknownUserCreatesThatUserWithThePasswordOfExportTime) {
    const QString path = out.filePath("alice.dat");
    makeAlice(boxes);
    const QStringList exported = linksOf("Alice");
    ASSERT_TRUE(SettingsTransfer::ExportSettings(path));
    // Changed afterwards: the file keeps the password it was written with.
    SaveUserPassword("Users", "Alice", "alice-pw2", "alice-pw1");

    TempStore second; // another installation
    createAndLogIn("Bob", "bob-pass", boxes);
    dialogs.Next(typePasswords({"alice-pw2", "alice-pw1"}));
    files.Next(path);
    SettingsTransfer::ImportSettings();
    EXPECT_EQ(boxes.texts(), (QStringList{"Invalid Password, try again!\r\r", kImportDone}));
    EXPECT_EQ(ends.endsNow, 1);
    EXPECT_EQ(GetValue("General", "Users"), QStringLiteral("2"));
    EXPECT_EQ(App().PassPhrase, QStringLiteral("bob-pass"));

    // The next start: Alice logs in with the password that was valid at export.
    second.Reopen();
    ASSERT_TRUE(logIn("alice", "alice-pw1"));
    EXPECT_EQ(linksOf("Alice"), exported);
    EXPECT_EQ(UserOptions("Alice").SSN(), QStringLiteral("078-05-1120"));
    EXPECT_EQ(Accounts::LoadUsers().users, (QStringList{"Bob", "Alice"}));
}

TEST_F(SettingsTransferTest, AnotherExistingUsersFileIsRefusedAndChangesNothing) {
    const QString path = out.filePath("alice.dat");
    makeAlice(boxes);
    ASSERT_TRUE(SettingsTransfer::ExportSettings(path));
    createAndLogIn("Bob", "bob-pass", boxes);
    const QStringList before = dumpStore();

    files.Next(path);
    SettingsTransfer::ImportSettings();
    EXPECT_EQ(boxes.texts(),
              (QStringList{"A user with the name 'Alice' already exists.\r\rPlease log-off and then "
                           "log-in as 'Alice' in order to import its settings.\r\r",
                           kImportFailed}));
    EXPECT_EQ(boxes.shown().first().title, QStringLiteral("OverWrite Settings?"));
    EXPECT_EQ(boxes.shown().first().icon, msgbox::Information);
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Import Failed"));
    EXPECT_EQ(boxes.shown().last().icon, msgbox::Exclamation);
    EXPECT_EQ(dialogs.count(), 0);
    EXPECT_EQ(ends.endsNow, 0);
    EXPECT_FALSE(App().Unloading);
    EXPECT_EQ(dumpStore(), before);

    // The own file, but No to the question or the wrong password: nothing happens either.
    App().CurrentUser = "ALICE";
    App().PassPhrase = "alice-pw1";
    boxes.Clear();
    boxes.Answer(msgbox::No);
    EXPECT_FALSE(SettingsTransfer::ImportSettings(path));
    EXPECT_EQ(boxes.texts(),
              QStringList{"Are you sure you want to overwrite the current settings for user 'ALICE' ?\r\r"});
    dialogs.Next(typePasswords({"bob-pass"}));
    EXPECT_FALSE(SettingsTransfer::ImportSettings(path));
    EXPECT_EQ(dialogs.count(), 1);
    EXPECT_EQ(dumpStore(), before);
}

TEST_F(SettingsTransferTest, OldOrUnmarkedFilesAreRefusedAsIncompatible) {
    createAndLogIn("Bob", "bob-pass", boxes);
    const QByteArray user = "[Users]\r\nZoe=" + ansi(SecretCipher::EncryptMessage("zoe-pass", "zoe-pass")) +
                            "\r\n\r\n[Zoe]\r\nItems=0\r\n\r\n";
    const QStringList before = dumpStore();
    for (const QByteArray& general : {QByteArray("[General]\r\nVersion=085\r\n"), QByteArray(),
                                      QByteArray("[General]\r\nVersion=eighty\r\n")}) {
        SCOPED_TRACE(general.toStdString());
        boxes.Clear();
        const QString path = out.filePath("zoe.dat");
        writeBytes(path, general + user);
        files.Next(path);
        SettingsTransfer::ImportSettings();
        ASSERT_EQ(boxes.count(), 2);
        const msgbox::Request& refusal = boxes.shown().first();
        EXPECT_EQ(refusal.text, kIncompatible);
        EXPECT_EQ(refusal.title, QStringLiteral("Import Settings"));
        EXPECT_EQ(refusal.icon, msgbox::Exclamation);
        EXPECT_TRUE(refusal.helpButton);
        EXPECT_EQ(refusal.helpTopic, QStringLiteral("59"));
        EXPECT_EQ(boxes.lastText(), kImportFailed);
    }
    EXPECT_EQ(dialogs.count(), 0);
    EXPECT_EQ(dumpStore(), before);

    // The first version that imports.
    writeBytes(out.filePath("zoe.dat"), "[General]\r\nVersion=86\r\n" + user);
    dialogs.Next(typePasswords({"zoe-pass"}));
    EXPECT_TRUE(SettingsTransfer::ImportSettings(out.filePath("zoe.dat")));
}

TEST_F(SettingsTransferTest, AHandWrittenFileInTheWindowsLayoutImports) {
    createAndLogIn("Bob", "bob-pass", boxes);
    const QString pass = "zoe-pass";
    const QString record = SecretCipher::EncryptMessage(pass, pass);
    const QString url = SecretCipher::EncryptMessage("http://caf\u00e9.example/", pass);
    const QString name = SecretCipher::EncryptMessage("zo\u00eb", pass);
    // Profile readers take blanks off the ends; these texts have none (so no quotes are needed).
    for (const QString& text : {record, url, name})
        ASSERT_TRUE(!text.startsWith(' ') && !text.endsWith(' ')) << text.toStdString();

    // As the platform's profile functions wrote it: Windows-1252, CR LF, an empty line after each
    // entry of [Users] and of the user's own section.
    const QByteArray file = "[General]\r\nVersion=152\r\n"
                            "[Users]\r\nZoe=" +
                            ansi(record) +
                            "\r\n\r\n"
                            "[Zoe]\r\nItems=1\r\n\r\nCaption1=Caf\xE9 \x80uro\r\n\r\nURL1=" +
                            ansi(url) + "\r\n\r\nUserName1=" + ansi(name) +
                            "\r\n\r\nPW1=\r\n\r\nAutoNavigate1=True\r\n\r\n"
                            "ReqLogin1=False\r\n\r\nControlOrder1=0\r\n\r\nHidePopUps1=False\r\n\r\n"
                            "Version=152\r\n\r\nSearchChoice=Caf\xE9\r\n\r\n"
                            "[ZoeUrls]\r\nUrl0=http://caf\xE9.example/\r\n"
                            // An editor may leave the last line without its line break.
                            "[ZoeHistory]\r\nH1=Caf\xE9 \x80 - http://caf\xE9.example/";
    const QString path = out.filePath("Zoe 20240102.dat");
    writeBytes(path, file);
    QStringList users;
    dialogs.Next(typePasswords({pass}, &users));
    EXPECT_TRUE(SettingsTransfer::ImportSettings(path));
    EXPECT_EQ(users, QStringList{"Zoe"});
    EXPECT_EQ(GetValue("Zoe", "SearchChoice"), QStringLiteral("Caf\u00e9"));
    EXPECT_EQ(GetValue("ZoeUrls", "Url0"), QStringLiteral("http://caf\u00e9.example/"));
    EXPECT_EQ(GetValue("ZoeHistory", "H1"), QStringLiteral("Caf\u00e9 \u20ac - http://caf\u00e9.example/"));

    ASSERT_TRUE(logIn("Zoe", pass));
    EXPECT_EQ(linksOf("Zoe"),
              (QStringList{"Caf\u00e9 \u20acuro", "http://caf\u00e9.example/", "zo\u00eb", ""}));
    EXPECT_FALSE(Links("Zoe").Item(1)->HidePopUps());
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
    ASSERT_TRUE(!record.startsWith(' ') && !record.endsWith(' '));

    const QString path = out.filePath("sub/folder/zed.dat");
    ASSERT_TRUE(SettingsTransfer::ExportSettings(path));
    EXPECT_EQ(readBytes(path), "[General]\r\nVersion=152\r\n[Users]\r\nZed=" + ansi(record) +
                                   "\r\n\r\n[Zed]\r\nItems=0\r\n\r\nCaption1=\"  Caf\xE9 \x80 \"\r\n\r\n"
                                   "Caption2=\"\"quoted\"\"\r\n\r\nSelectOption1=\r\n"
                                   "[ZedUrls]\r\nUrl0=http://a.example/\r\nUrl1=http://b.example/\r\n"
                                   "[ZedBMs]\r\nMark=http://c.example/\r\n");
    EXPECT_EQ(QFileInfo(path).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);

    // A text outside the code page (a page title in another script) makes a UTF-8 file instead of
    // losing it; the import reads either. The file it replaces was readable by others; it is not.
    SaveValue("ZedHistory", "H1", "\u65e5\u672c - http://jp.example/");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    ASSERT_TRUE(SettingsTransfer::ExportSettings(path));
    EXPECT_EQ(QFileInfo(path).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
    EXPECT_TRUE(readBytes(path).startsWith("\xEF\xBB\xBF[General]\r\nVersion=152\r\n"));
    SaveValue("Zed", "Caption1", "changed");
    SaveValue("Zed", "Caption2", "changed");
    SaveValue("ZedHistory", "H1", "changed");
    dialogs.Next(typePasswords({"zed-pass"}));
    ASSERT_TRUE(SettingsTransfer::ImportSettings(path));
    EXPECT_EQ(GetValue("Zed", "Caption1"), QStringLiteral("  Caf\u00e9 \u20ac "));
    EXPECT_EQ(GetValue("Zed", "Caption2"), QStringLiteral("\"quoted\""));
    EXPECT_EQ(GetValue("ZedHistory", "H1"), QStringLiteral("\u65e5\u672c - http://jp.example/"));
    EXPECT_EQ(GetValue("ZedUrls", "Url0"), QStringLiteral("http://a.example/"));

    // Names a settings file cannot hold as they are (page titles such as "a=b", "[News]", "; x")
    // are written escaped, which [General] says; the import reads them back unchanged.
    SaveValue("ZedBMs", "a=b", "http://d.example/");
    SaveValue("ZedHistory", "[Weekly] 50% off", "http://e.example/");
    SaveValue("ZedIELinks", "; no comment", "http://f.example/");
    ASSERT_TRUE(SettingsTransfer::ExportSettings(path));
    const QByteArray escaped = readBytes(path);
    EXPECT_TRUE(
        escaped.startsWith("\xEF\xBB\xBF[General]\r\nVersion=152\r\nEscapedNames=True\r\n[Users]\r\n"));
    for (const char* line : {"\r\n[ZedBMs]\r\nMark=http://c.example/\r\na%3Db=http://d.example/\r\n",
                             "\r\n%5BWeekly%5D 50%25 off=http://e.example/\r\n",
                             "\r\n[ZedIELinks]\r\n%3B no comment=http://f.example/\r\n"})
        EXPECT_TRUE(escaped.contains(line)) << line;
    for (const char* key : {"ZedBMs", "ZedHistory", "ZedIELinks"})
        DeleteValue(key, "-1");
    dialogs.Next(typePasswords({"zed-pass"}));
    ASSERT_TRUE(SettingsTransfer::ImportSettings(path));
    EXPECT_EQ(GetValue("ZedBMs", "a=b"), QStringLiteral("http://d.example/"));
    EXPECT_EQ(GetValue("ZedHistory", "[Weekly] 50% off"), QStringLiteral("http://e.example/"));
    EXPECT_EQ(GetValue("ZedIELinks", "; no comment"), QStringLiteral("http://f.example/"));
    EXPECT_EQ(GetValue("ZedBMs", "Mark"), QStringLiteral("http://c.example/"));

    // A file without that line (an older one, another tool's) has its names as they are.
    QByteArray plain = escaped;
    plain.replace("EscapedNames=True\r\n", "");
    writeBytes(path, plain);
    dialogs.Next(typePasswords({"zed-pass"}));
    ASSERT_TRUE(SettingsTransfer::ImportSettings(path));
    EXPECT_EQ(GetValue("ZedBMs", "a%3Db"), QStringLiteral("http://d.example/"));
}

TEST_F(SettingsTransferTest, DamagedFilesFailWithoutMessagesOfTheirOwnAndChangeNothing) {
    createAndLogIn("Bob", "bob-pass", boxes);
    const QStringList before = dumpStore();

    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char(i * 7 % 256));
    const QByteArray record = "[General]\r\nVersion=152\r\n[Users]\r\n";
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"binary.dat", binary},
        {"nouser.dat", "[General]\r\nVersion=152\r\n[Zoe]\r\nItems=1\r\n"},
        {"nopassword.dat", record + "Zoe=\r\n\r\n[Zoe]\r\nItems=1\r\n"},
        {"huge.dat", QByteArray()},
        {"headers.dat", QByteArray("[s]\r\n").repeated(2 * 1024 * 1024)}, // millions of sections
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.Clear();
        const QString path = out.filePath(c.name);
        writeBytes(path, c.bytes);
        if (c.bytes.isEmpty()) {
            QFile huge(path);
            ASSERT_TRUE(huge.resize(10 * 1024 * 1024 + 1));
        }
        files.Next(path);
        SettingsTransfer::ImportSettings();
        EXPECT_EQ(boxes.texts(), QStringList{kImportFailed});
        EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Import Failed"));
    }
    EXPECT_EQ(dialogs.count(), 0);
    EXPECT_EQ(dumpStore(), before);

    // A user name that cannot be a user's says why, before the command's own message.
    createAndLogIn("Alice", "alice-pw1", boxes);
    const QStringList withAlice = dumpStore();
    const struct {
        const char* name;
        QByteArray bytes;
        QString why;
    } names[] = {
        {"general.dat", record + "General=abc\r\n",
         "The user name in the file \"general.dat\" cannot be used. The program keeps its own settings under "
         "the name 'General'."},
        {"minus.dat", record + "-1=abc\r\n",
         "The user name in the file \"minus.dat\" cannot be used. The program keeps its own settings under "
         "the "
         "name '-1'."},
        {"path.dat", record + "x\\y=abc\r\n",
         "The user name in the file \"path.dat\" cannot be used. A UserName cannot contain \\ = [ ] or a "
         "line "
         "break, and cannot begin with ;."},
        // Alice's history would be this user's own settings, and the other way round.
        {"shared.dat", record + "AliceHistory=abc\r\n\r\n[AliceHistory]\r\nItems=0\r\n",
         "The settings in the file are those of the User 'AliceHistory'. The UserName 'AliceHistory' cannot "
         "be "
         "used while the User 'Alice' exists: the two Users would keep their settings under the same names, "
         "so "
         "that each would change, and deleting one would delete, the settings of the other."},
    };
    for (const auto& c : names) {
        SCOPED_TRACE(c.name);
        boxes.Clear();
        const QString path = out.filePath(c.name);
        writeBytes(path, c.bytes);
        files.Next(path);
        SettingsTransfer::ImportSettings();
        EXPECT_EQ(boxes.texts(), (QStringList{c.why + CR2, kImportFailed}));
        EXPECT_EQ(boxes.shown().first().title, QStringLiteral("Import Settings"));
    }
    EXPECT_EQ(dialogs.count(), 0);
    EXPECT_EQ(dumpStore(), withAlice);

    // Chosen, then gone (or never a file): the command says so.
    boxes.Clear();
    files.Next(out.filePath("gone.dat")).Next(out.path());
    SettingsTransfer::ImportSettings();
    SettingsTransfer::ImportSettings();
    EXPECT_EQ(boxes.texts(), (QStringList{"File not found" + CR2, "File not found" + CR2}));
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Error"));
}

TEST_F(SettingsTransferTest, CancelledOrFailedExportsSayWhatTheyShould) {
    createAndLogIn("Nell", "nell-pass", boxes);

    // Exit in the prompt, or Cancel in the file dialog: nothing more, not a word.
    dialogs.Next(typePasswords({}));
    SettingsTransfer::ExportSettings();
    EXPECT_TRUE(files.asked().isEmpty());
    dialogs.Next(typePasswords({"nell-pass"}));
    files.Next(QString());
    SettingsTransfer::ExportSettings();
    EXPECT_EQ(files.asked().size(), 1);
    EXPECT_EQ(boxes.count(), 0);

    // A folder that cannot be made (a file is in the way).
    writeBytes(out.filePath("plain"), "x");
    dialogs.Next(typePasswords({"nell-pass"}));
    files.Next(out.filePath("plain/nell.dat"));
    SettingsTransfer::ExportSettings();
    ASSERT_GE(boxes.count(), 1);
    EXPECT_EQ(boxes.lastText(), "Export Settings did not complete successfully or was aborted." + CR2);
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Export Failed"));
    EXPECT_EQ(boxes.shown().last().icon, msgbox::Exclamation);
}

TEST_F(SettingsTransferTest, RemovableMediaGetTheFileThroughATemporaryOneThatDoesNotStay) {
    QTemporaryDir tempFolder, stick;
    makeAlice(boxes);
    ASSERT_TRUE(SettingsTransfer::ExportSettings(out.filePath("direct.dat")));

    const QString target = stick.filePath("alice.dat");
    writeBytes(target, "old contents");
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    ASSERT_TRUE(SettingsTransfer::ExportThroughTemporaryFile(target, tempFolder.path()));
    EXPECT_EQ(readBytes(target), readBytes(out.filePath("direct.dat")));
    EXPECT_EQ(QFileInfo(target).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
    EXPECT_TRUE(QDir(tempFolder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    EXPECT_FALSE(
        SettingsTransfer::ExportThroughTemporaryFile(out.filePath("direct.dat/x.dat"), tempFolder.path()));
    EXPECT_TRUE(QDir(tempFolder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    EXPECT_TRUE(RemovableMedia::IsOnRemovableMedia("/media/usb0/alice.dat"));
    EXPECT_TRUE(RemovableMedia::IsOnRemovableMedia("/run/media/ann/STICK/a/b.dat"));
    EXPECT_FALSE(RemovableMedia::IsOnRemovableMedia("/mediation/a.dat"));
    EXPECT_FALSE(RemovableMedia::IsOnRemovableMedia(out.filePath("direct.dat")));

    // A partition's disk, as sysfs shows it.
    QTemporaryDir sys;
    QDir().mkpath(sys.filePath("devices/pci0/usb1/block/sdb/sdb1"));
    writeBytes(sys.filePath("devices/pci0/usb1/block/sdb/sdb1/partition"), "1\n");
    QDir().mkpath(sys.filePath("class/block"));
    QDir().mkpath(sys.filePath("devices/virtual/block/sr0"));
    ASSERT_TRUE(
        QFile::link(sys.filePath("devices/pci0/usb1/block/sdb/sdb1"), sys.filePath("class/block/sdb1")));
    ASSERT_TRUE(QFile::link(sys.filePath("devices/virtual/block/sr0"), sys.filePath("class/block/sr0")));
    EXPECT_EQ(RemovableMedia::DiskOfDevice("/dev/sdb1", sys.path()), QStringLiteral("sdb"));
    EXPECT_EQ(RemovableMedia::DiskOfDevice("sr0", sys.path()), QStringLiteral("sr0"));
}
