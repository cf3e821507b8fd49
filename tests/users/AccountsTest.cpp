#include "core/PasswordChange.h"
#include "core/Settings.h"
#include "users/DeleteUser.h"
#include "UsersSupport.h"

using namespace core;
using namespace userstest;

// Every message of the login, new-user, password-change and deletion logic, and where the focus
// goes, checked once here; the dialog tests only check that a box came.
TEST(Accounts, EveryMessageWhereTheFocusGoesAndNoUserNameThatBreaksTheStore) {
    TempStore temp;
    ScriptedBoxes boxes;
    createUser("alice", "wonder1", boxes);
    createUser("Hal", "halhal", boxes);
    createUser("IvyBMs", "ivyivy", boxes);
    // Reset from a blank password by an old version: the user is told at a blank login.
    SaveUserPassword("Users", "Dave", "dave", "");
    SaveValue("Dave", "Version", "152");
    SaveValue("Dave", "WarnPWResetToUserName", "True");
    enum Op { New, Login, Change, Delete };
    using F = LoginField;
    const QString create = "Create A New User", change = "Change Password", del = "DeleteUser";
    // New user names that would break the store's layout, or whose keys are some of another
    // user's (in either direction, mixing the two users' settings).
    const QString unusable = "This name cannot be used as a UserName. ";
    const QString chars =
        unusable + "A UserName cannot contain \\ = [ ] or a line break, and cannot begin with ;.";
    const QString own = unusable + "The program keeps its own settings under the name '%1'.";
    const QString shared = "The UserName '%1' cannot be used while the User '%2' exists: the two Users would";
    const QString badChar = "The password contains a character that cannot be used in a password.";
    const struct {
        Op op;
        F focus;
        LoginFields fields;
        QString title, text; // how the box's text begins
        msgbox::Icon icon = msgbox::Exclamation;
    } rows[] = {
        // clang-format off
        {New, F::UserName, {"", "pass1", "", "pass1"}, create, "A UserName IS required. Try again!"},
        {New, F::Password, {"Carol", "abc", "", "abc"}, create, "Password must be at least 4 characters long!"},
        {New, F::Password, {"Carol", "abcdefghijklm", "", "abcdefghijklm"}, create, "Password may be maximum 12"},
        {New, F::Password, {"Carol", "pass1", "", "Pass1"}, create, "Your password values in the two password"},
        {New, F::Password, {"Carol", "pa\u0142s1", "", "pa\u0142s1"}, create, badChar},
        {New, F::UserName, {"ALICE", "other1", "", "other1"}, create, "A User with this name already exists."},
        {New, F::UserName, {"a\\b", "pass1", "", "pass1"}, create, chars},
        {New, F::UserName, {"[x]", "pass1", "", "pass1"}, create, chars},
        {New, F::UserName, {";x", "pass1", "", "pass1"}, create, chars},
        {New, F::UserName, {"tab\tname", "pass1", "", "pass1"}, create, chars},
        {New, F::UserName, {"general", "pass1", "", "pass1"}, create, own.arg("general")},
        // "-1" deletes a whole key: deleting such a user would delete every user.
        {New, F::UserName, {"-1", "pass1", "", "pass1"}, create, own.arg("-1")},
        {New, F::UserName, {QString(101, 'x'), "pass1", "", "pass1"}, create, unusable + "A UserName can be at"},
        {New, F::UserName, {"halHistory", "pass1", "", "pass1"}, create, shared.arg("halHistory", "Hal")},
        {New, F::UserName, {"HalIELinks", "pass1", "", "pass1"}, create, shared.arg("HalIELinks", "Hal")},
        {New, F::UserName, {"Ivy", "pass1", "", "pass1"}, create, shared.arg("Ivy", "IvyBMs")},
        {New, F::UserName, {"ivybmsbms", "pass1", "", "pass1"}, create, shared.arg("ivybmsbms", "IvyBMs")},
        {New, F::None, {"Carol", "pass1", "", "pass1"}, "Save New Password", // answered No
         "Please make sure you remember your Password.\rWe will not be able to help", msgbox::Question},
        {Login, F::UserName, {"", "x", "", ""}, "Login", "Please enter or select a UserName. Try again!"},
        {Login, F::UserName, {"nobody", "x", "", ""}, "Login", "Invalid User Name. Try again!"},
        {Login, F::Password, {"alice", "   ", "", ""}, "Login", "Please enter your Password. Try again!"},
        {Login, F::Password, {"alice", "Wonder1", "", ""}, "Login", "Invalid Password. Try again!"},
        {Login, F::Password, {"DAVE", "", "", ""}, "Password Reset",
         "Bramblegate does not support blank passwords any more.\rYour new password now is the same as your "
         "UserName, \rall in lower case: dave\r\rYou may change your password after login at any time.",
         msgbox::Critical},
        {Change, F::Password, {"", "wonder2", "newpass9", "newpass9"}, change, "Invalid UserName or Password."},
        {Change, F::NewPassword, {"", "wonder1", "newpass9", "newpass8"}, "Save New Password",
         "Your New Password values do not match.", msgbox::Information},
        {Change, F::NewPassword, {"", "wonder1", "abc", "abc"}, "New Password", "New Password must be minimum 4"},
        {Change, F::NewPassword, {"", "wonder1", "n\u0142w1", "n\u0142w1"}, "New Password", badChar},
        {Delete, F::UserName, {" ", "", "", ""}, del, "Please enter UserName for the User to be deleted. Try again!"},
        {Delete, F::UserName, {"nobody", "", "", ""}, del, "Invalid User Name. Try again!"},
        {Delete, F::Password, {"ALICE", "dave", "", ""}, del, "Invalid Password. Try again!"},
        {Delete, F::None, {" ALICE ", "wonder1", "", ""}, "Delete User", // answered No
         "Are you sure you want to delete all settings of User 'ALICE' from", msgbox::Critical},
        // clang-format on
    };
    const QStringList before = dumpStore();
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text.left(40).toStdString());
        App() = AppState();
        App().CurrentUser = "alice";
        App().PassPhrase = "wonder1";
        boxes.Clear();
        boxes.AnswerWith(
            [](const msgbox::Request& q) { return q.buttons == msgbox::YesNo ? msgbox::No : msgbox::OK; });
        LoginFields fields = r.fields;
        Accounts accounts;
        if (r.op == Delete) {
            DeleteUserFields deletion{fields.userName, fields.password};
            const DeleteUserStep step = UserDeletion::ConfirmAndDelete(deletion);
            EXPECT_EQ(step.outcome, DeleteUserStep::Stay);
            EXPECT_EQ(int(step.focus), int(r.focus)); // None, UserName, Password alike
        } else {
            const LoginStep step = r.op == New     ? accounts.DoNewUser(fields)
                                   : r.op == Login ? accounts.DoLogin(fields)
                                                   : accounts.DoSetNewPW(fields);
            EXPECT_EQ(step.outcome, LoginStep::Stay);
            EXPECT_EQ(step.focus, r.focus);
        }
        ASSERT_EQ(boxes.count(), 1);
        EXPECT_TRUE(boxes.lastText().startsWith(r.text)) << boxes.lastText().toStdString();
        EXPECT_EQ(boxes.lastTitle(), r.title);
        EXPECT_EQ(boxes.shown().last().icon, r.icon);
        EXPECT_FALSE(boxes.lastText().contains(QChar(0x142))) << "a secret in a message";
    }
    EXPECT_EQ(dumpStore(), before); // Dave's warning too is left as it was
    // Its keys start with another user's name but are none of that user's keys.
    createUser("IvyBMsX", "ivyivy", boxes);
    EXPECT_EQ(Accounts::LoadUsers().users, (QStringList{"Alice", "Hal", "Ivybms", "Dave", "Ivybmsx"}));
    EXPECT_EQ(GetValue("General", "Users"), QStringLiteral("4"));

    // The third wrong password ends the login; passwords of 4 and 12 characters are taken.
    Accounts accounts;
    for (int i = 0; i < 3; ++i) {
        LoginFields wrong{"alice", "bad", "", ""};
        boxes.Answer(msgbox::OK);
        EXPECT_EQ(accounts.DoLogin(wrong).outcome, i < 2 ? LoginStep::Stay : LoginStep::Failed);
    }
    EXPECT_EQ(
        boxes.lastText(),
        "Invalid Password! The maximum number of tries has been exceeded. Bramblegate will exit now.\r\r");
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Login Failed"));
    createUser("four", "abcd", boxes);
    App().CurrentUser = "four";
    App().PassPhrase = "abcd";
    LoginFields twelve{"", "abcd", "123456789012", "123456789012"};
    boxes.Answer(msgbox::Yes);
    EXPECT_EQ(Accounts().DoSetNewPW(twelve).outcome, LoginStep::Succeeded);
    EXPECT_TRUE(Accounts::CheckPassword("four", "123456789012"));
}

TEST(Accounts, OldSettingsGetTheirSiteUserNamesEncryptedOnceAtLogin) {
    TempStore temp;
    ScriptedBoxes boxes;
    // Written by an old version: user names in plain text, no Version.
    SaveUserPassword("Users", "frank", "frank99", "");
    SaveValue("frank", "Caption1", "Forum");
    SaveValue("frank", "UserName1", "frank.f");
    SaveValue("frank", "UserName2", "");
    const auto logIn = [](const QString& name) {
        App() = AppState();
        LoginFields fields{name, "frank99", "", ""};
        return Accounts().DoLogin(fields).outcome;
    };
    ASSERT_EQ(logIn("Frank"), LoginStep::Succeeded);
    EXPECT_EQ(GetValue("frank", "Version") + GetValue("frank", "UserName1", "", true) + "|" +
                  GetValue("frank", "UserName2") + GetValue("frank", "Caption1"),
              QStringLiteral("152frank.f|Forum"));
    // Once upgraded, never again.
    const QString once = GetValue("frank", "UserName1");
    ASSERT_EQ(logIn("frank"), LoginStep::Succeeded);
    EXPECT_EQ(GetValue("frank", "UserName1"), once);
}
