#pragma once

#include <QString>

namespace core {

// The readable explanation of a failed navigation's status: an HTTP status (400..505) or one
// of the two Internet error codes (0x800C0005, 0x800C0006, negative as 32-bit numbers or not).
// Any other code gives "".
QString StatusCodeText(long code);

} // namespace core
