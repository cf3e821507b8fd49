#pragma once

#include <QString>

// The companion program bghelper, installed in libexec/bramblegate (beside the main executable
// in the build folder). The program only starts
// it and relies on nothing it does: with "/REGSERVER" it registers the program's desktop entry
// and icon; without arguments it tidies files the program left in the temp folder.
namespace Companion {

// The file name of the companion program.
inline constexpr const char* kProgramName = "bghelper";

// Starts the companion with `arguments` split as a command line (" /REGSERVER" gives the one
// argument "/REGSERVER"), detached and without any window, and does not wait for it. A missing
// companion is skipped silently. True when it was started.
bool Start(const QString& arguments);

// Where the companion is looked for: its installed place or the executable's folder, unless
// set otherwise (an empty text restores that).
void SetFolder(const QString& folder);
QString ProgramPath();

} // namespace Companion
