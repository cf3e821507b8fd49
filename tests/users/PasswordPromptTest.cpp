#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/PasswordChange.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "users/PasswordPrompt.h"
#include "UsersSupport.h"

using namespace logintest;
using namespace userstest;
using namespace core;

namespace {
const QString kTryAgain = QStringLiteral("Invalid Password, try again!\r\r");
const QString kOneMore =
    QStringLiteral("Invalid Password. You have one more chance to enter a correct Password.\r"
                   "Otherwise the application will exit.\r\r");

PasswordPrompt& asInput(QDialog& dialog) {
    return static_cast<PasswordPrompt&>(dialog);
}

void typeAndOK(PasswordPrompt& f, const QString& password) {
    f.PasswordEdit()->setText(password);
    f.OkButton()->click();
}
} // namespace

TEST(PasswordPrompt, FiveWrongPasswordsAreAnsweredAndTheSixthEndsTheProgram) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    EndRequests ends;
    createAndLogIn("Gina", "gina1234", boxes);
    const QString stored = GetValue("Users", "Gina");

    dialogs.Next([&](QDialog& d) {
        PasswordPrompt& f = asInput(d);
        showActive(f);
        EXPECT_TRUE(PasswordPrompt::IsOpen());
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Verify Password"));
        EXPECT_EQ(f.PromptLabel()->text(), QStringLiteral("For security, please verify your Password."));
        EXPECT_EQ(f.UserNameEdit()->text(), QStringLiteral("Gina"));
        EXPECT_FALSE(f.UserNameEdit()->isEnabled());
        EXPECT_TRUE(f.UserNameEdit()->isReadOnly());
        EXPECT_EQ(f.PasswordEdit()->echoMode(), QLineEdit::Password);
        EXPECT_EQ(f.CancelButton()->text(), QStringLiteral("Exit"));
        EXPECT_EQ(QApplication::focusWidget(), f.PasswordEdit());

        for (int i = 1; i <= 4; ++i) {
            typeAndOK(f, i == 1 ? QString() : QStringLiteral(" wrong%1 ").arg(i));
            EXPECT_EQ(boxes.count(), i);
            EXPECT_EQ(boxes.lastText(), kTryAgain);
            EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Verify Password"));
            EXPECT_EQ(boxes.shown().last().icon, msgbox::NoIcon);
            EXPECT_EQ(boxes.shown().last().buttons, msgbox::OKOnly);
            expectFocusedAndSelected(f.PasswordEdit(), "after a wrong password");
            EXPECT_TRUE(f.isVisible());
        }
        EXPECT_EQ(f.PasswordEdit()->text(), QStringLiteral("wrong4")); // trimmed in the box
        typeAndOK(f, "GINA1234");                                      // case matters
        EXPECT_EQ(boxes.lastText(), kOneMore);
        EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Verify Password"));
        EXPECT_EQ(boxes.shown().last().icon, msgbox::NoIcon);
        EXPECT_EQ(ends.unloads, 0);

        typeAndOK(f, "still wrong");
        EXPECT_EQ(boxes.count(), 5); // the sixth ends without a word
        EXPECT_FALSE(f.isVisible());
        EXPECT_EQ(ends.unloads, 0); // not before the prompt has closed
        return f.result();
    });
    EXPECT_FALSE(VerifyPassword(QString(), "Gina", stored));
    EXPECT_EQ(ends.unloads, 1);
    EXPECT_FALSE(PasswordPrompt::IsOpen());
    EXPECT_EQ(App().PassPhrase, QStringLiteral("gina1234"));
    EXPECT_EQ(App().CurrentUser, QStringLiteral("Gina"));
}

TEST(PasswordPrompt, TheRightPasswordVerifiesWithoutTouchingTheSessionOrASecondPromptAndExitDoesNot) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    EndRequests ends;
    createAndLogIn("Hal", "hal-pass", boxes);
    // Another user's record: the prompt checks against the text it is given, not the session.
    SaveUserPassword("Users", "Ivy", "ivy-pass", "");
    App().PassPhrase = "hal-pass";
    const QString ivy = GetValue("Users", "Ivy");

    dialogs.Next([&](QDialog& d) {
        PasswordPrompt& f = asInput(d);
        // A second request while this prompt is open shows nothing and verifies nothing.
        EXPECT_FALSE(VerifyPassword("again", "Ivy", ivy));
        EXPECT_EQ(f.PromptLabel()->text(), QStringLiteral("Prove it."));
        EXPECT_EQ(f.UserNameEdit()->text(), QStringLiteral("Ivy"));
        typeAndOK(f, "hal-pass");
        EXPECT_EQ(boxes.lastText(), kTryAgain);
        typeAndOK(f, "  ivy-pass ");
        EXPECT_EQ(boxes.count(), 1);
        EXPECT_FALSE(f.isVisible());
        EXPECT_TRUE(f.Result());
        EXPECT_EQ(f.Tries(), 0);
        return f.result();
    });
    EXPECT_TRUE(VerifyPassword("Prove it.", "Ivy", ivy));
    EXPECT_EQ(dialogs.count(), 1);
    EXPECT_FALSE(PasswordPrompt::IsOpen());
    EXPECT_EQ(App().PassPhrase, QStringLiteral("hal-pass"));

    // Exit: not verified, and the program goes on.
    dialogs.Next([&](QDialog& d) {
        PasswordPrompt& f = asInput(d);
        typeAndOK(f, "nope");
        f.CancelButton()->click();
        return f.result();
    });
    EXPECT_FALSE(VerifyPassword("", "Ivy", ivy));
    EXPECT_EQ(ends.unloads, 0);

    // A missing or blank stored password matches nothing, not even the empty password.
    boxes.Clear();
    dialogs.Next([&](QDialog& d) {
        PasswordPrompt& f = asInput(d);
        typeAndOK(f, "");
        typeAndOK(f, "ivy-pass");
        EXPECT_EQ(boxes.count(), 2);
        f.CancelButton()->click();
        return f.result();
    });
    EXPECT_FALSE(VerifyPassword("", "Ivy", "   "));
    EXPECT_FALSE(
        PasswordPrompt::PasswordMatches(ivy, QStringLiteral("ivy-pa\u0161s"))); // outside the code page
}
