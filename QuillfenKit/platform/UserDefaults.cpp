#include "platform/UserDefaults.h"

namespace quillfen::platform {
namespace {

template <typename T>
std::optional<T> valueOfKind(const UserDefaults& defaults, std::string_view key) {
    auto value = defaults.objectForKey(key);
    if (!value) return std::nullopt;
    if (auto* v = std::get_if<T>(&*value)) return std::move(*v);
    return std::nullopt;
}

} // namespace

bool UserDefaults::boolForKey(std::string_view key) const {
    return valueOfKind<bool>(*this, key).value_or(false);
}

std::optional<std::string> UserDefaults::stringForKey(std::string_view key) const {
    return valueOfKind<std::string>(*this, key);
}

std::optional<std::vector<std::string>>
UserDefaults::stringArrayForKey(std::string_view key) const {
    return valueOfKind<std::vector<std::string>>(*this, key);
}

} // namespace quillfen::platform
