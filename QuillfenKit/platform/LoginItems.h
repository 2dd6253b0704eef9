#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quillfen::platform {

// Login items: whether the session starts an application when the user logs in, either the
// running application itself or one that ships inside its bundle (the main app registers the
// menu-bar app it carries). Each call answers nothing on success, otherwise the error's
// description.
class LoginItems {
public:
    virtual ~LoginItems() = default;

    virtual std::optional<std::string> registerMainApp() = 0;
    // Succeeds when there is nothing to remove.
    virtual std::optional<std::string> unregisterMainApp() = 0;

    // The application of the bundle at `bundle`, named by the identifier and executable its
    // information dictionary gives.
    virtual std::optional<std::string> registerApp(const std::filesystem::path& bundle) = 0;
    // The login item of the application with this identifier; succeeds when there is none.
    virtual std::optional<std::string> unregisterApp(std::string_view bundleIdentifier) = 0;
};

} // namespace quillfen::platform
