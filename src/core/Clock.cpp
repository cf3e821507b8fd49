#include "core/Clock.h"

namespace {
// Offset from the real clock, or a frozen moment. Only tests change these.
qint64 g_offsetMs = 0;
QDateTime g_frozen;
} // namespace

namespace Clock {

QDateTime Now() {
    if (g_frozen.isValid()) return g_frozen;
    QDateTime now = QDateTime::currentDateTime();
    return g_offsetMs ? now.addMSecs(g_offsetMs) : now;
}

void SetNow(const QDateTime& moment) {
    g_frozen = moment;
}

void Advance(qint64 milliseconds) {
    if (g_frozen.isValid())
        g_frozen = g_frozen.addMSecs(milliseconds);
    else
        g_offsetMs += milliseconds;
}

void Reset() {
    g_frozen = QDateTime();
    g_offsetMs = 0;
}

qint64 WholeSecondsBetween(const QDateTime& from, const QDateTime& to) {
    return from.secsTo(to);
}

} // namespace Clock
