#pragma once

#include <cstdint>

namespace quillfen {

// Bytes per second between two readings of a cumulative counter `seconds` apart (seconds
// > 0), truncated. A counter that went down (a disk detached, sockets closed) counts as no
// activity rather than a negative rate, and a rate beyond 64 bits is held at the maximum.
inline std::uint64_t bytesPerSecond(std::uint64_t previous, std::uint64_t current, double seconds) {
    const std::uint64_t delta = current >= previous ? current - previous : 0;
    const double rate = static_cast<double>(delta) / seconds;
    // 2^64 as a double: the first value that does not convert.
    if (!(rate < 18446744073709551616.0)) return UINT64_MAX;
    return static_cast<std::uint64_t>(rate);
}

} // namespace quillfen
