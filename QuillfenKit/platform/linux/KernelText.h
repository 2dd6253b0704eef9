#pragma once

// Parsing of the small text files under /proc and /sys. Their contents are treated as
// untrusted: every function bounds what it accepts and reports malformed input as nothing.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen::platform::linux {

// Highest number of processors any list is allowed to name.
inline constexpr unsigned kMaxProcessors = 16384;

std::string_view trim(std::string_view text);

// Splits off the next field separated by spaces or tabs; empty at the end of `rest`.
std::string_view nextField(std::string_view& rest);

// Splits off the next line, without its newline.
std::string_view nextLine(std::string_view& rest);

// Calls `visit(key, value)` for each line of `text` written "key<separator>value", in order,
// both trimmed; lines without the separator are skipped.
void forEachKeyedLine(std::string_view text, char separator,
                      const std::function<void(std::string_view, std::string_view)>& visit);

// The value of the first line keyed `key` in a file of "key=value" or "key value" lines.
std::optional<std::string> keyedValue(std::string_view text, std::string_view key, char separator);

// A decimal number made of digits only, within 64 bits.
std::optional<std::uint64_t> parseUnsigned(std::string_view text);

// A decimal number of digits with an optional leading "-", within signed 64 bits.
std::optional<std::int64_t> parseSigned(std::string_view text);

// A hexadecimal number with or without a leading "0x", within 64 bits.
std::optional<std::uint64_t> parseHex(std::string_view text);

// A processor list such as "0-3,8,10-11" (surrounding white space allowed), in the order
// written. Nothing for a malformed list or one naming a processor at or beyond
// kMaxProcessors.
std::optional<std::vector<unsigned>> parseCPUList(std::string_view text);

// Saturating arithmetic for counters that must not wrap.
inline std::uint64_t addSaturating(std::uint64_t a, std::uint64_t b) {
    return a + b < a ? UINT64_MAX : a + b;
}
inline std::uint64_t multiplySaturating(std::uint64_t a, std::uint64_t b) {
    return b != 0 && a > UINT64_MAX / b ? UINT64_MAX : a * b;
}

} // namespace quillfen::platform::linux
