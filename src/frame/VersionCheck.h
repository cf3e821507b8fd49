#pragma once

#include <functional>
#include <QString>

class QWidget;

// The check of the settings version at start-up: the first run (the companion program and the
// agreement), an upgrade (the companion program again), or settings written by a newer version
// (refused). Afterwards the program's version, its folder and its local pages are in place.
namespace VersionCheck {

struct Hooks {
    // Starts the companion program with these arguments (not waited for).
    std::function<void(const QString& arguments)> startCompanion;
    // The first-run agreement; false when the user declined and confirmed leaving.
    std::function<bool(QWidget* parent)> agreement;
};

// The companion's arguments at the first run and after an upgrade.
inline const QString kRegisterArguments = QStringLiteral(" /REGSERVER");

// A version text as three characters: "0"s appended, the first three kept ("9" -> "900",
// "1529" -> "152").
QString Normalise(const QString& version);
// The number a text starts with (leading blanks skipped); 0 when it starts with none.
int LeadingNumber(const QString& text);

// Runs the check. False: start-up must stop (the user has been told, or declined).
bool CheckVersion(const Hooks& hooks, QWidget* parent = nullptr);

} // namespace VersionCheck
