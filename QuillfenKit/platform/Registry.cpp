#include "platform/Registry.h"

#include <cmath>

namespace quillfen::platform {

bool RegistryValue::isNumber() const {
    return std::holds_alternative<std::int64_t>(value_) || std::holds_alternative<double>(value_);
}

std::optional<double> RegistryValue::doubleValue() const {
    if (const auto* i = std::get_if<std::int64_t>(&value_)) return static_cast<double>(*i);
    if (const auto* d = std::get_if<double>(&value_)) return *d;
    return std::nullopt;
}

std::optional<std::int64_t> RegistryValue::integerValue() const {
    if (const auto* i = std::get_if<std::int64_t>(&value_)) return *i;
    if (const auto* d = std::get_if<double>(&value_)) {
        // 2^63 is exact as a double; anything at or beyond it does not fit.
        constexpr double limit = 9223372036854775808.0;
        if (!std::isfinite(*d) || *d >= limit || *d < -limit) return std::nullopt;
        return static_cast<std::int64_t>(*d);
    }
    return std::nullopt;
}

} // namespace quillfen::platform
