#include "platform/linux/LinuxVolumeFlags.h"

#include "platform/linux/SysfsAttribute.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

namespace quillfen::platform::linux {

LinuxVolumeFlags::LinuxVolumeFlags(std::filesystem::path sysRoot)
    : sysRoot_(std::move(sysRoot)) {}

std::optional<bool> LinuxVolumeFlags::isRemovableDevice(unsigned major, unsigned minor) const {
    // The kernel follows the device link itself, and ".." after it leads to the link target's
    // parent: a partition's disk. No resolving of paths in user space is needed.
    auto device =
        sysRoot_ / "dev" / "block" / (std::to_string(major) + ":" + std::to_string(minor));
    std::error_code ec;
    if (!std::filesystem::exists(device, ec)) return std::nullopt;
    // A partition's flags are its disk's.
    if (std::filesystem::exists(device / "partition", ec)) device /= "..";
    if (const auto backing = readSysfsText(device / "loop" / "backing_file");
        backing && !backing->empty())
        return true;
    const auto removable = readSysfsText(device / "removable");
    if (!removable) return std::nullopt;
    return *removable == "1";
}

std::optional<VolumeResourceValues>
LinuxVolumeFlags::volumeResourceValues(const std::filesystem::path& path) const {
    struct statvfs vfs {};
    struct stat st {};
    if (::statvfs(path.c_str(), &vfs) != 0 || ::stat(path.c_str(), &st) != 0) return std::nullopt;
    return VolumeResourceValues{(vfs.f_flag & ST_RDONLY) != 0,
                                isRemovableDevice(::major(st.st_dev), ::minor(st.st_dev))};
}

} // namespace quillfen::platform::linux
