#include "users/PasswordPrompt.h"
#include "core/Settings.h"
#include "UsersSupport.h"

using namespace userstest;
using namespace core;

namespace {
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
        f.show(); // so that isVisible() tells whether it closed
        EXPECT_TRUE(PasswordPrompt::IsOpen());
        for (int i = 1; i <= 4; ++i) {
            typeAndOK(f, i == 1 ? QString() : QStringLiteral(" wrong%1 ").arg(i), boxes);
            EXPECT_EQ(boxes.lastText(), QStringLiteral("Invalid Password, try again!\r\r"));
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
    EXPECT_TRUE(ends.unloads == 1 && !PasswordPrompt::IsOpen() && App().PassPhrase == "gina1234");
    // A blank stored password matches nothing, not even the empty one; nor does text outside the
    // code page.
    EXPECT_FALSE(PasswordPrompt::PasswordMatches("   ", "") ||
                 PasswordPrompt::PasswordMatches(GetValue("Users", "Gina"), "gina\u0161"));
}
