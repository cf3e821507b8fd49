#include "users/LoginDialog.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/Links.h"
#include "users/StartUp.h"
#include "users/UserOptions.h"
#include "UsersSupport.h"

using namespace userstest;
using namespace core;

namespace {
// Presses OK; one box comes, answered `answer`.
void okWithBox(QDialog& f, ScriptedBoxes& boxes, msgbox::Result answer = msgbox::OK) {
    const int before = boxes.count();
    boxes.Answer(answer);
    click(f, "cmdOK");
    EXPECT_EQ(boxes.count(), before + 1);
}
} // namespace

TEST(LoginDialog, FirstRunCreatesAUserWithItsStartingLinksAndNamesCompleteFromTheList) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    dialogs.Next([&](QDialog& f) {
        f.show(); // so that isVisible() tells whether it closed
        // No user yet: OK creates the first one.
        // Name and password are trimmed.
        nameBox(f)->setText("  Carol Jones ");
        type(f, "txtPassword", "  pass1 ");
        type(f, "txtNewPassword2", "pass1");
        okWithBox(f, boxes, msgbox::Yes);
        EXPECT_FALSE(f.isVisible());
        return f.result();
    });
    ASSERT_TRUE(StartUp::Login());
    EXPECT_TRUE(App().NewUserCreated && App().PassPhrase == "pass1");
    EXPECT_EQ(StartUp::MainTitle(), QStringLiteral("Bramblegate - Carol Jones"));
    EXPECT_EQ(GetValue("General", "Users") + GetValue("General", "LastUser") +
                  GetValue("Carol Jones", "Version"),
              QStringLiteral("1Carol Jones152"));

    temp.Reopen();
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

TEST(LoginDialog, LogsInWithTheNameInAnyCaseVerifiesAndChangesThePassword) {
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
    boxes.Clear();
    dialogs.Next([&](QDialog& f) {
        for (const char* wrong : {"a1", "b2", "c3"}) {
            type(f, "txtPassword", wrong);
            if (boxes.count() < 2) boxes.Answer(msgbox::OK);
            click(f, "cmdOK");
        }
        return f.result();
    });
    EXPECT_FALSE(LoginDialog::RunVerify());
    EXPECT_EQ(boxes.count(), 2); // no "will exit now"
    EXPECT_TRUE(App().LoginOK && App().PassPhrase == "wonder1");

    // Changing the password keeps every secret readable (the re-encryption itself is checked with
    // the Links and under kills).
    Links links("alice smith");
    links.Add("bank", SecretCipher::EncryptMessage("https://bank.example/"),
              SecretCipher::EncryptMessage("al"), SecretCipher::EncryptMessage("bank#1"), "", "", false,
              true);
    UserOptions("alice smith").SetSSN("123456789");
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
    EXPECT_EQ(links.Item(3)->Password(), QStringLiteral("bank#1"));
    temp.Reopen();
    EXPECT_TRUE(Accounts::CheckPassword("alice smith", "newpass9"));
    EXPECT_EQ(Links("alice smith").Item(3)->Password() + UserOptions("alice smith").SSN(),
              QStringLiteral("bank#1123456789"));

    App() = AppState();
    dialogs.Next([&](QDialog& f) {
        type(f, "txtPassword", "builder");
        click(f, "cmdCancel");
        return f.result();
    });
    EXPECT_FALSE(StartUp::Login());
    EXPECT_TRUE(!App().LoginOK && App().PassPhrase.isEmpty()); // nothing keeps a typed password
}

TEST(PasswordPrompt, FiveWrongPasswordsAreAnsweredAndTheSixthEndsTheProgram) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
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
        EXPECT_EQ(boxes.count(), 5);
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
