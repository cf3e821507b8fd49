#pragma once

#include <QString>

// The start of a session: the login dialog before any main window.
namespace StartUp {

// Shows the login dialog ("Login" mode: log in or create a user), centred and on top.
// True when a user is logged in; App() then holds the user and the pass phrase.
bool Login();

// The main window's title for the logged-in user: the name exactly as typed at login.
QString MainTitle();

} // namespace StartUp
