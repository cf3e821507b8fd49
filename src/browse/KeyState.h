#pragma once

#include <functional>
#include <Qt>

// Which modifier keys are held right now. A new window is decided on long after the key event
// that led to it (the page's script runs in between), so the keyboard itself is asked, not the
// last event.
namespace KeyState {

bool CtrlHeld();
bool AltHeld();
// Tests decide which keys are held; an empty function asks the keyboard again.
void SetProbe(std::function<Qt::KeyboardModifiers()> probe);

} // namespace KeyState
