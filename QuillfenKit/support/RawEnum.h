#pragma once

#include "support/Json.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quillfen {

// The raw-value strings of an enumeration, which is how it is stored and how it travels in
// JSON; a string that is no raw value converts to nothing.
template <typename E, std::size_t N> struct RawEnum {
    std::array<std::pair<E, std::string_view>, N> table;

    constexpr std::string_view raw(E value) const {
        for (const auto& [e, r] : table)
            if (e == value) return r;
        return {};
    }
    constexpr std::optional<E> parse(std::string_view raw) const {
        for (const auto& [e, r] : table)
            if (r == raw) return e;
        return std::nullopt;
    }
    constexpr std::array<E, N> allCases() const {
        std::array<E, N> out{};
        for (std::size_t i = 0; i < N; ++i)
            out[i] = table[i].first;
        return out;
    }

    void encode(json::Json& j, E value) const { j = std::string(raw(value)); }
    bool decode(const json::Json& j, E& value) const {
        if (!j.is_string()) return false;
        const auto e = parse(j.get_ref<const std::string&>());
        if (!e) return false;
        value = *e;
        return true;
    }
};

} // namespace quillfen
