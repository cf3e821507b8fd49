#include "core/ProcessPrivacy.h"

#include <sys/resource.h>

namespace ProcessPrivacy {

bool KeepMemoryPrivate() {
    // Not also made undumpable: that hides /proc/<pid>/exe from the next start of the program,
    // which then takes the running copy's lock file for a dead one's.
    const rlimit none{0, 0};
    return setrlimit(RLIMIT_CORE, &none) == 0;
}

} // namespace ProcessPrivacy
