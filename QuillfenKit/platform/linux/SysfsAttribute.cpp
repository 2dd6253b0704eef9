#include "platform/linux/SysfsAttribute.h"

#include "platform/linux/FileIO.h"
#include "platform/linux/KernelText.h"

#include <charconv>
#include <string_view>

namespace quillfen::platform::linux {
std::optional<std::string> readSysfsText(const std::filesystem::path& file) {
    auto text = readFile(file, kMaxAttributeBytes);
    if (!text) return std::nullopt;
    return std::string(trim(*text));
}

std::optional<std::int64_t> readSysfsInteger(const std::filesystem::path& file) {
    const auto text = readFile(file, kMaxAttributeBytes);
    if (!text) return std::nullopt;
    return parseSigned(trim(*text));
}

std::optional<unsigned> numberBetween(std::string_view name, std::string_view prefix,
                                      std::string_view suffix) {
    if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) ||
        !name.ends_with(suffix))
        return std::nullopt;
    const auto digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

} // namespace quillfen::platform::linux
