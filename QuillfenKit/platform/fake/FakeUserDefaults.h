#pragma once

#include "platform/UserDefaults.h"

#include <map>

namespace quillfen::platform::fake {

class FakeUserDefaults final : public UserDefaults {
public:
    std::optional<DefaultsValue> objectForKey(std::string_view key) const override {
        const auto it = values.find(key);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    bool setObject(const DefaultsValue& value, std::string_view key) override {
        if (refuseWrites) return false;
        values.insert_or_assign(std::string(key), value);
        return true;
    }
    bool removeObjectForKey(std::string_view key) override {
        if (refuseWrites) return false;
        if (const auto it = values.find(key); it != values.end()) values.erase(it);
        return true;
    }
    std::optional<std::string> problem() const override { return trouble; }

    std::map<std::string, DefaultsValue, std::less<>> values;
    // A store that keeps nothing, and what it says about itself.
    bool refuseWrites = false;
    std::optional<std::string> trouble;
};

// Suites in memory; `refuseSuites` makes every named suite impossible to create.
class FakeUserDefaultsSuites final : public UserDefaultsSuites {
public:
    std::shared_ptr<UserDefaults> standardUserDefaults() override { return standard; }
    std::shared_ptr<UserDefaults> suiteNamed(std::string_view suiteName) override {
        if (refuseSuites) return nullptr;
        auto& slot = suites[std::string(suiteName)];
        if (!slot) slot = std::make_shared<FakeUserDefaults>();
        return slot;
    }

    const std::shared_ptr<FakeUserDefaults> standard = std::make_shared<FakeUserDefaults>();
    std::map<std::string, std::shared_ptr<FakeUserDefaults>, std::less<>> suites;
    bool refuseSuites = false;
};

} // namespace quillfen::platform::fake
