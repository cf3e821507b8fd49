#include <gtest/gtest.h>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include "core/AppPaths.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/Links.h"
#include "users/DeleteUser.h"
#include "users/DeleteUserDialog.h"
#include "UsersSupport.h"

using namespace logintest;
using namespace userstest;
using namespace core;

namespace {

const QString CR2 = QStringLiteral("\r\r");

DeleteUserDialog& asDelete(QDialog& dialog) {
    return static_cast<DeleteUserDialog&>(dialog);
}

void expectBox(const ScriptedBoxes& boxes, const QString& text, const QString& title, msgbox::Icon icon) {
    ASSERT_GT(boxes.count(), 0);
    EXPECT_EQ(boxes.lastText(), text);
    EXPECT_EQ(boxes.lastTitle(), title);
    EXPECT_EQ(boxes.shown().last().icon, icon);
}

// Gives a user something in every key that belongs to it, and a web profile with a cookie file.
void fillUser(const QString& user) {
    SaveValue(user, "SearchChoice", "Web");
    SaveValue(user + "Urls", "Url0", "http://typed.example/");
    SaveValue(user + "BMs", "BM1", "http://bookmark.example/");
    SaveValue(user + "History", "H1", "http://visited.example/");
    SaveValue(user + "IELinks", "L1", "http://bar.example/");
    SaveValue(user + "Permissions", "https://meet.example|Camera", "Allow");
    const QString profile = AppPaths::UserProfileFolder(user);
    QDir().mkpath(profile + "/Cache");
    QFile cookies(profile + "/Cookies");
    ASSERT_TRUE(cookies.open(QIODevice::WriteOnly));
    cookies.write("session=1");
}

bool anythingOf(const QString& user) {
    if (ValueExists("Users", user)) return true;
    for (const QString& key :
         {user, user + "Urls", user + "BMs", user + "History", user + "IELinks", user + "Permissions"})
        if (SettingsStore::Current()->FindKey("Software\\Bramblegate\\" + key) >= 0) return true;
    return QFileInfo::exists(AppPaths::UserProfileFolder(user));
}

} // namespace

TEST(DeleteUser, AnotherUserGoesWithEverythingAfterAnyNumberOfWrongPasswords) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    EndRequests ends;
    createAndLogIn("kim", "kim-pass", boxes);
    fillUser("kim");
    createAndLogIn("Lou Reed", "lou-pass", boxes);
    fillUser("Lou Reed");
    App().CurrentUser = "Kim"; // logged in as typed
    App().PassPhrase = "kim-pass";
    ASSERT_EQ(GetValue("General", "Users"), QStringLiteral("2"));
    const QString title = "DeleteUser";

    dialogs.Next([&](QDialog& d) {
        DeleteUserDialog& f = asDelete(d);
        showActive(f);
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Delete User"));
        QStringList listed;
        for (int i = 0; i < f.UserNameCombo()->count(); ++i)
            listed << f.UserNameCombo()->itemText(i);
        EXPECT_EQ(listed, (QStringList{"Kim", "Lou Reed"}));

        f.OkButton()->click();
        expectBox(boxes, "Please enter UserName for the User to be deleted. Try again!" + CR2, title,
                  msgbox::Exclamation);
        expectFocusedAndSelected(f.UserNameCombo()->lineEdit(), "empty name");

        f.UserNameCombo()->setEditText("  nobody ");
        f.OkButton()->click();
        expectBox(boxes, "Invalid User Name. Try again!" + CR2, title, msgbox::Exclamation);
        EXPECT_EQ(f.UserNameCombo()->currentText(), QStringLiteral("nobody"));
        expectFocusedAndSelected(f.UserNameCombo()->lineEdit(), "unknown name");

        f.UserNameCombo()->setEditText("LOU REED");
        for (int i = 0; i < 7; ++i) {
            f.PasswordEdit()->setText(i == 0 ? QString("kim-pass") : QString("wrong%1").arg(i));
            f.OkButton()->click();
            expectBox(boxes, "Invalid Password. Try again!" + CR2, title, msgbox::Exclamation);
            expectFocusedAndSelected(f.PasswordEdit(), "wrong password");
        }
        EXPECT_TRUE(f.isVisible());

        // No to the question: the dialog stays and nothing is gone.
        f.PasswordEdit()->setText(" lou-pass ");
        boxes.Answer(msgbox::No);
        f.OkButton()->click();
        expectBox(
            boxes,
            "Are you sure you want to delete all settings of User 'LOU REED' from \r\nBramblegate? This "
            "action cannot be undone later." +
                CR2,
            "Delete User", msgbox::Critical);
        EXPECT_EQ(boxes.shown().last().buttons, msgbox::YesNo);
        EXPECT_TRUE(f.isVisible());
        EXPECT_TRUE(ValueExists("Users", "Lou Reed"));

        f.OkButton()->click(); // Yes
        expectBox(boxes, "User 'LOU REED' deleted successfully. " + CR2, title, msgbox::Information);
        EXPECT_FALSE(f.isVisible());
        return f.result();
    });
    EXPECT_FALSE(DeleteUserDialog::Run());

    EXPECT_FALSE(anythingOf("Lou Reed"));
    EXPECT_EQ(GetValue("General", "Users"), QStringLiteral("1"));
    EXPECT_EQ(GetValue("General", "LastUser"), QStringLiteral("Lou Reed")); // not the one logged in
    EXPECT_EQ(Accounts::LoadUsers().users, QStringList{"Kim"});
    // The running user keeps everything and the program goes on.
    EXPECT_EQ(GetValue("kim", "SearchChoice"), QStringLiteral("Web"));
    EXPECT_EQ(GetValue("kimHistory", "H1"), QStringLiteral("http://visited.example/"));
    EXPECT_TRUE(QFileInfo::exists(AppPaths::UserProfileFolder("kim") + "/Cookies"));
    EXPECT_EQ(Links("kim").Count(), 2);
    EXPECT_FALSE(App().EndingOnError);
    EXPECT_EQ(ends.unloads, 0);
}

TEST(DeleteUser, DeletingOneselfEndsTheProgramWithoutSavingAndForgetsTheLastUser) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    EndRequests ends;
    createAndLogIn("Max", "max-pass", boxes);
    fillUser("Max");
    SaveValue("General", "Users", "0"); // a count that is already off stays at 0
    QStringList cleared;
    UserDeletion::SetWebDataRemover([&](const QString& user) { cleared << user; });
    struct Unset {
        ~Unset() { UserDeletion::SetWebDataRemover({}); }
    } unset;
    ASSERT_EQ(GetValue("General", "LastUser"), QStringLiteral("Max"));

    dialogs.Next([&](QDialog& d) {
        DeleteUserDialog& f = asDelete(d);
        f.UserNameCombo()->setEditText("max");
        f.PasswordEdit()->setText("max-pass");
        f.OkButton()->click();
        EXPECT_EQ(ends.unloads, 0); // the frame goes after the dialog has closed
        return f.result();
    });
    EXPECT_TRUE(DeleteUserDialog::Run());

    ASSERT_EQ(boxes.count(), 2);
    expectBox(boxes,
              "User 'max' deleted successfully. " + CR2 +
                  "Bramblegate needs to exit now. You may restart the Application if you wish. " + CR2,
              "DeleteUser", msgbox::Information);
    EXPECT_TRUE(App().EndingOnError);
    EXPECT_EQ(ends.unloads, 1);
    EXPECT_FALSE(anythingOf("Max"));
    EXPECT_EQ(GetValue("General", "Users"), QStringLiteral("0"));
    EXPECT_EQ(GetValue("General", "LastUser"), QString());

    // What the engine holds of the user in memory went at once.
    EXPECT_EQ(cleared, QStringList{"max"});
    // The engine still runs in the deleted user's profile and writes its last files on the way
    // out; they go too once it has stopped.
    QDir().mkpath(AppPaths::UserProfileFolder("MAX") + "/Cache");
    UserDeletion::RemovePendingProfileFolders();
    EXPECT_FALSE(QFileInfo::exists(AppPaths::UserProfileFolder("Max")));

    // The next start offers no one.
    temp.Reopen();
    EXPECT_TRUE(Accounts::LoadUsers().users.isEmpty());
    EXPECT_EQ(Accounts::LoadUsers().lastUser, QString());

    // Had the program been killed before the engine let go, its files would still be there: the
    // next start removes them, and a new user of the same name never finds them either way.
    fillUser("Max");
    fillUser("Kim");
    SaveValue("Users", "Kim", "kim-record");
    UserDeletion::RemoveLeftoverProfileFolders();
    EXPECT_FALSE(QFileInfo::exists(AppPaths::UserProfileFolder("Max")));
    EXPECT_TRUE(QFileInfo::exists(AppPaths::UserProfileFolder("Kim") + "/Cookies"));
    fillUser("Max");
    createAndLogIn("max", "new-pass", boxes);
    EXPECT_FALSE(QFileInfo::exists(AppPaths::UserProfileFolder("Max") + "/Cookies"));
}

TEST(DeleteUser, NamesFromBeforeTheyWereCheckedDeleteOnlyTheirOwnSettings) {
    TempStore temp;
    ScriptedBoxes boxes;
    createAndLogIn("Kim", "kim-pass", boxes);
    fillUser("Kim");
    // Written before names were checked: "-1" (which addresses a whole key) and two users whose
    // keys overlap.
    for (const char* name : {"-1", "Bob", "BobHistory"}) {
        SaveValue("Users", name, SecretCipher::EncryptMessage(name, name));
        fillUser(name);
    }
    SaveValue("General", "Users", "4");

    for (const char* name : {"-1", "Bob"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(UserDeletion::DeleteUser(name));
        EXPECT_FALSE(ValueExists("Users", name));
        EXPECT_FALSE(ValueExists(name, "SearchChoice"));
        EXPECT_FALSE(ValueExists(QString(name) + "BMs", "BM1"));
    }
    EXPECT_EQ(Accounts::LoadUsers().users, (QStringList{"Kim", "Bobhistory"}));
    EXPECT_EQ(GetValue("General", "Users"), QStringLiteral("2"));
    EXPECT_EQ(GetValue("Kim", "SearchChoice"), QStringLiteral("Web"));
    // Bob's history key is BobHistory's own: it stays with that user.
    EXPECT_EQ(GetValue("BobHistory", "SearchChoice"), QStringLiteral("Web"));
    EXPECT_EQ(GetValue("BobHistoryUrls", "Url0"), QStringLiteral("http://typed.example/"));
}
