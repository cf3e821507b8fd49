#pragma once

// Initialisation files (the settings export), on top of IniFile.
namespace core {

// Error number of a failed INI write (the description says why).
constexpr long kErrIniWrite = 75;

} // namespace core
