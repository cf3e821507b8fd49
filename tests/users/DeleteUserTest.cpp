#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/AppPaths.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/Links.h"
#include "users/DeleteUser.h"
#include "users/DeleteUserDialog.h"
#include "UsersSupport.h"

using namespace userstest;
using namespace core;

namespace {

// Gives a user something in every key that belongs to it, and a web profile with a cookie file.
void fillUser(const QString& user) {
    for (const char* key : {"", "Urls", "BMs", "History", "IELinks", "Permissions"})
        SaveValue(user + key, "Item", "http://some.example/");
    const QString profile = AppPaths::UserProfileFolder(user);
    QDir().mkpath(profile + "/Cache");
    QFile cookies(profile + "/Cookies");
    ASSERT_TRUE(cookies.open(QIODevice::WriteOnly));
    cookies.write("session=1");
}

bool anythingOf(const QString& user) {
    if (ValueExists("Users", user)) return true;
    for (const char* key : {"", "Urls", "BMs", "History", "IELinks", "Permissions"})
        if (SettingsStore::Current()->FindKey("Software\\Bramblegate\\" + user + key) >= 0) return true;
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

    dialogs.Next([&](QDialog& f) {
        showActive(f);
        boxes.Answer(msgbox::OK);
        click(f, "cmdOK");
        expectFocusedAndSelected(nameBox(f), "empty name");
        nameBox(f)->setText("LOU REED");
        // The running user's password, then wrong ones: there is no limit.
        for (const char* wrong : {"kim-pass", "wrong1", "wrong2", "wrong3"}) {
            type(f, "txtPassword", wrong);
            boxes.Answer(msgbox::OK);
            click(f, "cmdOK");
            expectFocusedAndSelected(edit(f, "txtPassword"), wrong);
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
    EXPECT_EQ(GetValue("General", "Users"), QStringLiteral("1"));
    EXPECT_EQ(GetValue("General", "LastUser"), QStringLiteral("Lou Reed")); // not the one logged in
    // The running user keeps everything and the program goes on.
    EXPECT_EQ(GetValue("kimHistory", "Item"), QStringLiteral("http://some.example/"));
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

    dialogs.Next([&](QDialog& f) {
        nameBox(f)->setText("max");
        type(f, "txtPassword", "max-pass");
        boxes.Answer(msgbox::Yes).Answer(msgbox::OK);
        click(f, "cmdOK");
        EXPECT_EQ(ends.unloads, 0); // the frame goes after the dialog has closed
        return f.result();
    });
    EXPECT_TRUE(DeleteUserDialog::Run());
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.lastText(), "User 'max' deleted successfully. \r\rBramblegate needs to exit now. You may "
                                "restart the Application if you wish. \r\r");
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("DeleteUser"));
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

    // Had the program been killed before the engine let go, its files would still be there: the
    // next start removes them, and a new user of the same name never finds them either way.
    temp.Reopen();
    EXPECT_TRUE(Accounts::LoadUsers().users.isEmpty());
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
        boxes.Answer(msgbox::OK);
        EXPECT_FALSE(UserDeletion::DeleteUser(name));
        EXPECT_FALSE(ValueExists("Users", name));
        EXPECT_FALSE(ValueExists(name, "Item"));
        EXPECT_FALSE(ValueExists(QString(name) + "BMs", "Item"));
    }
    EXPECT_EQ(Accounts::LoadUsers().users, (QStringList{"Kim", "Bobhistory"}));
    EXPECT_EQ(GetValue("General", "Users"), QStringLiteral("2"));
    EXPECT_EQ(GetValue("Kim", "Item"), QStringLiteral("http://some.example/"));
    // Bob's history key is BobHistory's own: it stays with that user.
    EXPECT_EQ(GetValue("BobHistory", "Item"), QStringLiteral("http://some.example/"));
    EXPECT_EQ(GetValue("BobHistoryUrls", "Item"), QStringLiteral("http://some.example/"));
}
