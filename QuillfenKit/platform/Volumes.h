#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quillfen::platform {

// What the system knows about one mounted volume; absent where it cannot tell.
struct MountedVolumeValues {
    std::optional<std::string> localizedName;
    std::optional<std::int64_t> totalCapacity;
    std::optional<std::int64_t> availableCapacityForImportantUsage;
    std::optional<std::int64_t> availableCapacity;
    std::optional<bool> isBrowsable;
    std::optional<bool> isLocal;
    std::optional<bool> isInternal;
};

// The mounted volumes.
class Volumes {
public:
    virtual ~Volumes() = default;
    // The mount points, in mount order, or nothing when they cannot be listed. Hidden
    // volumes are the system's own (kernel interfaces, automount points); they are left out
    // when asked.
    virtual std::optional<std::vector<std::filesystem::path>>
    mountedVolumeURLs(bool skipHiddenVolumes) = 0;
    // The values of one listed volume, or nothing when it is no longer mounted.
    virtual std::optional<MountedVolumeValues>
    resourceValues(const std::filesystem::path& volume) = 0;
};

} // namespace quillfen::platform
