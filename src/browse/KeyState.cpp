#include "browse/KeyState.h"

#include <QGuiApplication>

namespace {

std::function<Qt::KeyboardModifiers()>& Probe() {
    static std::function<Qt::KeyboardModifiers()> probe;
    return probe;
}

Qt::KeyboardModifiers Held() {
    if (Probe()) return Probe()();
    return QGuiApplication::queryKeyboardModifiers();
}

} // namespace

namespace KeyState {

bool CtrlHeld() {
    return Held().testFlag(Qt::ControlModifier);
}

bool AltHeld() {
    return Held().testFlag(Qt::AltModifier);
}

void SetProbe(std::function<Qt::KeyboardModifiers()> probe) {
    Probe() = std::move(probe);
}

} // namespace KeyState
