#include "platform/linux/LinuxVolumeFlags.h"

#include "support/FileIO.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

namespace quillfen::platform::linux {
namespace {

std::optional<std::string> firstLine(const std::filesystem::path& file) {
    auto text = readFile(file, 4096);
    if (!text) return std::nullopt;
    text->erase(std::min(text->find('\n'), text->size()));
    return text;
}

} // namespace

LinuxVolumeFlags::LinuxVolumeFlags(std::filesystem::path sysRoot)
    : sysRoot_(std::move(sysRoot)) {}

std::optional<bool> LinuxVolumeFlags::isRemovableDevice(unsigned major, unsigned minor) const {
    std::error_code ec;
    const auto link =
        sysRoot_ / "dev" / "block" / (std::to_string(major) + ":" + std::to_string(minor));
    auto device = std::filesystem::canonical(link, ec);
    if (ec) return std::nullopt;
    // A partition's flags are its disk's.
    if (std::filesystem::exists(device / "partition", ec)) device = device.parent_path();
    if (const auto backing = firstLine(device / "loop" / "backing_file");
        backing && !backing->empty())
        return true;
    const auto removable = firstLine(device / "removable");
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
