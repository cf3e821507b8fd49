#pragma once

#include <QString>

namespace DesktopBrowser {

// Navigate, IE: the address in the desktop's own web browser. Only what that browser can open
// goes (web and file addresses; not the program's own pages). False when nothing went.
bool Open(const QString& url);

} // namespace DesktopBrowser
