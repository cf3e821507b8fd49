#pragma once

#include <QColor>

// The load state of a Link, shown as the background of its view button.
namespace TabColour {
inline const QColor LightYellow{255, 255, 192}; // loading, not logged in (or outside the Link's site)
inline const QColor Yellow{255, 255, 0};        // loaded, not logged in
inline const QColor LightGreen{192, 255, 192};  // loading inside the Link's site while logged in
inline const QColor Green{0, 255, 0};           // loaded and logged in
inline const QColor Red{255, 0, 0};             // a tab that stays as it is when a login is accepted
// No state: the button's own face colour (an invalid colour).
inline const QColor ButtonFace{};
} // namespace TabColour
