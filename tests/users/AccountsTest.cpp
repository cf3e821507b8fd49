#include <gtest/gtest.h>

#include "core/PasswordChange.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "LoginSupport.h"
#include "users/UserOptions.h"

using namespace core;

TEST(Accounts, OldSettingsGetTheirSiteUserNamesEncryptedOnceAtLogin) {
    TempStore temp;
    ScriptedBoxes boxes;
    // Written by an old version: user names in plain text, no Version.
    SaveValue("General", "Users", "1");
    SaveUserPassword("Users", "frank", "frank99", "");
    App() = AppState();
    SaveValue("frank", "Items", "1");
    SaveValue("frank", "Caption1", "Forum");
    SaveValue("frank", "UserName1", "frank.f");
    SaveValue("frank", "UserName2", "");
    SaveValue("frank", "usernameOther", "plain");

    const auto logIn = [](const QString& name) {
        App() = AppState();
        Accounts accounts;
        LoginFields fields{name, "frank99", "", ""};
        return accounts.DoLogin(fields).outcome;
    };
    ASSERT_EQ(logIn("Frank"), LoginStep::Succeeded);
    EXPECT_EQ(GetValue("frank", "Version"), QStringLiteral("152"));
    EXPECT_NE(GetValue("frank", "UserName1"), QStringLiteral("frank.f"));
    EXPECT_EQ(GetValue("frank", "UserName1", "", true), QStringLiteral("frank.f"));
    EXPECT_EQ(GetValue("frank", "usernameOther", "", true), QStringLiteral("plain"));
    EXPECT_EQ(GetValue("frank", "UserName2"), QString());
    EXPECT_EQ(GetValue("frank", "Caption1"), QStringLiteral("Forum"));

    // Once upgraded, never again.
    const QString once = GetValue("frank", "UserName1");
    ASSERT_EQ(logIn("frank"), LoginStep::Succeeded);
    EXPECT_EQ(GetValue("frank", "UserName1"), once);
    EXPECT_EQ(boxes.count(), 0);
}

TEST(Accounts, NamesThatWouldBreakTheStoreLayoutOrShareAnotherUsersKeysAreRefused) {
    TempStore temp;
    ScriptedBoxes boxes;
    const QString characters =
        QStringLiteral("A UserName cannot contain \\ = [ ] or a line break, and cannot begin with ;.");
    const QString refused = QStringLiteral("This name cannot be used as a UserName. %1 Please select another "
                                           "User Name!\r\r");
    const struct {
        QString name;
        QString why;
    } unusable[] = {
        {"a\\b", characters},
        {"a=b", characters},
        {"[x]", characters},
        {"x]", characters},
        {";x", characters},
        {"tab\tname", characters},
        {"Users", "The program keeps its own settings under the name 'Users'."},
        {"general", "The program keeps its own settings under the name 'general'."},
        // "-1" deletes a whole key: deleting such a user would delete every user.
        {"-1", "The program keeps its own settings under the name '-1'."},
        {QString(101, QLatin1Char('x')), "A UserName can be at most 100 characters long."},
    };
    for (const auto& c : unusable) {
        SCOPED_TRACE(c.name.toStdString());
        Accounts accounts;
        LoginFields fields{c.name, "pass1", "", "pass1"};
        const LoginStep step = accounts.DoNewUser(fields);
        EXPECT_EQ(step.outcome, LoginStep::Stay);
        EXPECT_EQ(step.focus, LoginField::UserName);
        EXPECT_EQ(boxes.lastText(), refused.arg(c.why));
        EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Create A New User"));
    }
    EXPECT_EQ(GetValue("General", "Users", 0), QStringLiteral("0"));
    EXPECT_FALSE(App().LoginOK);

    // A second user counts on from the first; a name taken in any case is refused.
    logintest::createUser("Hal", "halhal", boxes);
    Accounts accounts;
    EXPECT_EQ(accounts.UserCount(), 1);
    LoginFields taken{"HAL", "other1", "", "other1"};
    EXPECT_EQ(accounts.DoNewUser(taken).outcome, LoginStep::Stay);
    EXPECT_EQ(boxes.lastText(),
              QStringLiteral("A User with this name already exists. Please select another User Name!\r\r"));

    // A name whose keys are some of another user's, in either direction, would mix the two users'
    // settings: refused, naming the other user, with nothing written.
    logintest::createUser("IvyBMs", "ivyivy", boxes);
    const int stored = int(SettingsStore::Current()
                               ->Values(SettingsStore::Current()->FindKey("Software\\Bramblegate\\Users"))
                               .size());
    const struct {
        const char* name;
        const char* other;
    } shared[] = {{"halHistory", "Hal"}, {"HALBMS", "Hal"},       {"Halurls", "Hal"}, {"HalIELinks", "Hal"},
                  {"Ivy", "IvyBMs"},     {"ivybmsbms", "IvyBMs"}, {"IvyBMsX", ""}};
    for (const auto& c : shared) {
        SCOPED_TRACE(c.name);
        boxes.Clear();
        Accounts again;
        LoginFields fields{c.name, "pass1", "", "pass1"};
        const LoginStep step = again.DoNewUser(fields);
        if (QString(c.other).isEmpty()) {
            // Its keys start with the other user's name but are none of that user's keys.
            EXPECT_EQ(step.outcome, LoginStep::Succeeded) << boxes.lastText().toStdString();
            continue;
        }
        EXPECT_EQ(step.outcome, LoginStep::Stay);
        EXPECT_EQ(step.focus, LoginField::UserName);
        EXPECT_EQ(
            boxes.texts(),
            QStringList{QStringLiteral("The UserName '%1' cannot be used while the User '%2' exists: the "
                                       "two Users would keep their settings under the same names, so "
                                       "that each would change, and deleting one would delete, the "
                                       "settings of the other. Please select another User Name!\r\r")
                            .arg(c.name, c.other)});
        EXPECT_EQ(SettingsStore::Current()
                      ->Values(SettingsStore::Current()->FindKey("Software\\Bramblegate\\Users"))
                      .size(),
                  stored);
    }
    const Accounts::UserList list = Accounts::LoadUsers();
    EXPECT_EQ(list.users, (QStringList{"Hal", "Ivybms", "Ivybmsx"}));
    EXPECT_EQ(GetValue("General", "Users"), QStringLiteral("3"));
}

TEST(Options, DefaultsWriteThroughAndTheEncryptedNumber) {
    TempStore temp;
    App().CurrentUser = "kim";
    App().PassPhrase = "kimpass";
    {
        UserOptions options("kim");
        EXPECT_EQ(options.AutoLogOutMts(), 30);
        EXPECT_TRUE(options.BeepOnPopUp());
        EXPECT_EQ(options.SearchChoice(), QStringLiteral("Msn"));
        EXPECT_EQ(options.SSN(), QString());
        EXPECT_EQ(options.MaxHistoryItems(), 100);
        EXPECT_EQ(options.MaxBookmarkItems(), 40);
        EXPECT_EQ(options.BGMessageInterval(), 5);

        options.SetAutoLogOutMts(0);
        options.SetBeepOnPopUp(false);
        options.SetSearchChoice("Other");
        options.SetMaxHistoryItems(200);
        options.SetMaxBookmarkItems(5);
        EXPECT_EQ(GetValue("kim", "AutoLogOutMts"), QStringLiteral("0"));
        EXPECT_EQ(GetValue("kim", "BeepOnPopup"), QStringLiteral("False"));
        EXPECT_EQ(GetValue("kim", "SearchChoice"), QStringLiteral("Other"));
        EXPECT_EQ(GetValue("kim", "MaxHistoryItems"), QStringLiteral("200"));
        EXPECT_EQ(GetValue("kim", "MaxBookmarkItems"), QStringLiteral("5"));

        options.SetSSN("123456789");
        EXPECT_NE(GetValue("kim", "SSN"), QStringLiteral("123456789"));
        EXPECT_EQ(GetValue("kim", "SSN", "", true), QStringLiteral("123456789"));
        // The same number again writes nothing.
        SaveValue("kim", "SSN", "marker");
        options.SetSSN("123456789");
        EXPECT_EQ(GetValue("kim", "SSN"), QStringLiteral("marker"));
        options.SetSSN("987654321");
        EXPECT_EQ(GetValue("kim", "SSN", "", true), QStringLiteral("987654321"));

        options.SetBGMessageInterval(0);
        EXPECT_EQ(options.BGMessageInterval(), 5);
        options.SetBGMessageInterval(12);
        EXPECT_EQ(options.BGMessageInterval(), 12);
        EXPECT_FALSE(ValueExists("kim", "BGMessageInterval"));
    }
    temp.Reopen();
    UserOptions again("kim");
    EXPECT_EQ(again.AutoLogOutMts(), 0);
    EXPECT_FALSE(again.BeepOnPopUp());
    EXPECT_EQ(again.SearchChoice(), QStringLiteral("Other"));
    EXPECT_EQ(again.MaxHistoryItems(), 200);
    EXPECT_EQ(again.MaxBookmarkItems(), 5);
    EXPECT_EQ(again.SSN(), QStringLiteral("987654321"));
    again.SetSSN("");
    EXPECT_FALSE(ValueExists("kim", "SSN"));
    EXPECT_EQ(UserOptions("kim").SSN(), QString());
}

TEST(Accounts, PasswordsOfFourToTwelveCharactersAreTaken) {
    TempStore temp;
    ScriptedBoxes boxes;
    for (const char* password : {"abcd", "abcdefghijkl"}) {
        Accounts accounts;
        const QString user = QStringLiteral("user%1").arg(qstrlen(password));
        LoginFields fields{user, password, "", password};
        EXPECT_EQ(accounts.DoNewUser(fields).outcome, LoginStep::Succeeded) << boxes.lastText().toStdString();
        EXPECT_TRUE(Accounts::CheckPassword(user, password));
    }
    // The same limits when the password changes; the old one stays until a change succeeds.
    App().CurrentUser = "user4";
    App().PassPhrase = "abcd";
    for (const char* password : {"wxyz", "123456789012"}) {
        Accounts accounts;
        LoginFields fields{"user4", App().PassPhrase, password, password};
        EXPECT_EQ(accounts.DoSetNewPW(fields).outcome, LoginStep::Succeeded)
            << boxes.lastText().toStdString();
        EXPECT_EQ(App().PassPhrase, QString::fromLatin1(password));
    }
    Accounts accounts;
    LoginFields tooLong{"user4", "123456789012", "1234567890123", "1234567890123"};
    EXPECT_EQ(accounts.DoSetNewPW(tooLong).outcome, LoginStep::Stay);
    EXPECT_TRUE(Accounts::CheckPassword("user4", "123456789012"));
}
