#include "core/PasswordChange.h"
#include "core/Settings.h"
#include "users/DeleteUser.h"
#include "UsersSupport.h"

using namespace core;
using namespace userstest;

namespace {
const QString kShared =
    QStringLiteral("The UserName '%1' cannot be used while the User '%2' exists: the two "
                   "Users would keep their settings under the same names, so that each "
                   "would change, and deleting one would delete, the settings of the other.");
} // namespace

// Every message of the login, new-user, password-change and deletion logic, checked once here; the dialog
// tests only check that a box came and where the focus went.
TEST(Accounts, EveryMessageAndWhereTheFocusGoes) {
    TempStore temp;
    ScriptedBoxes boxes;
    createUser("alice", "wonder1", boxes);
    // Reset from a blank password by an old version: the user is told at a blank login.
    SaveUserPassword("Users", "Dave", "dave", "");
    SaveValue("Dave", "Version", "152");
    SaveValue("Dave", "WarnPWResetToUserName", "True");
    enum Op { New, Login, Change, Delete };
    using F = LoginField;
    const QString create = "Create A New User", change = "Change Password", del = "DeleteUser";
    const QString badChar = "The password contains a character that cannot be used in a password. Please use "
                            "only Western European letters, digits and punctuation.";
    const struct {
        Op op;
        F focus;
        LoginFields fields;
        QString title, text; // the text without the "\r\r" every box ends with
        msgbox::Icon icon = msgbox::Exclamation;
    } rows[] = {
        // clang-format off
        {New, F::UserName, {"", "pass1", "", "pass1"}, create, "A UserName IS required. Try again!"},
        {New, F::Password, {"Carol", "abc", "", "abc"}, create, "Password must be at least 4 characters long!"},
        {New, F::Password, {"Carol", "abcdefghijklm", "", "abcdefghijklm"}, create,
         "Password may be maximum 12 characters long!"},
        {New, F::Password, {"Carol", "pass1", "", "Pass1"}, create,
         "Your password values in the two password fields do not match. Please re-enter passwords!"},
        {New, F::Password, {"Carol", "pa\u0142s1", "", "pa\u0142s1"}, create, badChar},
        {New, F::UserName, {"ALICE", "other1", "", "other1"}, create,
         "A User with this name already exists. Please select another User Name!"},
        {New, F::None, {"Carol", "pass1", "", "pass1"}, "Save New Password", // answered No
         "Please make sure you remember your Password.\rWe will not be able to help if you forget this\r"
         "Password  (Password for login to Bramblegate).\r\rThe only alternative will be to create a new User "
         "account.\rProceed with saving the New Password?", msgbox::Question},
        {Login, F::UserName, {"", "x", "", ""}, "Login", "Please enter or select a UserName. Try again!"},
        {Login, F::UserName, {"nobody", "x", "", ""}, "Login", "Invalid User Name. Try again!"},
        {Login, F::Password, {"alice", "   ", "", ""}, "Login", "Please enter your Password. Try again!"},
        {Login, F::Password, {"alice", "Wonder1", "", ""}, "Login", "Invalid Password. Try again!"},
        {Login, F::Password, {"DAVE", "", "", ""}, "Password Reset",
         "Bramblegate does not support blank passwords any more.\rYour new password now is the same as your "
         "UserName, \rall in lower case: dave\r\rYou may change your password after login at any time.",
         msgbox::Critical},
        {Change, F::Password, {"", "wonder2", "newpass9", "newpass9"}, change,
         "Invalid UserName or Password. Try again!"},
        {Change, F::NewPassword, {"", "wonder1", "newpass9", "newpass8"}, "Save New Password",
         "Your New Password values do not match.\r\nPlease re-enter New Password in both text boxes",
         msgbox::Information},
        {Change, F::NewPassword, {"", "wonder1", "abc", "abc"}, "New Password",
         "New Password must be minimum 4 characters long\r\r and maximum 12 characters long!"},
        {Change, F::NewPassword, {"", "wonder1", "n\u0142w1", "n\u0142w1"}, "New Password", badChar},
        {Delete, F::UserName, {" ", "", "", ""}, del, "Please enter UserName for the User to be deleted. Try again!"},
        {Delete, F::UserName, {"nobody", "", "", ""}, del, "Invalid User Name. Try again!"},
        {Delete, F::Password, {"ALICE", "dave", "", ""}, del, "Invalid Password. Try again!"},
        {Delete, F::None, {" ALICE ", "wonder1", "", ""}, "Delete User", // answered No
         "Are you sure you want to delete all settings of User 'ALICE' from \r\nBramblegate? This action "
         "cannot be undone later.", msgbox::Critical},
        // clang-format on
    };
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
        EXPECT_EQ(boxes.lastText(), r.text + "\r\r");
        EXPECT_EQ(boxes.lastTitle(), r.title);
        EXPECT_EQ(boxes.shown().last().icon, r.icon);
        EXPECT_FALSE(boxes.lastText().contains(QChar(0x142))) << "a secret in a message";
    }
    EXPECT_EQ(Accounts::LoadUsers().users, (QStringList{"Alice", "Dave"}));
    EXPECT_TRUE(Accounts::CheckPassword("alice", "wonder1"));
    EXPECT_EQ(GetValue("Dave", "WarnPWResetToUserName"), QStringLiteral("True")); // left as it was

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

TEST(Accounts, NamesThatWouldBreakTheStoreLayoutOrShareAnotherUsersKeysAreRefused) {
    TempStore temp;
    ScriptedBoxes boxes;
    const QString characters =
        QStringLiteral("A UserName cannot contain \\ = [ ] or a line break, and cannot begin with ;.");
    const QString own = QStringLiteral("The program keeps its own settings under the name '%1'.");
    const struct {
        QString name, why;
    } unusable[] = {
        {"a\\b", characters},
        {"[x]", characters},
        {";x", characters},
        {"tab\tname", characters},
        {"general", own.arg("general")},
        // "-1" deletes a whole key: deleting such a user would delete every user.
        {"-1", own.arg("-1")},
        {QString(101, QLatin1Char('x')), "A UserName can be at most 100 characters long."},
    };
    for (const auto& c : unusable) {
        SCOPED_TRACE(c.name.toStdString());
        boxes.Answer(msgbox::OK);
        LoginFields fields{c.name, "pass1", "", "pass1"};
        const LoginStep step = Accounts().DoNewUser(fields);
        EXPECT_EQ(step.focus, LoginField::UserName);
        EXPECT_EQ(boxes.lastText(), "This name cannot be used as a UserName. " + c.why +
                                        " Please select another User Name!\r\r");
    }
    EXPECT_EQ(GetValue("General", "Users", 0), QStringLiteral("0"));

    // A name whose keys are some of another user's, in either direction, would mix the two users'
    // settings: refused, naming the other user, with nothing written.
    createUser("Hal", "halhal", boxes);
    createUser("IvyBMs", "ivyivy", boxes);
    const QStringList before = dumpStore();
    const struct {
        const char *name, *other;
    } shared[] = {{"halHistory", "Hal"}, {"HalIELinks", "Hal"}, {"Ivy", "IvyBMs"}, {"ivybmsbms", "IvyBMs"}};
    for (const auto& c : shared) {
        SCOPED_TRACE(c.name);
        boxes.Answer(msgbox::OK);
        LoginFields fields{c.name, "pass1", "", "pass1"};
        EXPECT_EQ(Accounts().DoNewUser(fields).focus, LoginField::UserName);
        EXPECT_EQ(boxes.lastText(), kShared.arg(c.name, c.other) + " Please select another User Name!\r\r");
    }
    EXPECT_EQ(dumpStore(), before);
    // Its keys start with the other user's name but are none of that user's keys.
    createUser("IvyBMsX", "ivyivy", boxes);
    EXPECT_EQ(Accounts::LoadUsers().users, (QStringList{"Hal", "Ivybms", "Ivybmsx"}));
    EXPECT_EQ(GetValue("General", "Users"), QStringLiteral("3"));
}

TEST(Accounts, OldSettingsGetTheirSiteUserNamesEncryptedOnceAtLogin) {
    TempStore temp;
    ScriptedBoxes boxes;
    // Written by an old version: user names in plain text, no Version.
    SaveValue("General", "Users", "1");
    SaveUserPassword("Users", "frank", "frank99", "");
    App() = AppState();
    SaveValue("frank", "Caption1", "Forum");
    SaveValue("frank", "UserName1", "frank.f");
    SaveValue("frank", "UserName2", "");
    const auto logIn = [](const QString& name) {
        App() = AppState();
        LoginFields fields{name, "frank99", "", ""};
        return Accounts().DoLogin(fields).outcome;
    };
    ASSERT_EQ(logIn("Frank"), LoginStep::Succeeded);
    EXPECT_EQ(GetValue("frank", "Version"), QStringLiteral("152"));
    EXPECT_EQ(GetValue("frank", "UserName1", "", true), QStringLiteral("frank.f"));
    EXPECT_EQ(GetValue("frank", "UserName2"), QString());
    EXPECT_EQ(GetValue("frank", "Caption1"), QStringLiteral("Forum"));
    // Once upgraded, never again.
    const QString once = GetValue("frank", "UserName1");
    ASSERT_EQ(logIn("frank"), LoginStep::Succeeded);
    EXPECT_EQ(GetValue("frank", "UserName1"), once);
}
