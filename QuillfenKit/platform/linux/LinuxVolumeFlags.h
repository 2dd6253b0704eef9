#pragma once

#include "platform/VolumeFlags.h"

#include <string>

namespace quillfen::platform::linux {

// Read-only from statvfs; removable from the block device the volume lives on, as sysfs
// describes it: media the kernel marks removable, and loop devices backed by a file — a
// mounted image is this platform's disk image.
class LinuxVolumeFlags final : public VolumeFlags {
public:
    explicit LinuxVolumeFlags(std::filesystem::path sysRoot = "/sys");

    std::optional<VolumeResourceValues>
    volumeResourceValues(const std::filesystem::path& path) const override;

    // Whether the block device with these numbers is removable; nothing when sysfs does not
    // know the device (filesystems without one, such as tmpfs, or btrfs subvolumes).
    std::optional<bool> isRemovableDevice(unsigned major, unsigned minor) const;

private:
    std::filesystem::path sysRoot_;
};

} // namespace quillfen::platform::linux
