#pragma once

#include <functional>

// How dialogs below the frame end the program. The frame installs both handlers when it starts;
// until then (and in tests that do not install their own) a request only asks the application
// to quit.
namespace ProgramEnd {

using Handler = std::function<void()>;

// The frame's normal unload, without asking the user: the browse window saves the user's data
// unless App().EndingOnError is set. Callers set that flag first when nothing may be saved. The
// handler may be asked twice in one shutdown (for example by the password prompt and then by the
// lock that opened it) and must not start a second unload.
void SetUnloadFrameHandler(Handler handler);
void UnloadFrame();

// Ends the process at once: nothing is saved, no window gets the chance to write anything back
// (after an import, whose values the running program must not overwrite). The frame's handler
// removes its mouse and keyboard hooks and ends the process.
void SetEndNowHandler(Handler handler);
// Sets App().Unloading and App().EndingOnError, then runs the handler.
void EndNowWithoutSaving();

} // namespace ProgramEnd
