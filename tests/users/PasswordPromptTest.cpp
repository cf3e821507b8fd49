#include <QLabel>

#include "core/PasswordChange.h"
#include "core/Settings.h"
#include "users/PasswordPrompt.h"
#include "UsersSupport.h"

using namespace userstest;
using namespace core;

namespace {
const QString kTryAgain = QStringLiteral("Invalid Password, try again!\r\r");
void typeAndOK(QDialog& f, const QString& password, ScriptedBoxes& boxes, bool box = true) {
    if (box) boxes.Answer(msgbox::OK);
    type(f, "txtPassword", password);
    click(f, "cmdOK");
}
} // namespace

TEST(PasswordPrompt, FiveWrongPasswordsAreAnsweredAndTheSixthEndsTheProgram) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    EndRequests ends;
    createAndLogIn("Gina", "gina1234", boxes);
    dialogs.Next([&](QDialog& f) {
        showActive(f);
        EXPECT_TRUE(PasswordPrompt::IsOpen());
        EXPECT_EQ(edit(f, "txtUserName")->text(), QStringLiteral("Gina"));
        for (int i = 1; i <= 4; ++i) {
            typeAndOK(f, i == 1 ? QString() : QStringLiteral(" wrong%1 ").arg(i), boxes);
            EXPECT_EQ(boxes.lastText(), kTryAgain);
            expectFocusedAndSelected(edit(f, "txtPassword"), "after a wrong password");
        }
        EXPECT_EQ(edit(f, "txtPassword")->text(), QStringLiteral("wrong4")); // trimmed in the box
        typeAndOK(f, "GINA1234", boxes);                                     // case matters
        EXPECT_EQ(boxes.lastText(),
                  "Invalid Password. You have one more chance to enter a correct Password.\r"
                  "Otherwise the application will exit.\r\r");
        typeAndOK(f, "still wrong", boxes, false); // the sixth ends without a word
        EXPECT_EQ(boxes.count(), 5);
        EXPECT_FALSE(f.isVisible());
        EXPECT_EQ(ends.unloads, 0); // not before the prompt has closed
        return f.result();
    });
    EXPECT_FALSE(VerifyPassword(QString(), "Gina", GetValue("Users", "Gina")));
    EXPECT_EQ(ends.unloads, 1);
    EXPECT_FALSE(PasswordPrompt::IsOpen());
    EXPECT_EQ(App().PassPhrase, QStringLiteral("gina1234"));
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
    dialogs.Next([&](QDialog& f) {
        // A second request while this prompt is open shows nothing and verifies nothing.
        EXPECT_FALSE(VerifyPassword("again", "Ivy", ivy));
        EXPECT_EQ(child<QLabel>(f, "lblPrompt")->text(), QStringLiteral("Prove it."));
        typeAndOK(f, "hal-pass", boxes);
        typeAndOK(f, "  ivy-pass ", boxes, false);
        EXPECT_EQ(boxes.count(), 1);
        EXPECT_FALSE(f.isVisible());
        return f.result();
    });
    EXPECT_TRUE(VerifyPassword("Prove it.", "Ivy", ivy));
    EXPECT_EQ(App().PassPhrase, QStringLiteral("hal-pass"));

    // Exit: not verified, and the program goes on. A blank stored password matches nothing, not
    // even the empty password.
    dialogs.Next([&](QDialog& f) {
        typeAndOK(f, "", boxes);
        typeAndOK(f, "ivy-pass", boxes);
        click(f, "cmdCancel");
        return f.result();
    });
    EXPECT_FALSE(VerifyPassword("", "Ivy", "   "));
    EXPECT_EQ(boxes.count(), 3);
    EXPECT_EQ(ends.unloads, 0);
    EXPECT_FALSE(
        PasswordPrompt::PasswordMatches(ivy, QStringLiteral("ivy-pa\u0161s"))); // outside the code page
}
