#pragma once

#include "platform/LoginItems.h"

#include <filesystem>
#include <string>
#include <vector>

namespace quillfen::platform::fake {

// Records each call; answers with `error` (nothing means success).
class FakeLoginItems final : public LoginItems {
public:
    enum class Call { registered, unregistered };

    std::optional<std::string> registerMainApp() override {
        calls.push_back(Call::registered);
        return error;
    }
    std::optional<std::string> unregisterMainApp() override {
        calls.push_back(Call::unregistered);
        return error;
    }

    std::optional<std::string> registerApp(const std::filesystem::path& bundle) override {
        calls.push_back(Call::registered);
        apps.push_back({Call::registered, bundle.string()});
        return error;
    }
    std::optional<std::string> unregisterApp(std::string_view bundleIdentifier) override {
        calls.push_back(Call::unregistered);
        apps.push_back({Call::unregistered, std::string(bundleIdentifier)});
        return error;
    }

    std::optional<std::string> error;
    std::vector<Call> calls;
    // The calls about other applications: the bundle registered or the identifier removed.
    std::vector<std::pair<Call, std::string>> apps;
};

} // namespace quillfen::platform::fake
