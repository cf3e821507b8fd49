#pragma once

#include <QDateTime>

// The program's one source of "now". Timers stay QTimer; every comparison of times goes
// through Now() so that tests can move the clock instead of waiting.
namespace Clock {

QDateTime Now();

// Test hooks: freeze the clock at a moment, move it, or return to the real time.
void SetNow(const QDateTime& moment);
void Advance(qint64 milliseconds);
void Reset();

// Whole seconds from `from` to `to` (negative when `to` is earlier), as the program's
// "whole seconds between" rules count them.
qint64 WholeSecondsBetween(const QDateTime& from, const QDateTime& to);

} // namespace Clock
