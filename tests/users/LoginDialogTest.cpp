#include <QRadioButton>

#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/Links.h"
#include "users/LoginDialog.h"
#include "users/StartUp.h"
#include "users/UserOptions.h"
#include "UsersSupport.h"

using namespace userstest;
using namespace core;

namespace {
// Presses OK; one box comes (answered `answer`), then the focus is in `field`,
// all of it selected.
void okWithBox(QDialog& f, ScriptedBoxes& boxes, QLineEdit* field, msgbox::Result answer = msgbox::OK) {
    const int before = boxes.count();
    boxes.Answer(answer);
    click(f, "cmdOK");
    EXPECT_EQ(boxes.count(), before + 1);
    if (field) expectFocusedAndSelected(field, "after the box");
}
} // namespace

TEST(LoginDialog, FirstRunCreatesAUserWithItsStartingLinks) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    dialogs.Next([&](QDialog& f) {
        showActive(f);
        // No user yet: straight into new-user mode, Login cannot be chosen.
        EXPECT_FALSE(child(f, "optLogin")->isEnabled());
        EXPECT_TRUE(child<QRadioButton>(f, "optNew")->isChecked());
        okWithBox(f, boxes, nameBox(f));
        nameBox(f)->setText("  Carol Jones ");
        type(f, "txtPassword", "abc");
        type(f, "txtNewPassword2", "abc");
        okWithBox(f, boxes, edit(f, "txtPassword"));
        EXPECT_EQ(nameBox(f)->text(),
                  QStringLiteral("Carol Jones")); // trimmed in the box
        // No to the question: nothing is written, the dialog stays.
        type(f, "txtPassword", "  pass1 ");
        type(f, "txtNewPassword2", "pass1");
        okWithBox(f, boxes, nullptr, msgbox::No);
        EXPECT_FALSE(ValueExists("Users", "Carol Jones"));
        okWithBox(f, boxes, nullptr, msgbox::Yes);
        EXPECT_FALSE(f.isVisible());
        return f.result();
    });
    ASSERT_TRUE(StartUp::Login());
    EXPECT_TRUE(App().NewUserCreated);
    EXPECT_EQ(App().PassPhrase, QStringLiteral("pass1"));
    EXPECT_EQ(StartUp::MainTitle(), QStringLiteral("Bramblegate - Carol Jones"));
    EXPECT_EQ(GetValue("General", "Users") + GetValue("General", "LastUser") +
                  GetValue("Carol Jones", "Version"),
              QStringLiteral("1Carol Jones152"));

    temp.Reopen();
    Links links("Carol Jones");
    ASSERT_EQ(links.Count(), 2);
    const Link* home = links.ControlOrderItem(0);
    const Link* help = links.ControlOrderItem(1);
    EXPECT_EQ(home->Caption(), QStringLiteral("Home Page$$"));
    EXPECT_EQ(home->URLEnc(), SecretCipher::EncryptMessage("BGDummy", "pass1"));
    EXPECT_EQ(help->Caption(), QStringLiteral("Getting Started"));
    EXPECT_TRUE(help->URL().endsWith("/help/quickstart.asp"));
    for (const Link* link : {home, help}) {
        EXPECT_TRUE(link->AutoNavigate() && link->HidePopUps());
        EXPECT_FALSE(link->ReqLogin());
        EXPECT_EQ(link->UserName() + link->Password() + link->SelectOption() + link->NavigateAfterLogin(),
                  QString());
    }
}

TEST(LoginDialog, LogsInWithTheNameInAnyCaseOrEndsAfterThreeWrongPasswords) {
    TempStore temp;
    ScriptedBoxes boxes;
    createUser("alice smith", "wonder1", boxes);
    createUser("Bob", "builder", boxes);
    ScriptedDialogs dialogs;
    dialogs.Next([&](QDialog& f) {
        showActive(f);
        auto* users = child<QComboBox>(f, "cmbUserName");
        EXPECT_EQ(users->count(), 2);
        EXPECT_EQ(users->itemText(0), QStringLiteral("Alice Smith"));
        EXPECT_EQ(users->currentText(), QStringLiteral("Bob")); // the last user
        expectFocusedAndSelected(edit(f, "txtPassword"), "on show");
        nameBox(f)->setText("nobody");
        type(f, "txtPassword", "whatever");
        okWithBox(f, boxes, nameBox(f));
        EXPECT_LT(temp.store().FindKey("Software\\Bramblegate\\nobody"),
                  0); // nothing made for it
        nameBox(f)->setText("ALICE SMITH");
        for (const char* wrong : {"wrong1", "Wonder1"}) {
            type(f, "txtPassword", wrong);
            okWithBox(f, boxes, edit(f, "txtPassword"));
        }
        type(f, "txtPassword", " wonder1  ");
        click(f, "cmdOK");
        return f.result();
    });
    ASSERT_TRUE(StartUp::Login());
    EXPECT_EQ(App().CurrentUser, QStringLiteral("ALICE SMITH"));
    EXPECT_FALSE(App().NewUserCreated);
    EXPECT_EQ(GetValue("General", "LastUser"), QStringLiteral("Alice Smith"));

    // Verifying the master password: the third wrong one does not end the program, and the
    // session stays as it was either way.
    dialogs.Next([&](QDialog& f) {
        EXPECT_FALSE(child(f, "cmbUserName")->isEnabled());
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
    EXPECT_TRUE(App().LoginOK);
    EXPECT_EQ(App().PassPhrase, QStringLiteral("wonder1"));

    App() = AppState();
    dialogs.Next([&](QDialog& f) {
        for (const char* wrong : {"bad1", "bad2", "bad3"}) {
            type(f, "txtPassword", wrong);
            boxes.Answer(msgbox::OK);
            click(f, "cmdOK");
        }
        EXPECT_FALSE(f.isVisible());
        return f.result();
    });
    EXPECT_FALSE(StartUp::Login());
    EXPECT_TRUE(App().PassPhrase.isEmpty()); // nothing keeps a typed password
    dialogs.Next([&](QDialog& f) {
        type(f, "txtPassword", "builder");
        click(f, "cmdCancel");
        return f.result();
    });
    EXPECT_FALSE(StartUp::Login());
    EXPECT_FALSE(App().LoginOK);
}

// The re-encryption itself is checked with the Links (LinksTest) and under kills (UsersKill).
TEST(LoginDialog, ChangingThePasswordKeepsEverySecretReadable) {
    TempStore temp;
    ScriptedBoxes boxes;
    createAndLogIn("erin", "oldpass1", boxes);
    Links links("erin");
    links.Add("bank", SecretCipher::EncryptMessage("https://bank.example/"),
              SecretCipher::EncryptMessage("erin"), SecretCipher::EncryptMessage("bank#1"), "", "", false,
              true);
    UserOptions(App().CurrentUser).SetSSN("123456789");
    ScriptedDialogs dialogs;
    dialogs.Next([&](QDialog& f) {
        showActive(f);
        EXPECT_EQ(nameBox(f)->text(), QStringLiteral("erin"));
        type(f, "txtPassword", "oldpass1");
        type(f, "txtNewPassword", "newpass9");
        type(f, "txtNewPassword2", "newpass8");
        okWithBox(f, boxes, edit(f, "txtNewPassword"));
        type(f, "txtNewPassword", " newpass9");
        type(f, "txtNewPassword2", "newpass9 ");
        okWithBox(f, boxes, nullptr, msgbox::Yes);
        return f.result();
    });
    LoginDialog::RunChangePassword();
    EXPECT_EQ(App().PassPhrase, QStringLiteral("newpass9"));
    EXPECT_EQ(links.Item(3)->Password(), QStringLiteral("bank#1"));
    temp.Reopen();
    EXPECT_TRUE(Accounts::CheckPassword("erin", "newpass9"));
    EXPECT_EQ(Links("erin").Item(3)->Password() + UserOptions("erin").SSN(), QStringLiteral("bank#1123456789"));
    // Cancel leaves the session alone.
    dialogs.Next([&](QDialog& f) {
        click(f, "cmdCancel");
        return f.result();
    });
    LoginDialog::RunChangePassword();
    EXPECT_TRUE(App().LoginOK);
    EXPECT_EQ(App().PassPhrase, QStringLiteral("newpass9"));
}

TEST(LoginDialog, TypingAUserNameCompletesItFromTheList) {
    TempStore temp;
    ScriptedBoxes boxes;
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
