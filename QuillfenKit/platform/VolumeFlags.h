#pragma once

#include <filesystem>
#include <optional>

namespace quillfen::platform {

struct VolumeResourceValues {
    std::optional<bool> isReadOnly;  // absent when the system does not say
    std::optional<bool> isRemovable; // ejectable media, and mounted disk images
};

// What the system knows about the volume a file lies on.
class VolumeFlags {
public:
    virtual ~VolumeFlags() = default;

    // Nothing when the path's volume cannot be examined at all (for example, it is missing).
    virtual std::optional<VolumeResourceValues>
    volumeResourceValues(const std::filesystem::path& path) const = 0;
};

} // namespace quillfen::platform
