#pragma once

#include <QString>

// The whole texts by which a page names the control that signs in or goes on to the next step
// of a login, when the control is not a button or a link of its own (a span or a div the page
// listens to). The snapshot looks for them; the auto-login decides what they mean.
namespace ControlWords {

// Sign-in words: "Log in", "Sign in", "Login", "Log-on", ... and their common translations.
const QString& SignIn();
// Words that go on to the next step: "Continue", "Next", ...
const QString& Next();
// Words of any control that sends what was typed: "Submit", "Go", "OK".
const QString& Send();
// Both, as one alternation for the snapshot (JavaScript and Qt regular expressions alike;
// matched against the whole trimmed text, without regard to case).
QString Pattern();
// Whether a text, trimmed and without regard to case, is one of the words.
bool IsSignIn(const QString& text);
bool IsNext(const QString& text);
bool IsSend(const QString& text);

} // namespace ControlWords
