#pragma once

#include <cstdint>
#include <cstdlib>
#include <QByteArray>

// A broken promise ends the run as a crash does, so that libFuzzer keeps the input.
inline void Check(bool ok) {
    if (!ok) std::abort();
}

inline QByteArray Bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}
