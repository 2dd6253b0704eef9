#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace quillfen::platform {

// Where the product's shared files live.
class FileManager {
public:
    virtual ~FileManager() = default;

    // The shared container of an application group, or nothing when the system cannot
    // name one.
    virtual std::optional<std::filesystem::path>
    containerForSecurityApplicationGroup(std::string_view groupID) const = 0;

    virtual std::filesystem::path homeDirectoryForCurrentUser() const = 0;

    // The user's runtime folder: private to the user, kept in memory and emptied when the
    // user logs out. The place for files that are rewritten often and worthless soon after.
    // Nothing when the session has no usable one.
    virtual std::optional<std::filesystem::path> runtimeDirectory() const = 0;
};

} // namespace quillfen::platform
