#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quillfen::platform {

class RegistryValue;
using RegistryDictionary = std::map<std::string, RegistryValue, std::less<>>;
using RegistryArray = std::vector<RegistryValue>;
using RegistryBytes = std::vector<std::uint8_t>;

// One property value of a registry entry: a small tree of dictionaries, arrays and scalars.
class RegistryValue {
public:
    using Variant = std::variant<RegistryDictionary, RegistryArray, std::string, RegistryBytes,
                                 std::int64_t, double, bool>;

    RegistryValue() = default;
    template <typename T>
    requires std::constructible_from<Variant, T>
    RegistryValue(T&& v) // NOLINT: values convert implicitly, as literals in a tree should
        : value_(std::forward<T>(v)) {}

    const Variant& variant() const { return value_; }

    const RegistryDictionary* dictionary() const {
        return std::get_if<RegistryDictionary>(&value_);
    }
    RegistryDictionary* dictionary() { return std::get_if<RegistryDictionary>(&value_); }
    const std::string* text() const { return std::get_if<std::string>(&value_); }
    // Integers and doubles are numbers; booleans are not.
    bool isNumber() const;
    // The value of a number as a double; nothing for anything else.
    std::optional<double> doubleValue() const;
    // The value of a number as an integer, a double truncated towards zero; nothing for
    // anything else or a double that is not finite or out of range.
    std::optional<std::int64_t> integerValue() const;

    bool operator==(const RegistryValue&) const = default;

private:
    Variant value_;
};

// One registry entry. Destroying the object releases whatever the system holds for it.
class RegistryService {
public:
    virtual ~RegistryService() = default;
    // Every property at once, or nothing when they cannot be read.
    virtual std::optional<RegistryDictionary> properties() const = 0;
    // One property, or nothing when the entry lacks it or it cannot be read.
    virtual std::optional<RegistryValue> property(std::string_view key) const = 0;
};

// The system's device registry.
class Registry {
public:
    virtual ~Registry() = default;
    // The services of `className` in registry order (possibly none), or nothing when the
    // lookup itself fails.
    virtual std::optional<std::vector<std::unique_ptr<RegistryService>>>
    servicesMatching(std::string_view className) = 0;

    // The entry at a registry path such as "IODeviceTree:/product", or nothing.
    virtual std::unique_ptr<RegistryService> entryFromPath(std::string_view path) = 0;
};

} // namespace quillfen::platform
