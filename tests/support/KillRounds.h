#pragma once

#include <functional>
#include <QString>

// Kills a child process at random moments of its work, and looks at what it left each time. The
// child is this test program itself, started with the environment variable `variable` set to
// `value`: a test environment registered with KillRounds::Child (at namespace scope) sees it before
// any test runs and does the work instead, printing "ready" once it has begun.
namespace KillRounds {

// Registers the child's work for `variable`; returns a token to keep in a static.
const void* Child(const char* variable, std::function<void(const QString& value)> work);
// Tells the parent that the work has begun (the kill follows within a quarter of a second).
void Ready();

// `rounds` times: start the child, wait for "ready", let it work 20 to 270 ms, kill it, then call
// `afterKill(round)` (which reopens the store and checks it). Stops at the first failure.
void Run(const char* variable, const QString& value, int rounds,
         const std::function<void(int round)>& afterKill);

} // namespace KillRounds
