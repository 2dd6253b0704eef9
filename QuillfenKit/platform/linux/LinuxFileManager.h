#pragma once

#include "platform/FileManager.h"

namespace quillfen::platform::linux {

// Group containers live in the user's XDG data folder: `$XDG_DATA_HOME/<group>`, by default
// `~/.local/share/<group>`. The runtime folder is `$XDG_RUNTIME_DIR` when it is usable.
class LinuxFileManager final : public FileManager {
public:
    std::optional<std::filesystem::path>
    containerForSecurityApplicationGroup(std::string_view groupID) const override;
    std::filesystem::path homeDirectoryForCurrentUser() const override;
    std::optional<std::filesystem::path> runtimeDirectory() const override;
};

} // namespace quillfen::platform::linux
