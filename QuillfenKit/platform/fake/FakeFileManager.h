#pragma once

#include "platform/FileManager.h"

namespace quillfen::platform::fake {

// Paths chosen by the test, normally inside a temporary folder.
class FakeFileManager final : public FileManager {
public:
    std::optional<std::filesystem::path>
    containerForSecurityApplicationGroup(std::string_view groupID) const override {
        if (!groupContainersRoot) return std::nullopt;
        return *groupContainersRoot / groupID;
    }
    std::filesystem::path homeDirectoryForCurrentUser() const override { return home; }
    std::optional<std::filesystem::path> runtimeDirectory() const override { return runtimeRoot; }

    std::optional<std::filesystem::path> groupContainersRoot;
    std::filesystem::path home = "/nonexistent";
    // None by default: volatile files then fall back to the container.
    std::optional<std::filesystem::path> runtimeRoot;
};

} // namespace quillfen::platform::fake
