#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quillfen::platform {

// What a defaults store keeps under a key; the three kinds stay apart (a text "true" is not
// a boolean, a one-element array is not a text).
using DefaultsValue = std::variant<bool, std::string, std::vector<std::string>>;

// One store of user defaults, shared by every process that opens the same suite. A value
// written is seen by the next read in any process.
class UserDefaults {
public:
    virtual ~UserDefaults() = default;

    // Nothing when the key is missing or holds a value of a kind not listed above.
    virtual std::optional<DefaultsValue> objectForKey(std::string_view key) const = 0;
    // False when the store could not keep the change; `problem` says why.
    virtual bool setObject(const DefaultsValue& value, std::string_view key) = 0;
    virtual bool removeObjectForKey(std::string_view key) = 0;
    // What went wrong at the store's last access, in words for the user: a store that could
    // not be read (it reads as empty) or written, or a note on how a write had to recover
    // (where an unreadable file was kept). Nothing when all went well.
    virtual std::optional<std::string> problem() const = 0;

    // False unless the key holds a boolean.
    bool boolForKey(std::string_view key) const;
    bool setBool(bool value, std::string_view key) { return setObject(value, key); }
    // Nothing unless the key holds a text.
    std::optional<std::string> stringForKey(std::string_view key) const;
    // Nothing unless the key holds an array of texts.
    std::optional<std::vector<std::string>> stringArrayForKey(std::string_view key) const;
};

// The stores of the current user.
class UserDefaultsSuites {
public:
    virtual ~UserDefaultsSuites() = default;

    // The process's own store.
    virtual std::shared_ptr<UserDefaults> standardUserDefaults() = 0;
    // The store shared under `suiteName` (an application group's identifier shares the
    // group's container), or nothing when it cannot be created. Repeated calls with the same
    // name return the same store.
    virtual std::shared_ptr<UserDefaults> suiteNamed(std::string_view suiteName) = 0;
};

} // namespace quillfen::platform
