#include <QDir>
#include <QFileInfo>

#include "core/AppPaths.h"
#include "core/PasswordChange.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/Links.h"
#include "users/DeleteUser.h"
#include "users/DeleteUserDialog.h"
#include "users/LoginDialog.h"
#include "users/StartUp.h"
#include "users/UserOptions.h"
#include "UsersSupport.h"

using namespace core;
using namespace userstest;

namespace {

const char* const kKeys[] = {"", "Urls", "BMs", "History", "IELinks", "Permissions"};

// Gives a user something in every key that belongs to it, and a web profile with a cookie file.
void fillUser(const QString& user) {
    for (const char* key : kKeys)
        SaveValue(user + key, "Item", "http://some.example/");
    QDir().mkpath(AppPaths::UserProfileFolder(user) + "/Cache");
    SaveBytes(AppPaths::UserProfileFolder(user) + "/Cookies", "session=1");
}

bool anythingOf(const QString& user) {
    bool found = ValueExists("Users", user) || QFileInfo::exists(AppPaths::UserProfileFolder(user));
    for (const char* key : kKeys)
        found = found || SettingsStore::Current()->FindKey("Software\\Bramblegate\\" + user + key) >= 0;
    return found;
}

// Presses OK; one box comes (no box, or a second, fails the strict seams), answered `answer`.
void okWithBox(QDialog& f, ScriptedBoxes& boxes, msgbox::Result answer = msgbox::OK) {
    boxes.Answer(answer);
    click(f, "cmdOK");
}

} // namespace

// Every message of the login, new-user, password-change and deletion logic, and where the focus
// goes, checked once here; the dialog tests only check that a box came.
TEST(Accounts, EveryMessageWhereTheFocusGoesNoNameThatBreaksTheStoreAndOldSettingsUpgradedOnce) {
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
        runAs("alice", "wonder1");
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
    runAs("four", "abcd");
    LoginFields twelve{"", "abcd", "123456789012", "123456789012"};
    boxes.Answer(msgbox::Yes);
    EXPECT_EQ(Accounts().DoSetNewPW(twelve).outcome, LoginStep::Succeeded);
    EXPECT_TRUE(Accounts::CheckPassword("four", "123456789012"));

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

TEST(DeleteUser, AnotherUserGoesWithEverythingOfItsOwnAndDeletingOneselfEndsTheProgram) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    EndRequests ends;
    createAndLogIn("kim", "kim-pass", boxes);
    fillUser("kim");
    createAndLogIn("Lou Reed", "lou-pass", boxes);
    fillUser("Lou Reed");
    runAs("Kim", "kim-pass"); // logged in as typed

    dialogs.Next([&](QDialog& f) {
        f.show(); // so that isVisible() tells whether it closed
        boxes.Answer(msgbox::OK);
        click(f, "cmdOK");
        nameBox(f)->setText("LOU REED");
        // The running user's password, then wrong ones: there is no limit.
        for (const char* wrong : {"kim-pass", "wrong1", "wrong2", "wrong3"}) {
            type(f, "txtPassword", wrong);
            boxes.Answer(msgbox::OK);
            click(f, "cmdOK");
        }
        // No to the question: the dialog stays and nothing is gone.
        type(f, "txtPassword", " lou-pass ");
        boxes.Answer(msgbox::No).Answer(msgbox::Yes).Answer(msgbox::OK);
        click(f, "cmdOK");
        EXPECT_TRUE(ValueExists("Users", "Lou Reed"));
        click(f, "cmdOK");
        EXPECT_EQ(boxes.lastText(), QStringLiteral("User 'LOU REED' deleted successfully. \r\r"));
        EXPECT_FALSE(f.isVisible());
        return f.result();
    });
    EXPECT_FALSE(DeleteUserDialog::Run());
    EXPECT_FALSE(anythingOf("Lou Reed"));
    EXPECT_EQ(GetValue("General", "LastUser"), QStringLiteral("Lou Reed")); // not the one logged in

    // Users written before names were checked: "-1" (which addresses a whole key) and two users
    // whose keys overlap.
    for (const char* name : {"-1", "Bob", "BobHistory"}) {
        SaveValue("Users", name, SecretCipher::EncryptMessage(name, name));
        fillUser(name);
    }
    SaveValue("General", "Users", "4");
    for (const char* name : {"-1", "Bob"}) {
        SCOPED_TRACE(name);
        boxes.Answer(msgbox::OK);
        EXPECT_FALSE(UserDeletion::DeleteUser(name));
        EXPECT_FALSE(ValueExists("Users", name) || ValueExists(name, "Item") ||
                     ValueExists(QString(name) + "BMs", "Item"));
    }
    EXPECT_EQ(Accounts::LoadUsers().users, (QStringList{"Kim", "Bobhistory"}));
    EXPECT_EQ(GetValue("General", "Users"), QStringLiteral("2"));
    // The running user keeps everything and the program goes on; Bob's history key is
    // BobHistory's own: it stays with that user.
    for (const char* key : {"kimHistory", "BobHistory", "BobHistoryUrls"})
        EXPECT_EQ(GetValue(key, "Item"), QStringLiteral("http://some.example/")) << key;
    EXPECT_TRUE(QFileInfo::exists(AppPaths::UserProfileFolder("kim") + "/Cookies"));
    EXPECT_EQ(Links("kim").Count(), 2);
    EXPECT_TRUE(!App().EndingOnError && ends.unloads == 0);

    // Deleting oneself ends the program without saving and forgets the last user.
    QStringList cleared;
    UserDeletion::SetWebDataRemover([&](const QString& user) { cleared << user; });
    boxes.Clear();
    dialogs.Next([&](QDialog& f) {
        nameBox(f)->setText("kim");
        type(f, "txtPassword", "kim-pass");
        boxes.Answer(msgbox::Yes).Answer(msgbox::OK);
        click(f, "cmdOK");
        EXPECT_EQ(ends.unloads, 0); // the frame goes after the dialog has closed
        return f.result();
    });
    EXPECT_TRUE(DeleteUserDialog::Run());
    EXPECT_EQ(boxes.lastText(), "User 'kim' deleted successfully. \r\rBramblegate needs to exit now. You may "
                                "restart the Application if you wish. \r\r");
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("DeleteUser"));
    EXPECT_TRUE(App().EndingOnError && ends.unloads == 1);
    EXPECT_FALSE(anythingOf("Kim"));
    EXPECT_EQ(GetValue("General", "Users") + GetValue("General", "LastUser"), QStringLiteral("1"));
    // What the engine holds of the user in memory went at once.
    EXPECT_EQ(cleared, QStringList{"kim"});
    UserDeletion::SetWebDataRemover({});
    // The engine still runs in the deleted user's profile and writes its last files on the way
    // out; they go too once it has stopped.
    QDir().mkpath(AppPaths::UserProfileFolder("KIM") + "/Cache");
    UserDeletion::RemovePendingProfileFolders();
    EXPECT_FALSE(QFileInfo::exists(AppPaths::UserProfileFolder("Kim")));

    // Had the program been killed before the engine let go, its files would still be there: the
    // next start removes them, and a new user of the same name never finds them either way.
    temp.Reopen();
    EXPECT_EQ(Accounts::LoadUsers().users, QStringList{"Bobhistory"});
    fillUser("Kim");
    UserDeletion::RemoveLeftoverProfileFolders();
    EXPECT_FALSE(QFileInfo::exists(AppPaths::UserProfileFolder("Kim")));
    EXPECT_TRUE(QFileInfo::exists(AppPaths::UserProfileFolder("BobHistory") + "/Cookies"));
    fillUser("Kim");
    createAndLogIn("kim", "new-pass", boxes);
    EXPECT_FALSE(QFileInfo::exists(AppPaths::UserProfileFolder("Kim") + "/Cookies"));
}

TEST(LoginDialog, FirstRunCreatesAUserWithItsStartingLinksAndNamesCompleteFromTheList) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    dialogs.Next([&](QDialog& f) {
        f.show(); // so that isVisible() tells whether it closed
        // No user yet: OK creates the first one, with the name and password trimmed.
        nameBox(f)->setText("  Carol Jones ");
        type(f, "txtPassword", "  pass1 ");
        type(f, "txtNewPassword2", "pass1");
        okWithBox(f, boxes, msgbox::Yes);
        EXPECT_FALSE(f.isVisible());
        return f.result();
    });
    ASSERT_TRUE(StartUp::Login());
    EXPECT_TRUE(App().NewUserCreated && App().PassPhrase == "pass1");
    EXPECT_EQ(GetValue("General", "Users") + GetValue("General", "LastUser") +
                  GetValue("Carol Jones", "Version"),
              QStringLiteral("1Carol Jones152"));

    Links links("Carol Jones");
    ASSERT_EQ(links.Count(), 2);
    const Link* home = links.ControlOrderItem(0);
    const Link* help = links.ControlOrderItem(1);
    EXPECT_EQ(home->Caption() + "|" + help->Caption(), QStringLiteral("Home Page$$|Getting Started"));
    EXPECT_EQ(home->URLEnc(), SecretCipher::EncryptMessage("BGDummy", "pass1"));
    EXPECT_TRUE(help->URL().endsWith("/help/quickstart.asp"));
    for (const Link* link : {home, help}) {
        EXPECT_TRUE(link->AutoNavigate() && link->HidePopUps() && !link->ReqLogin());
        EXPECT_EQ(link->UserName() + link->Password() + link->SelectOption() + link->NavigateAfterLogin(),
                  "");
    }

    // Typing a user name completes it from the list.
    for (const char* name : {"alice", "albert", "bob"})
        createUser(name, "pass1", boxes);
    LoginDialog f;
    showActive(f);
    QLineEdit* box = nameBox(f);
    box->clear();
    box->setFocus();
    const struct {
        Qt::Key key;
        const char *text, *selected;
    } keys[] = {{Qt::Key_A, "alice", "lice"},
                {Qt::Key_L, "alice", "ice"},
                {Qt::Key_B, "albert", "ert"},
                {Qt::Key_X, "albx", ""}};
    for (const auto& k : keys) {
        QTest::keyClick(box, k.key);
        EXPECT_EQ(box->text(), QLatin1String(k.text));
        EXPECT_EQ(box->selectedText(), QLatin1String(k.selected));
    }
    // What was typed keeps its case; Delete takes the completion away.
    box->clear();
    QTest::keyClicks(box, "BO", Qt::ShiftModifier);
    EXPECT_EQ(box->text(), QStringLiteral("BOb"));
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->text(), QStringLiteral("BO"));
    // Not while creating a user.
    click(f, "optNew");
    QTest::keyClicks(box, "al");
    EXPECT_EQ(box->text(), QStringLiteral("al"));
}

TEST(LoginDialog, LogsInWithTheNameInAnyCaseVerifiesAndChangesThePasswordAndTheSixthWrongOneEnds) {
    TempStore temp;
    ScriptedBoxes boxes;
    createUser("alice smith", "wonder1", boxes);
    createUser("Bob", "builder", boxes);
    ScriptedDialogs dialogs;
    dialogs.Next([&](QDialog& f) {
        auto* users = child<QComboBox>(f, "cmbUserName");
        EXPECT_EQ(users->itemText(0) + users->itemText(1) + users->currentText(), // the last user
                  QStringLiteral("Alice SmithBobBob"));
        nameBox(f)->setText("nobody");
        type(f, "txtPassword", "whatever");
        okWithBox(f, boxes);
        EXPECT_LT(temp.store().FindKey("Software\\Bramblegate\\nobody"), 0); // nothing made for it
        nameBox(f)->setText("ALICE SMITH");
        type(f, "txtPassword", " wonder1  ");
        click(f, "cmdOK");
        return f.result();
    });
    ASSERT_TRUE(StartUp::Login());
    EXPECT_EQ(App().CurrentUser, QStringLiteral("ALICE SMITH"));
    EXPECT_EQ(GetValue("General", "LastUser"), QStringLiteral("Alice Smith"));

    // Verifying the master password: the third wrong one does not end the program, and the
    // session stays as it was either way.
    dialogs.Next([&](QDialog& f) {
        type(f, "txtPassword", "wonder1");
        click(f, "cmdOK");
        return f.result();
    });
    EXPECT_TRUE(LoginDialog::RunVerify());
    boxes.Answer(msgbox::OK).Answer(msgbox::OK); // and none for the third: no "will exit now"
    dialogs.Next([&](QDialog& f) {
        for (const char* wrong : {"a1", "b2", "c3"}) {
            type(f, "txtPassword", wrong);
            click(f, "cmdOK");
        }
        return f.result();
    });
    EXPECT_FALSE(LoginDialog::RunVerify());
    EXPECT_TRUE(App().LoginOK && App().PassPhrase == "wonder1");

    // Changing the password; what it re-encrypts is checked with the Links
    // (links.LinksTest.APasswordChangeReEncryptsTheStoreAndTheLinksInMemoryOrNothing) and under kills.
    dialogs.Next([&](QDialog& f) {
        type(f, "txtPassword", "wonder1");
        type(f, "txtNewPassword", "newpass9");
        type(f, "txtNewPassword2", "newpass8");
        okWithBox(f, boxes);
        type(f, "txtNewPassword", " newpass9");
        type(f, "txtNewPassword2", "newpass9 ");
        okWithBox(f, boxes, msgbox::Yes);
        return f.result();
    });
    LoginDialog::RunChangePassword();
    EXPECT_TRUE(Accounts::CheckPassword("alice smith", "newpass9"));

    App() = AppState();
    dialogs.Next([&](QDialog& f) {
        type(f, "txtPassword", "builder");
        click(f, "cmdCancel");
        return f.result();
    });
    EXPECT_FALSE(StartUp::Login());
    EXPECT_TRUE(!App().LoginOK && App().PassPhrase.isEmpty()); // nothing keeps a typed password

    // The password prompt: five wrong passwords are answered and the sixth ends the program.
    EndRequests ends;
    createAndLogIn("Gina", "gina1234", boxes);
    dialogs.Next([&](QDialog& f) {
        f.show(); // so that isVisible() tells whether it closed
        EXPECT_TRUE(PasswordPrompt::IsOpen());
        for (int i = 1; i <= 4; ++i) {
            type(f, "txtPassword", i == 1 ? QString() : QStringLiteral(" wrong%1 ").arg(i));
            okWithBox(f, boxes);
            EXPECT_EQ(boxes.lastText(), QStringLiteral("Invalid Password, try again!\r\r"));
        }
        type(f, "txtPassword", "GINA1234"); // case matters
        okWithBox(f, boxes);
        EXPECT_EQ(boxes.lastText(),
                  "Invalid Password. You have one more chance to enter a correct Password.\r"
                  "Otherwise the application will exit.\r\r");
        type(f, "txtPassword", "still wrong");
        click(f, "cmdOK"); // the sixth ends without a word
        EXPECT_FALSE(f.isVisible());
        EXPECT_EQ(ends.unloads, 0); // not before the prompt has closed
        return f.result();
    });
    EXPECT_FALSE(VerifyPassword(QString(), "Gina", GetValue("Users", "Gina")));
    EXPECT_TRUE(ends.unloads == 1 && !PasswordPrompt::IsOpen() && App().PassPhrase == "gina1234");
    // A blank stored password matches nothing, not even the empty one; nor does text outside the
    // code page.
    EXPECT_FALSE(PasswordPrompt::PasswordMatches("   ", "") ||
                 PasswordPrompt::PasswordMatches(GetValue("Users", "Gina"), "gina\u0161"));
}
