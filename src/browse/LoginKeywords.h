#pragma once

#include <QString>

#include "browse/engine/ControlWords.h"

// The texts by which the auto-login recognises sign-in controls. Tests are case-insensitive
// containment tests; a keyword list is one text searched as a whole, so any part of it matches.
namespace LoginKeywords {

// The login list: a button text matches when it occurs within it.
inline const QString& kLoginList = ControlWords::LoginList();

// Whether a text occurs within the login list (an empty text does).
bool InLoginList(const QString& text);

// Whether a control's text or markup reads as a sign-in: not help, not a sign-up, but "sign",
// "submit", "login" or "logon". No-break spaces are ignored.
bool IsLoginText(const QString& text);

// Whether a text offers to sign up.
bool IsSignUpText(const QString& text);

// The text without no-break spaces (pages put them between the words of a button).
QString WithoutNbsp(QString text);

} // namespace LoginKeywords
