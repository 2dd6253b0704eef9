#pragma once

#include "platform/HIDEventSystem.h"

#include <filesystem>
#include <optional>

namespace quillfen::platform::linux {

// Temperature sensor services made of the kernel's sensors: one per hwmon temperature
// channel, per thermal zone that no hwmon chip already shows, and per battery temperature
// under power_supply. Services are named so that the thermal sampler's categories find them:
//
//   CPU package, die and CCD sensors (coretemp, k10temp, zenpower, cpu_thermal,
//   x86_pkg_temp)                                              → "PMU tdie<N>"
//   GPU sensors (amdgpu, nouveau, radeon, i915, xe)            → "PMU TP<N>g"
//   battery temperatures                                       → "Battery <N>"
//   storage sensors (nvme, drivetemp)                          → "NAND CH<N> temp"
//   anything else                                              → "<chip> <label>"
//
// Channels reporting a fault are left out, and k10temp's Tctl is used only without a Tdie
// because it may carry a fan-curve offset. A chip whose device sleeps is never read.
//
// A client keeps the files it reads open between reads when `keepFilesOpen` says so, by
// default when the root is the live sysfs (see KernelFile). A captured tree that nothing
// changes may be read that way too, as the live one is.
class LinuxHIDEventSystem final : public HIDEventSystem {
public:
    explicit LinuxHIDEventSystem(std::filesystem::path sysfsRoot,
                                 std::optional<bool> keepFilesOpen = std::nullopt);
    // Nothing when the machine has no temperature source at all.
    std::shared_ptr<HIDEventSystemClient> createClient() override;

private:
    std::filesystem::path sysfsRoot_;
    bool keepFilesOpen_;
};

} // namespace quillfen::platform::linux
