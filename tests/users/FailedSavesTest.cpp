// Saves that the store refuses (read-only file, busy past the timeout, disk full): nothing of them
// is kept, in the store or in memory, and the user is told in plain words.
#include <functional>
#include <gtest/gtest.h>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "core/Errors.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/Links.h"
#include "support/StoreFault.h"
#include "users/DeleteUser.h"
#include "users/PasswordPrompt.h"
#include "users/SettingsFile.h"
#include "users/SettingsTransfer.h"
#include "UsersSupport.h"

using namespace logintest;
using namespace userstest;
using namespace core;

namespace {

class FailedSaves : public ::testing::TestWithParam<StoreFault::Kind> {
protected:
    void SetUp() override {
        createAndLogIn("Ann", "annpass1", boxes);
        Links links("Ann");
        links.Add("Bank", SecretCipher::EncryptMessage("https://bank.example/"),
                  SecretCipher::EncryptMessage("ann.b"), SecretCipher::EncryptMessage("s3cret"), "", "",
                  false, true);
    }
    QString notSaved(const QString& what, const QString& after) const {
        return what + ": " + StoreFault::Reason(GetParam()) + ". " + after + "\r\r";
    }
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    EndRequests ends;
};

TEST_P(FailedSaves, APasswordChangeKeepsTheOldPasswordInTheStoreAndInMemory) {
    Links links("Ann");
    const QString held = links.Item(3)->pwEnc();
    const QStringList before = dumpStore();
    Accounts accounts;
    LoginFields fields{"", "annpass1", "newpass2", "newpass2"};
    LoginStep step;
    {
        StoreFault fault(GetParam());
        step = accounts.DoSetNewPW(fields);
    }
    EXPECT_EQ(step.outcome, LoginStep::Stay);
    EXPECT_EQ(boxes.lastText(),
              notSaved("Your new password could not be saved", "Your password has not been changed."));
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Change Password"));
    EXPECT_EQ(App().PassPhrase, QStringLiteral("annpass1"));
    EXPECT_EQ(links.Item(3)->pwEnc(), held);
    EXPECT_EQ(dumpStore(), before);

    // What the running program saves later is still readable after a restart.
    links.SaveLinks(true);
    temp.Reopen();
    App() = AppState();
    LoginFields login{"Ann", "annpass1", "", ""};
    ASSERT_EQ(Accounts().DoLogin(login).outcome, LoginStep::Succeeded);
    EXPECT_EQ(Links("Ann").Item(3)->pw(), QStringLiteral("s3cret"));
}

TEST_P(FailedSaves, ANewUserIsNotCreatedAtAll) {
    const QStringList before = dumpStore();
    const AppState app = App();
    Accounts accounts;
    LoginFields fields{"Bob", "bobpass1", "", "bobpass1"};
    LoginStep step;
    {
        StoreFault fault(GetParam());
        step = accounts.DoNewUser(fields);
    }
    EXPECT_EQ(step.outcome, LoginStep::Stay);
    EXPECT_EQ(boxes.lastText(), notSaved("The new User could not be saved", "No User was created."));
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Create A New User"));
    EXPECT_EQ(App().CurrentUser, app.CurrentUser);
    EXPECT_EQ(App().PassPhrase, app.PassPhrase);
    EXPECT_FALSE(App().NewUserCreated);
    EXPECT_EQ(dumpStore(), before);
    // Nothing half-made stands in the way of a second try.
    EXPECT_EQ(accounts.DoNewUser(fields).outcome, LoginStep::Succeeded);
    EXPECT_EQ(Links("Bob").CountUndeleted(), 2);
}

TEST_P(FailedSaves, ADeletionDeletesNothing) {
    logintest::createUser("Cy", "cypass12", boxes);
    App().CurrentUser = "Ann";
    App().PassPhrase = "annpass1";
    boxes.Clear();
    const QStringList before = dumpStore();
    DeleteUserFields fields{"Cy", "cypass12"};
    DeleteUserStep step;
    {
        StoreFault fault(GetParam());
        step = UserDeletion::ConfirmAndDelete(fields);
    }
    EXPECT_EQ(step.outcome, DeleteUserStep::Stay);
    EXPECT_EQ(boxes.lastText(), "The User 'Cy' could not be deleted: " + StoreFault::Reason(GetParam()) +
                                    ". Nothing of the User was deleted.\r\r");
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("DeleteUser"));
    EXPECT_EQ(dumpStore(), before);
    EXPECT_FALSE(App().EndingOnError);
}

TEST_P(FailedSaves, AnImportImportsNothing) {
    QTemporaryDir out;
    const QString file = out.filePath("ann.dat");
    ASSERT_TRUE(SettingsTransfer::ExportSettings(file));
    DeleteUserFields gone{"Ann", "annpass1"};
    App().CurrentUser = "Someone else";
    ASSERT_EQ(UserDeletion::ConfirmAndDelete(gone).outcome, DeleteUserStep::Deleted);
    boxes.Clear();
    const QStringList before = dumpStore();
    dialogs.Next([](QDialog& d) {
        auto& prompt = static_cast<PasswordPrompt&>(d);
        prompt.PasswordEdit()->setText("annpass1");
        prompt.OkButton()->click();
        return prompt.result();
    });
    bool imported = true;
    {
        StoreFault fault(GetParam());
        imported = SettingsTransfer::ImportSettings(file);
    }
    EXPECT_FALSE(imported);
    EXPECT_EQ(boxes.lastText(),
              notSaved("The settings of the file could not be imported", "Nothing was imported."));
    EXPECT_EQ(dumpStore(), before);
}

TEST_P(FailedSaves, LinksGoBackToWhereTheStoreHasThemAndTheUserIsAskedToRetry) {
    Links links("Ann");
    const auto state = [&] {
        QStringList out;
        for (Link* link : links)
            out << QStringLiteral("%1 %2 %3 %4")
                       .arg(link->Caption())
                       .arg(link->ControlOrder())
                       .arg(link->Deleted())
                       .arg(link->Slot());
        return out;
    };
    const QStringList held = state();
    const QStringList stored = dumpStore();
    const QString notSavedLinks = "Your Links could not be saved: " + StoreFault::Reason(GetParam()) + ".";
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
    StoreFault fault(GetParam());
    for (const auto& save : saves) {
        boxes.Clear();
        boxes.Answer(msgbox::Cancel);
        EXPECT_FALSE(Errors::Guarded("Test", "Save", save));
        ASSERT_EQ(boxes.count(), 1);
        EXPECT_EQ(boxes.lastText(), notSavedLinks + "\r\r");
        EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Not Saved"));
        EXPECT_EQ(boxes.shown().last().buttons, msgbox::RetryCancel);
        EXPECT_EQ(state(), held);
        EXPECT_EQ(links.Item(3)->Caption(), QStringLiteral("Bank"));
        EXPECT_EQ(links.Item(3)->pw(), QStringLiteral("s3cret"));
    }
    EXPECT_EQ(dumpStore(), stored);
}

INSTANTIATE_TEST_SUITE_P(Store, FailedSaves, ::testing::ValuesIn(StoreFault::kAll),
                         [](const auto& test) { return std::string(StoreFault::Name(test.param)); });

} // namespace
