#pragma once

#include "platform/LoginItems.h"

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

    std::optional<std::string> error;
    std::vector<Call> calls;
};

} // namespace quillfen::platform::fake
