#pragma once

#include <QString>
#include <QStringList>

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

// The texts a sign-in button may read and a sign-out link: a text counts when it occurs
// within the list (an empty one does).
const QString& LoginList();
const QString& LogoutList();
// The words whose presence in a control's markup makes it read as a sign-in (unless it is
// help, or for the first, "sign", a sign-up).
const QStringList& MarkupWords();

} // namespace ControlWords
