#pragma once

#include "platform/Volumes.h"
#include "platform/linux/LinuxVolumeFlags.h"
#include "platform/linux/MountInfo.h"

#include <cstdint>
#include <functional>
#include <map>
#include <unordered_map>

namespace quillfen::platform::linux {

// The mounts of /proc/self/mountinfo as volumes:
// - hidden: the kernel's own interfaces (proc, sysfs, cgroup, …) and automount points;
// - local: anything but network filesystems and FUSE mounts (which may be served from
//   anywhere); block-backed FUSE ("fuseblk") is local;
// - browsable: filesystems a user keeps files on — not tmpfs, devtmpfs, overlay, squashfs,
//   the EFI system partition, snaps or mounts under /proc, /sys, /dev and /run (removable
//   media under /run/media are browsable);
// - name: the filesystem's label, else the mount point's last component; "/" is named
//   after the distribution;
// - capacities from statvfs, in f_frsize units: total = what an ordinary user has, the used
//   blocks (f_blocks − f_bfree) and f_bavail, so that used and its share agree with df;
//   important = f_bavail, plain = f_bfree. Only local, browsable volumes are asked, so a
//   dead network server cannot stall a reader.
// A filesystem mounted in several places (bind mounts, btrfs subvolumes) is one volume, at
// the first of its mount points that is local and browsable.
class LinuxVolumes final : public Volumes {
public:
    struct Space {
        std::uint64_t blocks = 0;       // f_blocks
        std::uint64_t free = 0;         // f_bfree
        std::uint64_t available = 0;    // f_bavail
        std::uint64_t fragmentSize = 0; // f_frsize
    };
    using StatVfs = std::function<std::optional<Space>(const std::filesystem::path&)>;

    // `root` is where /dev (labels) and /etc (the distribution's name) are found.
    LinuxVolumes(std::filesystem::path procRoot, std::filesystem::path sysRoot,
                 std::filesystem::path root = "/", StatVfs statvfs = systemStatVfs);

    std::optional<std::vector<std::filesystem::path>>
    mountedVolumeURLs(bool skipHiddenVolumes) override;
    std::optional<MountedVolumeValues> resourceValues(const std::filesystem::path& volume) override;

    static std::optional<Space> systemStatVfs(const std::filesystem::path& path);

private:
    std::optional<std::vector<MountEntry>> readMounts() const;
    std::optional<std::string> label(const MountEntry& mount);
    std::string distributionName() const;

    std::filesystem::path mountInfo_;
    std::filesystem::path root_;
    StatVfs statvfs_;
    LinuxVolumeFlags flags_;
    // The mounts of the latest listing, by mount point.
    std::unordered_map<std::string, MountEntry> listed_;
    // Labels by device number, read once per listing.
    std::optional<std::map<std::pair<unsigned, unsigned>, std::string>> labels_;
};

} // namespace quillfen::platform::linux
