#include "platform/linux/KernelText.h"

#include <charconv>

namespace quillfen::platform::linux {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// All of `text` as one number in `base`; nothing for anything else or an overflow.
template <typename T> std::optional<T> parseWhole(std::string_view text, int base) {
    if (text.empty()) return std::nullopt;
    T value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

} // namespace

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view nextField(std::string_view& rest) {
    std::size_t start = 0;
    while (start < rest.size() && (rest[start] == ' ' || rest[start] == '\t'))
        ++start;
    std::size_t end = start;
    while (end < rest.size() && rest[end] != ' ' && rest[end] != '\t')
        ++end;
    const std::string_view field = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return field;
}

std::string_view nextLine(std::string_view& rest) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return line;
}

void forEachKeyedLine(std::string_view text, char separator,
                      const std::function<void(std::string_view, std::string_view)>& visit) {
    while (!text.empty()) {
        const std::string_view line = nextLine(text);
        const std::size_t at = line.find(separator);
        if (at != std::string_view::npos)
            visit(trim(line.substr(0, at)), trim(line.substr(at + 1)));
    }
}

std::optional<std::string> keyedValue(std::string_view text, std::string_view key, char separator) {
    while (!text.empty()) {
        const std::string_view line = nextLine(text);
        const std::size_t at = line.find(separator);
        if (at != std::string_view::npos && trim(line.substr(0, at)) == key)
            return std::string(trim(line.substr(at + 1)));
    }
    return std::nullopt;
}

std::optional<std::uint64_t> parseUnsigned(std::string_view text) {
    return parseWhole<std::uint64_t>(text, 10);
}

std::optional<std::int64_t> parseSigned(std::string_view text) {
    return parseWhole<std::int64_t>(text, 10);
}

std::optional<std::uint64_t> parseHex(std::string_view text) {
    if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
    return parseWhole<std::uint64_t>(text, 16);
}

std::optional<std::vector<unsigned>> parseCPUList(std::string_view text) {
    text = trim(text);
    std::vector<unsigned> cpus;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
        const std::size_t dash = item.find('-');
        const auto first = parseUnsigned(item.substr(0, dash));
        const auto last =
            dash == std::string_view::npos ? first : parseUnsigned(item.substr(dash + 1));
        if (!first || !last || *first > *last || *last >= kMaxProcessors) return std::nullopt;
        if (cpus.size() + (*last - *first + 1) > kMaxProcessors) return std::nullopt;
        for (auto cpu = *first; cpu <= *last; ++cpu)
            cpus.push_back(static_cast<unsigned>(cpu));
    }
    return cpus;
}

} // namespace quillfen::platform::linux
