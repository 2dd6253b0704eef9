#include "platform/linux/LinuxFileManager.h"

#include "platform/linux/XdgDirs.h"

namespace quillfen::platform::linux {

std::optional<std::filesystem::path>
LinuxFileManager::containerForSecurityApplicationGroup(std::string_view groupID) const {
    if (groupID.empty() || groupID.find('/') != std::string_view::npos || groupID == "." ||
        groupID == "..")
        return std::nullopt;
    if (auto data = xdg::dataHome()) return *data / groupID;
    return std::nullopt;
}

std::filesystem::path LinuxFileManager::homeDirectoryForCurrentUser() const {
    // A user without a home still needs a path; "/" makes every write fail quietly.
    return xdg::home().value_or(std::filesystem::path("/"));
}

std::optional<std::filesystem::path> LinuxFileManager::runtimeDirectory() const {
    return xdg::runtimeDir();
}

} // namespace quillfen::platform::linux
