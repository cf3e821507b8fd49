#pragma once

#include <QString>

class DomDocument;
class DomElement;

// What a form of a page is to the auto-login, judged as a person would judge it from what they
// see: the fields shown, their labels and hints, and the words on the control that sends it.
// Pure over the page model; the form filler decides what to do with a verdict.
class LoginFormJudge {
public:
    enum class Kind {
        Login,      // a password field shown, and nothing saying the form is another one
        Identifier, // the first step of a two-step login: a user-name field alone, a control to go on
        NotLogin,   // a sign-up, a change or reset of a password, ...: never filled
        Other       // anything else (a search box, a newsletter box)
    };
    struct Verdict {
        Kind kind = Kind::Other;
        DomElement* password = nullptr; // the first password field shown (Login)
        DomElement* user = nullptr;     // the field for the user name; null: none fits
        DomElement* press = nullptr;    // the control that sends the form; null: none found
        bool submitButton = false;      // the form has a submit button (Enter presses it)
        QString reason;                 // why, for the SignIn log
    };

    // `ssnFields`: the user has a social security number set, so password fields that ask for
    // it are that number's, not passwords (they do not count as password fields).
    static Verdict Judge(const DomElement* form, const DomDocument* document = nullptr,
                         bool ssnFields = false);

    // A field a person could type into: shown, enabled, not read-only.
    static bool Writable(const DomElement* e);
    static bool IsTextField(const DomElement* e);
    static bool IsPasswordField(const DomElement* e);
    // A <button> or <input> that submits its form (types submit and image).
    static bool IsSubmitButton(const DomElement* e);
    // The words on a control: a button's text, an input's value or alt text, else its label.
    static QString ControlText(const DomElement* e);
    // A control whose words send a login ("Log in", "Sign in", ... and, inside a form that
    // holds the password field, "Continue" and "Next").
    static bool IsSignInControl(const DomElement* e, bool besidePassword);
    // Words of a control that does something else than signing in: sign up, register, create
    // an account, join, subscribe, reset or change a password, ...
    static bool IsOtherTaskText(const QString& text);
    // Words of a link to something next to the login: forgot password, help, sign up, ...
    static bool IsSideLinkText(const QString& text);
    // How much a text field looks like the one for a user name (0: no sign either way;
    // below 0: a search box, a code, ...).
    static int UserFieldScore(const DomElement* e);
    // The page's address or title says it is about signing in.
    static bool LooksLikeLoginPage(const DomDocument* document);
    static bool LooksLikeLoginAddress(const QString& url);
};
