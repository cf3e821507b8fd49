// Saves that the store refuses (read-only file, busy past the timeout, disk full): nothing of them
// is kept, in the store or in memory, and the user is told in plain words.
#include "core/Errors.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/Links.h"
#include "support/StoreFault.h"
#include "users/DeleteUser.h"
#include "users/SettingsTransfer.h"
#include "UsersSupport.h"

using namespace userstest;
using namespace core;

namespace {

class FailedSaves : public ::testing::TestWithParam<StoreFault::Kind> {};

TEST_P(FailedSaves, NothingOfARefusedSaveIsKeptAndTheUserIsTold) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    EndRequests ends;
    QStringList before;
    const QString reason = StoreFault::kReasons[GetParam()];
    // Runs `save` while the store fails, and returns what it returned.
    const auto underFault = [&](const auto& save) {
        before = dumpStore();
        StoreFault fault(GetParam());
        return save();
    };
    // The one box shown says why, and the store is as it was.
    const auto expectRefused = [&](const QString& what, const QString& after, const char* title) {
        EXPECT_EQ(boxes.lastText(), what + ": " + reason + ". " + after + "\r\r");
        EXPECT_EQ(boxes.lastTitle(), QLatin1String(title));
        EXPECT_EQ(dumpStore(), before);
    };
    createAndLogIn("Ann", "annpass1", boxes);
    Links links("Ann");
    links.Add("Bank", SecretCipher::EncryptMessage("https://bank.example/"),
              SecretCipher::EncryptMessage("ann.b"), SecretCipher::EncryptMessage("s3cret"), "", "", false,
              true);

    // Links go back to where the store has them, and the user is asked to retry.
    const auto state = [&] {
        QStringList out;
        for (Link* link : links)
            out << link->Caption() + link->Password() +
                       QString::number(link->ControlOrder() * 100 + link->Slot()) +
                       (link->Deleted() ? "deleted" : "");
        return out;
    };
    const QStringList held = state();
    const std::function<void()> saves[] = {
        [&] { links.Add("New", "", "", "", "", "", false, false); },
        [&] { links.Add("Inserted", "", "", "", "", "", false, false, 0, true); },
        [&] { links.UpdateLink(3, "Renamed", "", "", "", "", "", true, false); },
        [&] { links.Remove(1); },
        [&] {
            links.MoveLink(1, 3);
            links.SaveLinks(false);
        },
    };
    underFault([&] {
        for (const auto& save : saves) {
            boxes.Clear();
            boxes.Answer(msgbox::Cancel);
            EXPECT_FALSE(Errors::Guarded("Test", "Save", save));
            EXPECT_EQ(boxes.texts(), QStringList{"Your Links could not be saved: " + reason + ".\r\r"});
            EXPECT_EQ(boxes.shown().last().buttons, msgbox::RetryCancel);
            EXPECT_EQ(state(), held);
        }
    });
    EXPECT_EQ(dumpStore(), before);

    // A password change keeps the old password in the store and in memory.
    const QString heldPassword = links.Item(3)->PasswordEnc();
    LoginFields change{"", "annpass1", "newpass2", "newpass2"};
    boxes.Answer(msgbox::Yes).Answer(msgbox::OK);
    EXPECT_EQ(underFault([&] { return Accounts().DoSetNewPW(change).outcome; }), LoginStep::Stay);
    expectRefused("Your new password could not be saved", "Your password has not been changed.",
                  "Change Password");
    EXPECT_TRUE(App().PassPhrase == "annpass1" && links.Item(3)->PasswordEnc() == heldPassword);
    // What the running program saves later is still readable after a restart.
    links.SaveLinks(true);
    temp.Reopen();
    App() = AppState();
    LoginFields login{"Ann", "annpass1", "", ""};
    ASSERT_EQ(Accounts().DoLogin(login).outcome, LoginStep::Succeeded);
    EXPECT_EQ(Links("Ann").Item(3)->Password(), QStringLiteral("s3cret"));

    // A new user is not created at all, and nothing half-made stands in the way of a second try.
    const AppState app = App();
    Accounts accounts;
    LoginFields bob{"Bob", "bobpass1", "", "bobpass1"};
    boxes.Answer(msgbox::Yes).Answer(msgbox::OK);
    EXPECT_EQ(underFault([&] { return accounts.DoNewUser(bob).outcome; }), LoginStep::Stay);
    expectRefused("The new User could not be saved", "No User was created.", "Create A New User");
    EXPECT_TRUE(App().CurrentUser == app.CurrentUser && App().PassPhrase == app.PassPhrase &&
                !App().NewUserCreated);
    boxes.Answer(msgbox::Yes);
    EXPECT_EQ(accounts.DoNewUser(bob).outcome, LoginStep::Succeeded);
    EXPECT_EQ(Links("Bob").CountUndeleted(), 2);

    // A deletion deletes nothing.
    runAs("Ann", "annpass1");
    DeleteUserFields deletion{"Bob", "bobpass1"};
    boxes.Answer(msgbox::Yes).Answer(msgbox::OK);
    EXPECT_EQ(underFault([&] { return UserDeletion::ConfirmAndDelete(deletion).outcome; }),
              DeleteUserStep::Stay);
    expectRefused("The User 'Bob' could not be deleted", "Nothing of the User was deleted.", "DeleteUser");
    EXPECT_FALSE(App().EndingOnError);

    // An import imports nothing.
    const QString file = temp.folder() + "/ann.dat";
    ASSERT_TRUE(SettingsTransfer::ExportSettings(file));
    DeleteUserFields gone{"Ann", "annpass1"};
    App().CurrentUser = "Someone else";
    boxes.Answer(msgbox::Yes).Answer(msgbox::OK);
    ASSERT_EQ(UserDeletion::ConfirmAndDelete(gone).outcome, DeleteUserStep::Deleted);
    dialogs.Next(typePasswords({"annpass1"}));
    boxes.Answer(msgbox::OK);
    EXPECT_FALSE(underFault([&] { return SettingsTransfer::ImportSettings(file); }));
    EXPECT_EQ(boxes.lastText(),
              "The settings of the file could not be imported: " + reason + ". Nothing was imported.\r\r");
    EXPECT_EQ(dumpStore(), before);
}

INSTANTIATE_TEST_SUITE_P(Store, FailedSaves, ::testing::ValuesIn(StoreFault::kAll),
                         [](const auto& test) { return std::string(StoreFault::kNames[test.param]); });

} // namespace
