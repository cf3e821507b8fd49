#include <gtest/gtest.h>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "core/PasswordChange.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/Links.h"
#include "LoginSupport.h"
#include "users/StartUp.h"
#include "users/UserOptions.h"

using namespace logintest;
using namespace core;

namespace {
const QString CR2 = QStringLiteral("\r\r");

void expectBox(const ScriptedBoxes& boxes, const QString& text, const QString& title,
               msgbox::Icon icon = msgbox::Exclamation) {
    ASSERT_GT(boxes.count(), 0);
    EXPECT_EQ(boxes.lastText(), text);
    EXPECT_EQ(boxes.lastTitle(), title);
    EXPECT_EQ(boxes.shown().last().icon, icon);
}

const QString kSaveQuestion =
    "Please make sure you remember your Password.\rWe will not be able to help if you forget this\r"
    "Password  (Password for login to Bramblegate).\r\rThe only alternative will be to create a new User "
    "account.\rProceed with saving the New Password?\r\r";
} // namespace

TEST(LoginDialog, FirstRunCreatesAUserWithItsStartingLinks) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    const QString title = "Create A New User";
    dialogs.Next([&](QDialog& d) {
        LoginDialog& f = asLogin(d);
        showActive(f);
        // No user yet: straight into new-user mode, Login cannot be chosen.
        EXPECT_EQ(f.windowTitle(), title);
        EXPECT_EQ(f.LoginGroup()->title(),
                  QStringLiteral("Enter a User Name and Password to create new User"));
        EXPECT_FALSE(f.LoginOption()->isEnabled());
        EXPECT_TRUE(f.NewOption()->isChecked());
        EXPECT_TRUE(f.NewPassword2Edit()->isVisible());
        EXPECT_FALSE(f.NewPasswordEdit()->isVisible());
        EXPECT_EQ(f.NewPassword2Label()->text(), QStringLiteral("&Re-Enter Password:"));
        EXPECT_TRUE(f.OkButton()->isDefault());
        expectFocusedAndSelected(f.UserNameCombo()->lineEdit(), "on show");

        f.OkButton()->click();
        expectBox(boxes, "A UserName IS required. Try again!" + CR2, title);
        expectFocusedAndSelected(f.UserNameCombo()->lineEdit(), "empty name");

        f.UserNameCombo()->setEditText("  Carol Jones ");
        f.PasswordEdit()->setText("abc");
        f.NewPassword2Edit()->setText("abc");
        f.OkButton()->click();
        expectBox(boxes, "Password must be at least 4 characters long!" + CR2, title);
        EXPECT_EQ(f.UserNameCombo()->currentText(), QStringLiteral("Carol Jones")); // trimmed in the box
        expectFocusedAndSelected(f.PasswordEdit(), "short");

        f.PasswordEdit()->setText("abcdefghijklm");
        f.NewPassword2Edit()->setText("abcdefghijklm");
        f.OkButton()->click();
        expectBox(boxes, "Password may be maximum 12 characters long!" + CR2, title);
        expectFocusedAndSelected(f.PasswordEdit(), "long");

        f.PasswordEdit()->setText("pass1");
        f.NewPassword2Edit()->setText("Pass1");
        f.OkButton()->click();
        expectBox(boxes,
                  "Your password values in the two password fields do not match. Please re-enter passwords!" +
                      CR2,
                  title);
        expectFocusedAndSelected(f.PasswordEdit(), "mismatch");

        // A character the cipher cannot take is refused before anything is asked or stored,
        // and the message does not repeat it.
        f.PasswordEdit()->setText(QStringLiteral("pa\u0142s1"));
        f.NewPassword2Edit()->setText(QStringLiteral("pa\u0142s1"));
        f.OkButton()->click();
        EXPECT_EQ(boxes.lastTitle(), title);
        EXPECT_TRUE(boxes.lastText().contains("cannot be used in a password"));
        EXPECT_FALSE(boxes.lastText().contains(QChar(0x142)));

        // No to the question: nothing is written, the dialog stays.
        f.PasswordEdit()->setText("  pass1 ");
        f.NewPassword2Edit()->setText("pass1");
        boxes.Answer(msgbox::No);
        f.OkButton()->click();
        expectBox(boxes, kSaveQuestion, "Save New Password", msgbox::Question);
        EXPECT_EQ(boxes.shown().last().buttons, msgbox::YesNo);
        EXPECT_FALSE(ValueExists("Users", "Carol Jones"));
        EXPECT_FALSE(App().LoginOK);
        EXPECT_TRUE(f.isVisible());

        const int before = boxes.count();
        f.OkButton()->click(); // Yes
        EXPECT_EQ(boxes.count(), before + 1);
        EXPECT_FALSE(f.isVisible());
        return f.result();
    });
    ASSERT_TRUE(StartUp::Login());
    EXPECT_EQ(dialogs.count(), 1);

    EXPECT_TRUE(App().LoginOK);
    EXPECT_TRUE(App().NewUserCreated);
    EXPECT_EQ(App().CurrentUser, QStringLiteral("Carol Jones"));
    EXPECT_EQ(App().PassPhrase, QStringLiteral("pass1"));
    EXPECT_EQ(StartUp::MainTitle(), QStringLiteral("Bramblegate - Carol Jones"));
    EXPECT_EQ(GetValue("General", "Users"), QStringLiteral("1"));
    EXPECT_EQ(GetValue("General", "LastUser"), QStringLiteral("Carol Jones"));
    EXPECT_EQ(GetValue("Carol Jones", "Version"), QStringLiteral("152"));
    EXPECT_TRUE(Accounts::CheckPassword("carol jones", "pass1"));

    temp.Reopen();
    Links links("Carol Jones");
    ASSERT_EQ(links.Count(), 2);
    const Link* home = links.ControlOrderItem(0);
    const Link* help = links.ControlOrderItem(1);
    ASSERT_TRUE(home && help);
    EXPECT_EQ(home->Caption(), QStringLiteral("Home Page$$"));
    EXPECT_EQ(home->URL(), QStringLiteral("BGDummy"));
    EXPECT_EQ(home->URLEnc(), SecretCipher::EncryptMessage("BGDummy", "pass1"));
    EXPECT_EQ(help->Caption(), QStringLiteral("Getting Started"));
    EXPECT_TRUE(help->URL().endsWith("/help/quickstart.asp"));
    for (const Link* link : {home, help}) {
        EXPECT_TRUE(link->AutoNavigate());
        EXPECT_FALSE(link->ReqLogin());
        EXPECT_TRUE(link->HidePopUps());
        EXPECT_EQ(link->UserName(), QString());
        EXPECT_EQ(link->pw(), QString());
        EXPECT_EQ(link->SelectOption(), QString());
        EXPECT_EQ(link->NavigateAfterLogin(), QString());
    }
}

TEST(LoginDialog, LogsInWithTheNameInAnyCaseAfterTwoWrongPasswords) {
    TempStore temp;
    ScriptedBoxes boxes;
    createUser("alice smith", "wonder1", boxes);
    createUser("Bob", "builder", boxes);
    boxes.Clear();
    ScriptedDialogs dialogs;
    dialogs.Next([&](QDialog& d) {
        LoginDialog& f = asLogin(d);
        showActive(f);
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Bramblegate Login"));
        EXPECT_EQ(f.LoginGroup()->title(), QStringLiteral("Enter your User Name and Password"));
        EXPECT_TRUE(f.LoginOption()->isChecked());
        EXPECT_TRUE(f.LoginOption()->isEnabled());
        EXPECT_FALSE(f.NewPassword2Edit()->isVisible());
        QStringList users;
        for (int i = 0; i < f.UserNameCombo()->count(); ++i)
            users << f.UserNameCombo()->itemText(i);
        EXPECT_EQ(users, (QStringList{"Alice Smith", "Bob"}));
        EXPECT_EQ(f.UserNameCombo()->currentText(), QStringLiteral("Bob")); // the last user
        expectFocusedAndSelected(f.PasswordEdit(), "on show");

        f.UserNameCombo()->setEditText("");
        f.OkButton()->click();
        expectBox(boxes, "Please enter or select a UserName. Try again!" + CR2, "Login");
        expectFocusedAndSelected(f.UserNameCombo()->lineEdit(), "no name");

        f.UserNameCombo()->setEditText("nobody");
        f.PasswordEdit()->setText("whatever");
        f.OkButton()->click();
        expectBox(boxes, "Invalid User Name. Try again!" + CR2, "Login");
        expectFocusedAndSelected(f.UserNameCombo()->lineEdit(), "unknown user");
        EXPECT_LT(temp.store().FindKey("Software\\Bramblegate\\nobody"), 0); // nothing made for it

        f.UserNameCombo()->setEditText("ALICE SMITH");
        f.PasswordEdit()->setText("   ");
        f.OkButton()->click();
        expectBox(boxes, "Please enter your Password. Try again!" + CR2, "Login");
        expectFocusedAndSelected(f.PasswordEdit(), "blank password");

        for (const char* wrong : {"wrong1", "Wonder1"}) {
            f.PasswordEdit()->setText(wrong);
            f.OkButton()->click();
            expectBox(boxes, "Invalid Password. Try again!" + CR2, "Login");
            expectFocusedAndSelected(f.PasswordEdit(), wrong);
            EXPECT_TRUE(f.isVisible());
        }
        EXPECT_EQ(f.accounts().Tries(), 2);
        f.PasswordEdit()->setText(" wonder1  ");
        boxes.Clear();
        f.OkButton()->click();
        EXPECT_EQ(boxes.count(), 0);
        EXPECT_EQ(f.PasswordEdit()->text(), QStringLiteral("wonder1"));
        EXPECT_EQ(f.accounts().Tries(), 0);
        return f.result();
    });
    ASSERT_TRUE(StartUp::Login());
    EXPECT_EQ(App().CurrentUser, QStringLiteral("ALICE SMITH"));
    EXPECT_EQ(App().PassPhrase, QStringLiteral("wonder1"));
    EXPECT_FALSE(App().NewUserCreated);
    EXPECT_EQ(StartUp::MainTitle(), QStringLiteral("Bramblegate - ALICE SMITH"));
    EXPECT_EQ(GetValue("General", "LastUser"), QStringLiteral("Alice Smith"));
}

TEST(LoginDialog, ThreeWrongPasswordsOrCancelEndTheStartUp) {
    TempStore temp;
    ScriptedBoxes boxes;
    createUser("alice", "wonder1", boxes);
    boxes.Clear();
    ScriptedDialogs dialogs;
    dialogs.Next([&](QDialog& d) {
        LoginDialog& f = asLogin(d);
        showActive(f);
        f.UserNameCombo()->setEditText("Alice");
        for (int attempt = 1; attempt <= 3; ++attempt) {
            f.PasswordEdit()->setText(QStringLiteral("bad%1").arg(attempt));
            f.OkButton()->click();
        }
        EXPECT_EQ(boxes.texts(),
                  (QStringList{"Invalid Password. Try again!" + CR2, "Invalid Password. Try again!" + CR2,
                               "Invalid Password! The maximum number of tries has been exceeded. "
                               "Bramblegate will exit now." +
                                   CR2}));
        EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Login Failed"));
        EXPECT_FALSE(f.isVisible());
        return f.result();
    });
    EXPECT_FALSE(StartUp::Login());
    EXPECT_FALSE(App().LoginOK);
    EXPECT_TRUE(App().PassPhrase.isEmpty()); // nothing keeps a typed password

    dialogs.Next([&](QDialog& d) {
        LoginDialog& f = asLogin(d);
        showActive(f);
        f.PasswordEdit()->setText("wonder1");
        f.CancelButton()->click();
        return f.result();
    });
    EXPECT_FALSE(StartUp::Login());
    EXPECT_FALSE(App().LoginOK);
}

TEST(LoginDialog, ABlankPasswordAfterAResetTellsTheNewPassword) {
    TempStore temp;
    SaveValue("General", "Users", "1");
    SaveUserPassword("Users", "Dave", "dave", "");
    SaveValue("Dave", "Version", "152");
    SaveValue("Dave", "WarnPWResetToUserName", "True");
    App() = AppState();
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    dialogs.Next([&](QDialog& d) {
        LoginDialog& f = asLogin(d);
        showActive(f);
        f.UserNameCombo()->setEditText("DAVE");
        f.OkButton()->click();
        expectBox(
            boxes,
            "Bramblegate does not support blank passwords any more.\rYour new password now is the same as "
            "your "
            "UserName, \rall in lower case: dave\r\rYou may change your password after login at any time." +
                CR2,
            "Password Reset", msgbox::Critical);
        expectFocusedAndSelected(f.PasswordEdit(), "reset");
        EXPECT_FALSE(App().LoginOK);
        f.PasswordEdit()->setText("dave");
        f.OkButton()->click();
        return f.result();
    });
    ASSERT_TRUE(StartUp::Login());
    EXPECT_EQ(App().CurrentUser, QStringLiteral("DAVE"));
    EXPECT_EQ(GetValue("Dave", "WarnPWResetToUserName"), QStringLiteral("True")); // left as it was
}

TEST(LoginDialog, ChangingThePasswordKeepsEverySecretReadable) {
    TempStore temp;
    ScriptedBoxes boxes;
    createUser("erin", "oldpass1", boxes);
    boxes.Clear();
    App().CurrentUser = "erin";
    App().PassPhrase = "oldpass1";
    App().LoginOK = true;
    // The session as the browse window holds it: the Links in memory and the options.
    Links links("erin");
    links.Add("Bank", SecretCipher::EncryptMessage("https://bank.example/"),
              SecretCipher::EncryptMessage("erin.b"), SecretCipher::EncryptMessage("b@nk#1"), "", "", false,
              true);
    links.Add("Shop", SecretCipher::EncryptMessage("https://shop.example/"),
              SecretCipher::EncryptMessage("erin.s"), SecretCipher::EncryptMessage("sh0p"), "", "", false,
              true);
    UserOptions(App().CurrentUser).SetSSN("123456789");
    auto secretsOf = [](const Links& all) {
        QStringList out;
        for (Link* link : all)
            out << link->URL() << link->UserName() << link->pw();
        return out;
    };
    const QStringList before = secretsOf(links);
    ASSERT_EQ(before.size(), 4 * 3);

    ScriptedDialogs dialogs;
    ShowWatcher updating("frmMsg");
    dialogs.Next([&](QDialog& d) {
        LoginDialog& f = asLogin(d);
        showActive(f);
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Change Password"));
        EXPECT_EQ(f.PasswordLabel()->text(), QStringLiteral("Old &Password"));
        EXPECT_TRUE(f.NewPasswordEdit()->isVisible());
        EXPECT_TRUE(f.NewPassword2Edit()->isVisible());
        EXPECT_EQ(f.UserNameCombo()->currentText(), QStringLiteral("erin"));
        EXPECT_FALSE(f.UserNameCombo()->isEnabled());
        EXPECT_FALSE(f.LoginOption()->isEnabled());
        EXPECT_FALSE(f.NewOption()->isEnabled());
        expectFocusedAndSelected(f.PasswordEdit(), "on show");

        f.PasswordEdit()->setText("oldpass2");
        f.NewPasswordEdit()->setText("newpass9");
        f.NewPassword2Edit()->setText("newpass9");
        f.OkButton()->click();
        expectBox(boxes, "Invalid UserName or Password. Try again!" + CR2, "Change Password");
        expectFocusedAndSelected(f.PasswordEdit(), "wrong old password");

        f.PasswordEdit()->setText("oldpass1");
        f.NewPassword2Edit()->setText("newpass8");
        f.OkButton()->click();
        expectBox(
            boxes,
            "Your New Password values do not match.\r\nPlease re-enter New Password in both text boxes" + CR2,
            "Save New Password", msgbox::Information);
        EXPECT_EQ(f.NewPasswordEdit()->text(), QString());
        EXPECT_EQ(f.NewPassword2Edit()->text(), QString());
        expectFocusedAndSelected(f.NewPasswordEdit(), "mismatch");
        EXPECT_TRUE(Accounts::CheckPassword("erin", "oldpass1"));

        for (const char* bad : {"abc", "abcdefghijklm"}) {
            f.NewPasswordEdit()->setText(bad);
            f.NewPassword2Edit()->setText(bad);
            f.OkButton()->click();
            expectBox(boxes,
                      "New Password must be minimum 4 characters long\r\r and maximum 12 characters long!" +
                          CR2,
                      "New Password");
            EXPECT_EQ(boxes.shown().last().buttons, msgbox::OKCancel);
        }
        EXPECT_TRUE(updating.shown.isEmpty());

        f.NewPasswordEdit()->setText(" newpass9");
        f.NewPassword2Edit()->setText("newpass9 ");
        f.OkButton()->click();
        expectBox(boxes, kSaveQuestion, "Save New Password", msgbox::Question);
        EXPECT_FALSE(f.isVisible());
        return f.result();
    });
    LoginDialog::RunChangePassword();
    EXPECT_EQ(updating.shown, QStringList{"Updating..."});
    EXPECT_TRUE(Accounts::CheckPassword("erin", "newpass9"));
    EXPECT_FALSE(Accounts::CheckPassword("erin", "oldpass1"));
    EXPECT_EQ(App().PassPhrase, QStringLiteral("newpass9"));
    EXPECT_TRUE(App().LoginOK);

    // Every secret reads the same, in memory and from the store, under the new password.
    EXPECT_EQ(secretsOf(links), before);
    for (Link* link : links)
        EXPECT_EQ(SecretCipher::DecryptMessage(link->pwEnc(), "newpass9"), link->pw());
    temp.Reopen();
    Links reloaded("erin");
    EXPECT_EQ(secretsOf(reloaded), before);
    EXPECT_EQ(reloaded.Item(1)->URL(), QStringLiteral("BGDummy"));
    EXPECT_EQ(UserOptions("erin").SSN(), QStringLiteral("123456789"));

    // Cancel leaves the session alone.
    dialogs.Next([&](QDialog& d) {
        asLogin(d).CancelButton()->click();
        return d.result();
    });
    LoginDialog::RunChangePassword();
    EXPECT_TRUE(App().LoginOK);
    EXPECT_EQ(App().PassPhrase, QStringLiteral("newpass9"));
}

TEST(LoginDialog, VerificationAsksForTheMasterPasswordWithoutTouchingTheSession) {
    TempStore temp;
    ScriptedBoxes boxes;
    createUser("gina", "gpass12", boxes);
    boxes.Clear();
    App().CurrentUser = "gina";
    App().PassPhrase = "gpass12";
    App().LoginOK = true;
    ScriptedDialogs dialogs;
    dialogs.Next([&](QDialog& d) {
        LoginDialog& f = asLogin(d);
        showActive(f);
        EXPECT_EQ(f.windowTitle(), QStringLiteral("For security, please verify your Master Password."));
        EXPECT_EQ(f.UserNameCombo()->currentText(), QStringLiteral("gina"));
        EXPECT_FALSE(f.UserNameCombo()->isEnabled());
        EXPECT_FALSE(f.NewPasswordEdit()->isVisible());
        EXPECT_FALSE(f.NewPassword2Edit()->isVisible());
        expectFocusedAndSelected(f.PasswordEdit(), "on show");
        f.PasswordEdit()->setText("guess");
        f.OkButton()->click();
        expectBox(boxes, "Invalid Password. Try again!" + CR2, "Login");
        expectFocusedAndSelected(f.PasswordEdit(), "wrong");
        EXPECT_EQ(App().PassPhrase, QStringLiteral("gpass12"));
        f.PasswordEdit()->setText("gpass12");
        f.OkButton()->click();
        return f.result();
    });
    EXPECT_TRUE(LoginDialog::RunVerify());

    boxes.Clear();
    dialogs.Next([&](QDialog& d) {
        LoginDialog& f = asLogin(d);
        for (const char* wrong : {"a1", "b2", "c3"}) {
            f.PasswordEdit()->setText(wrong);
            f.OkButton()->click();
        }
        EXPECT_FALSE(f.isVisible());
        return f.result();
    });
    EXPECT_FALSE(LoginDialog::RunVerify());
    EXPECT_EQ(boxes.count(), 2); // no "will exit now": the program goes on
    EXPECT_TRUE(App().LoginOK);
    EXPECT_EQ(App().CurrentUser, QStringLiteral("gina"));
    EXPECT_EQ(App().PassPhrase, QStringLiteral("gpass12"));
}

TEST(LoginDialog, TypingAUserNameCompletesItFromTheList) {
    TempStore temp;
    ScriptedBoxes boxes;
    createUser("alice", "alice1", boxes);
    createUser("albert", "albert1", boxes);
    createUser("bob", "bobbob", boxes);
    boxes.Clear();
    LoginDialog f;
    showActive(f);
    QLineEdit* edit = f.UserNameCombo()->lineEdit();
    edit->clear();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A);
    EXPECT_EQ(edit->text(), QStringLiteral("alice"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("lice"));
    QTest::keyClick(edit, Qt::Key_L);
    EXPECT_EQ(edit->text(), QStringLiteral("alice"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("ice"));
    QTest::keyClick(edit, Qt::Key_B);
    EXPECT_EQ(edit->text(), QStringLiteral("albert"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("ert"));
    QTest::keyClick(edit, Qt::Key_X);
    EXPECT_EQ(edit->text(), QStringLiteral("albx"));

    // What was typed keeps its case.
    edit->clear();
    QTest::keyClicks(edit, "BO", Qt::ShiftModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("BOb"));
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->text(), QStringLiteral("BO"));

    // Not while creating a user.
    f.NewOption()->click();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Create A New User"));
    EXPECT_EQ(edit->text(), QString());
    QTest::keyClicks(edit, "al");
    EXPECT_EQ(edit->text(), QStringLiteral("al"));
    f.LoginOption()->click();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Bramblegate Login"));
    EXPECT_FALSE(f.NewPassword2Edit()->isVisible());
}
