#pragma once

#include "platform/LoginItems.h"
#include "platform/MainBundle.h"

#include <filesystem>
#include <memory>
#include <variant>

namespace quillfen::platform::linux {

// The XDG autostart entry `$XDG_CONFIG_HOME/autostart/<bundle id>.desktop`, which the
// session starts at login; it runs the executable of the running process, or that of another
// bundle (`Contents/MacOS/<CFBundleExecutable>`).
class LinuxLoginItems final : public LoginItems {
public:
    // Empty arguments mean the environment's config folder and /proc/self/exe.
    explicit LinuxLoginItems(std::shared_ptr<const MainBundle> bundle,
                             std::filesystem::path autostartFolder = {},
                             std::filesystem::path executable = {});

    std::optional<std::string> registerMainApp() override;
    std::optional<std::string> unregisterMainApp() override;
    std::optional<std::string> registerApp(const std::filesystem::path& bundle) override;
    std::optional<std::string> unregisterApp(std::string_view bundleIdentifier) override;

private:
    struct Entry {
        std::filesystem::path file;
        std::string name;
    };
    // The entry file of the running application, or the reason there is none.
    std::variant<Entry, std::string> entry() const;
    // The entry file of an application with this identifier and name.
    std::variant<Entry, std::string> entryFor(const std::optional<std::string>& identifier,
                                              const std::optional<std::string>& name) const;
    std::optional<std::string> write(const Entry& entry, const std::filesystem::path& exe) const;
    static std::optional<std::string> remove(const std::filesystem::path& file);

    std::shared_ptr<const MainBundle> bundle_;
    std::filesystem::path autostartFolder_;
    std::filesystem::path executable_;
};

} // namespace quillfen::platform::linux
