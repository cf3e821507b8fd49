#include <QDir>
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

const char* const kKeys[] = {"", "Urls", "BMs", "History", "IELinks", "Permissions"};

// Gives a user something in every key that belongs to it, and a web profile with a cookie file.
void fillUser(const QString& user) {
    for (const char* key : kKeys)
        SaveValue(user + key, "Item", "http://some.example/");
    QDir().mkpath(AppPaths::UserProfileFolder(user) + "/Cache");
    writeBytes(AppPaths::UserProfileFolder(user) + "/Cookies", "session=1");
}

bool anythingOf(const QString& user) {
    bool found = ValueExists("Users", user) || QFileInfo::exists(AppPaths::UserProfileFolder(user));
    for (const char* key : kKeys)
        found = found || SettingsStore::Current()->FindKey("Software\\Bramblegate\\" + user + key) >= 0;
    return found;
}

} // namespace

TEST(DeleteUser, AnotherUserGoesWithEverythingOfItsOwnAndDeletingOneselfEndsTheProgram) {
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
    struct Unset {
        ~Unset() { UserDeletion::SetWebDataRemover({}); }
    } unset;
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
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.lastText(), "User 'kim' deleted successfully. \r\rBramblegate needs to exit now. You may "
                                "restart the Application if you wish. \r\r");
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("DeleteUser"));
    EXPECT_TRUE(App().EndingOnError && ends.unloads == 1);
    EXPECT_FALSE(anythingOf("Kim"));
    EXPECT_EQ(GetValue("General", "Users") + GetValue("General", "LastUser"), QStringLiteral("1"));
    // What the engine holds of the user in memory went at once.
    EXPECT_EQ(cleared, QStringList{"kim"});
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
