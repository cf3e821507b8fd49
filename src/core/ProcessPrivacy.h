#pragma once

// The master password and the Links' passwords are in the program's memory while it runs: none of
// it may end up in a core file.
namespace ProcessPrivacy {

// No core files of this process (core handlers such as systemd-coredump honour the limit too).
// True when it took effect.
bool KeepMemoryPrivate();

} // namespace ProcessPrivacy
