#include <QGroupBox>
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
// Presses OK; one box comes (answered `answer`), then the focus is in `field`, all of it selected.
void okWithBox(QDialog& f, ScriptedBoxes& boxes, QLineEdit* field, const char* why,
               msgbox::Result answer = msgbox::OK) {
    const int before = boxes.count();
    boxes.Answer(answer);
    click(f, "cmdOK");
    EXPECT_EQ(boxes.count(), before + 1) << why;
    if (field) expectFocusedAndSelected(field, why);
}
bool visible(const QDialog& f, const char* name) {
    return child(f, name)->isVisible();
}
} // namespace

TEST(LoginDialog, FirstRunCreatesAUserWithItsStartingLinks) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    dialogs.Next([&](QDialog& f) {
        showActive(f);
        // No user yet: straight into new-user mode, Login cannot be chosen.
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Create A New User"));
        EXPECT_FALSE(child(f, "optLogin")->isEnabled());
        EXPECT_TRUE(child<QRadioButton>(f, "optNew")->isChecked());
        EXPECT_TRUE(visible(f, "txtNewPassword2"));
        EXPECT_FALSE(visible(f, "txtNewPassword"));
        expectFocusedAndSelected(nameBox(f), "on show");
        okWithBox(f, boxes, nameBox(f), "empty name");

        nameBox(f)->setText("  Carol Jones ");
        type(f, "txtPassword", "abc");
        type(f, "txtNewPassword2", "abc");
        okWithBox(f, boxes, edit(f, "txtPassword"), "short");
        EXPECT_EQ(nameBox(f)->text(), QStringLiteral("Carol Jones")); // trimmed in the box

        // No to the question: nothing is written, the dialog stays.
        type(f, "txtPassword", "  pass1 ");
        type(f, "txtNewPassword2", "pass1");
        okWithBox(f, boxes, nullptr, "question", msgbox::No);
        EXPECT_FALSE(ValueExists("Users", "Carol Jones"));
        EXPECT_TRUE(f.isVisible());
        okWithBox(f, boxes, nullptr, "question", msgbox::Yes);
        EXPECT_FALSE(f.isVisible());
        return f.result();
    });
    ASSERT_TRUE(StartUp::Login());
    EXPECT_TRUE(App().NewUserCreated);
    EXPECT_EQ(App().PassPhrase, QStringLiteral("pass1"));
    EXPECT_EQ(StartUp::MainTitle(), QStringLiteral("Bramblegate - Carol Jones"));
    EXPECT_EQ(GetValue("General", "Users"), QStringLiteral("1"));
    EXPECT_EQ(GetValue("General", "LastUser"), QStringLiteral("Carol Jones"));
    EXPECT_EQ(GetValue("Carol Jones", "Version"), QStringLiteral("152"));

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
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Bramblegate Login"));
        EXPECT_EQ(child<QGroupBox>(f, "fraLogin")->title(),
                  QStringLiteral("Enter your User Name and Password"));
        EXPECT_FALSE(visible(f, "txtNewPassword2"));
        auto* users = child<QComboBox>(f, "cmbUserName");
        EXPECT_EQ(users->count(), 2);
        EXPECT_EQ(users->itemText(0), QStringLiteral("Alice Smith"));
        EXPECT_EQ(users->currentText(), QStringLiteral("Bob")); // the last user
        expectFocusedAndSelected(edit(f, "txtPassword"), "on show");

        nameBox(f)->setText("nobody");
        type(f, "txtPassword", "whatever");
        okWithBox(f, boxes, nameBox(f), "unknown user");
        EXPECT_LT(temp.store().FindKey("Software\\Bramblegate\\nobody"), 0); // nothing made for it
        nameBox(f)->setText("ALICE SMITH");
        for (const char* wrong : {"wrong1", "Wonder1"}) {
            type(f, "txtPassword", wrong);
            okWithBox(f, boxes, edit(f, "txtPassword"), wrong);
        }
        type(f, "txtPassword", " wonder1  ");
        click(f, "cmdOK");
        EXPECT_EQ(edit(f, "txtPassword")->text(), QStringLiteral("wonder1"));
        return f.result();
    });
    ASSERT_TRUE(StartUp::Login());
    EXPECT_EQ(App().CurrentUser, QStringLiteral("ALICE SMITH"));
    EXPECT_FALSE(App().NewUserCreated);
    EXPECT_EQ(GetValue("General", "LastUser"), QStringLiteral("Alice Smith"));

    App() = AppState();
    dialogs.Next([&](QDialog& f) {
        for (int attempt = 1; attempt <= 3; ++attempt) {
            type(f, "txtPassword", QStringLiteral("bad%1").arg(attempt));
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

TEST(LoginDialog, ChangingThePasswordKeepsEverySecretReadable) {
    TempStore temp;
    ScriptedBoxes boxes;
    createAndLogIn("erin", "oldpass1", boxes);
    // The session as the browse window holds it: the Links in memory and the options.
    Links links("erin");
    for (const char* site : {"bank", "shop"})
        links.Add(site, SecretCipher::EncryptMessage(QStringLiteral("https://%1.example/").arg(site)),
                  SecretCipher::EncryptMessage("erin"), SecretCipher::EncryptMessage(QString(site) + "#1"),
                  "", "", false, true);
    UserOptions(App().CurrentUser).SetSSN("123456789");
    const auto secretsOf = [](const Links& all) {
        QStringList out;
        for (Link* link : all)
            out << link->URL() << link->UserName() << link->Password();
        return out;
    };
    const QStringList before = secretsOf(links);

    ScriptedDialogs dialogs;
    ShowWatcher updating("frmMsg");
    dialogs.Next([&](QDialog& f) {
        showActive(f);
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Change Password"));
        EXPECT_TRUE(visible(f, "txtNewPassword"));
        EXPECT_EQ(nameBox(f)->text(), QStringLiteral("erin"));
        EXPECT_FALSE(child(f, "cmbUserName")->isEnabled());
        EXPECT_FALSE(child(f, "optNew")->isEnabled());
        expectFocusedAndSelected(edit(f, "txtPassword"), "on show");

        type(f, "txtPassword", "oldpass1");
        type(f, "txtNewPassword", "newpass9");
        type(f, "txtNewPassword2", "newpass8");
        okWithBox(f, boxes, edit(f, "txtNewPassword"), "mismatch");
        EXPECT_EQ(edit(f, "txtNewPassword2")->text(), QString()); // both emptied
        EXPECT_TRUE(updating.shown.isEmpty());
        type(f, "txtNewPassword", " newpass9");
        type(f, "txtNewPassword2", "newpass9 ");
        okWithBox(f, boxes, nullptr, "question", msgbox::Yes);
        EXPECT_FALSE(f.isVisible());
        return f.result();
    });
    LoginDialog::RunChangePassword();
    EXPECT_EQ(updating.shown, QStringList{"Updating..."});
    EXPECT_TRUE(Accounts::CheckPassword("erin", "newpass9"));
    EXPECT_FALSE(Accounts::CheckPassword("erin", "oldpass1"));
    EXPECT_EQ(App().PassPhrase, QStringLiteral("newpass9"));

    // Every secret reads the same, in memory and from the store, under the new password.
    EXPECT_EQ(secretsOf(links), before);
    for (Link* link : links)
        EXPECT_EQ(SecretCipher::DecryptMessage(link->PasswordEnc(), "newpass9"), link->Password());
    temp.Reopen();
    EXPECT_EQ(secretsOf(Links("erin")), before);
    EXPECT_EQ(UserOptions("erin").SSN(), QStringLiteral("123456789"));

    // Cancel leaves the session alone.
    dialogs.Next([&](QDialog& f) {
        click(f, "cmdCancel");
        return f.result();
    });
    LoginDialog::RunChangePassword();
    EXPECT_TRUE(App().LoginOK);
    EXPECT_EQ(App().PassPhrase, QStringLiteral("newpass9"));
}

TEST(LoginDialog, VerificationAsksForTheMasterPasswordWithoutTouchingTheSession) {
    TempStore temp;
    ScriptedBoxes boxes;
    createAndLogIn("gina", "gpass12", boxes);
    ScriptedDialogs dialogs;
    dialogs.Next([&](QDialog& f) {
        showActive(f);
        EXPECT_EQ(f.windowTitle(), QStringLiteral("For security, please verify your Master Password."));
        EXPECT_FALSE(child(f, "cmbUserName")->isEnabled());
        EXPECT_FALSE(visible(f, "txtNewPassword2"));
        type(f, "txtPassword", "guess");
        okWithBox(f, boxes, edit(f, "txtPassword"), "wrong");
        type(f, "txtPassword", "gpass12");
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
        EXPECT_FALSE(f.isVisible());
        return f.result();
    });
    EXPECT_FALSE(LoginDialog::RunVerify());
    EXPECT_EQ(boxes.count(), 2); // no "will exit now": the program goes on
    EXPECT_TRUE(App().LoginOK);
    EXPECT_EQ(App().PassPhrase, QStringLiteral("gpass12"));
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
    EXPECT_EQ(box->text(), QString());
    QTest::keyClicks(box, "al");
    EXPECT_EQ(box->text(), QStringLiteral("al"));
    click(f, "optLogin");
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Bramblegate Login"));
}
