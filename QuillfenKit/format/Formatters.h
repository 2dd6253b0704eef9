#pragma once

#include <cstdint>
#include <string>

namespace quillfen::Formatters {

// "22°C" / "72°F", or "22°" when compact, in the user's unit, rounded half away from zero.
// Main thread only: it reads the shared settings.
std::string temperature(double celsius, bool compact);

// 0.456 → "46%", rounded half away from zero.
std::string percent(double fraction);

// Memory-style byte counts: binary multiples; "1 byte", "512 bytes", whole "KB", one decimal
// for "MB", two for "GB" and above, trailing zeros dropped ("12.4 GB").
std::string bytes(std::uint64_t count);

// "1023 B/s" up to 1023, else the byte count per second ("1 KB/s").
std::string rate(std::uint64_t bytesPerSecond);

// What every formatter prints for a value it cannot show: a non-finite number or a count
// beyond the signed 64-bit range.
inline constexpr const char* unknown = "—";

} // namespace quillfen::Formatters
