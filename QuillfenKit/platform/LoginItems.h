#pragma once

#include <optional>
#include <string>

namespace quillfen::platform {

// The running application's own login item: whether the session starts it when the user
// logs in. Each call answers nothing on success, otherwise the error's description.
class LoginItems {
public:
    virtual ~LoginItems() = default;

    virtual std::optional<std::string> registerMainApp() = 0;
    // Succeeds when there is nothing to remove.
    virtual std::optional<std::string> unregisterMainApp() = 0;
};

} // namespace quillfen::platform
