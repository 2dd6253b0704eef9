#pragma once

#include "platform/linux/KernelFile.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quillfen::platform::linux {

// One `fanN_` or `tempN_` channel of a hardware-monitoring chip. Paths of attributes the
// chip does not have are empty.
struct HwmonChannel {
    unsigned index = 0;
    std::string label; // `_label`, empty when the chip gives none
    std::filesystem::path input;
    std::filesystem::path min;
    std::filesystem::path max;
    std::filesystem::path fault;
};

// A chip under /sys/class/hwmon, as found when it was scanned.
struct HwmonChip {
    unsigned number = 0; // N of hwmonN
    std::string name;
    std::string deviceType;              // `device/type`, "Battery" for a battery's chip
    std::filesystem::path runtimeStatus; // `device/power/runtime_status`, empty if none
    std::vector<HwmonChannel> fans;      // by index
    std::vector<HwmonChannel> temps;     // by index
};

// The chips under `<sysfsRoot>/class/hwmon`, in hwmon order. Older kernels keep a chip's
// attributes in its `device/` folder; both places are read.
std::vector<HwmonChip> scanHwmon(const std::filesystem::path& sysfsRoot);

// Whether a chip's device (given by its `runtimeStatus` file, empty for devices that never
// sleep) sleeps in runtime power management. Reading a sensor of such a
// device would wake it (a discrete GPU draws watts to report an idle temperature).
bool isRuntimeSuspended(const std::filesystem::path& runtimeStatus);
// The same for a status file read again and again.
bool isRuntimeSuspended(KernelFile& runtimeStatus);

// An attribute holding one decimal integer, read again and again.
std::optional<std::int64_t> readInteger(KernelFile& attribute);

} // namespace quillfen::platform::linux
