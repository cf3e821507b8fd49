#pragma once

#include <functional>

// The program's Work Offline switch and the machine's connectivity, as the navigation rules use
// them. The switch blocks network loads in every engine profile (WebProfiles) and is kept across
// runs, as users expect a browser to start the way they left it.
namespace OfflineState {

bool IsOffline();
// Switches and remembers it (General\WorkOffline).
void SetOffline(bool offline);
// Puts the remembered state into effect (start-up).
void Restore();

// Whether the machine has a network connection. "Unknown" (no way to tell) counts as connected.
bool HasConnection();
// Tests decide the answer of HasConnection(); an empty function restores the real one.
void SetConnectionProbe(std::function<bool()> probe);

} // namespace OfflineState
