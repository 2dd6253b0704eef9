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
    void setObject(const DefaultsValue& value, std::string_view key) override {
        values.insert_or_assign(std::string(key), value);
    }
    void removeObjectForKey(std::string_view key) override {
        if (const auto it = values.find(key); it != values.end()) values.erase(it);
    }

    std::map<std::string, DefaultsValue, std::less<>> values;
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
