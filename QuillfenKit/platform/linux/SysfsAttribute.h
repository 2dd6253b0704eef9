#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace quillfen::platform::linux {

// Attributes are a line of text; anything longer is not an attribute we understand.
inline constexpr std::size_t kMaxAttributeBytes = 4096;

// A sysfs attribute's text without surrounding white space; nothing when it cannot be read.
std::optional<std::string> readSysfsText(const std::filesystem::path& file);

// A sysfs attribute holding one decimal integer and nothing else.
std::optional<std::int64_t> readSysfsInteger(const std::filesystem::path& file);

// "42" → 42 for the digits after `prefix` and before `suffix` in a file name such as
// "temp42_input"; nothing when the name has another shape.
std::optional<unsigned> numberBetween(std::string_view name, std::string_view prefix,
                                      std::string_view suffix);

} // namespace quillfen::platform::linux
