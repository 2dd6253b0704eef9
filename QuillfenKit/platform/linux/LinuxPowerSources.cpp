#include "platform/linux/LinuxPowerSources.h"

#include "platform/linux/PowerSupply.h"

namespace quillfen::platform::linux {

LinuxPowerSources::LinuxPowerSources(std::filesystem::path sysRoot)
    : sysRoot_(std::move(sysRoot)) {}

std::optional<PowerSourcesInfo> LinuxPowerSources::copyPowerSourcesInfo() {
    const auto supplies = readPowerSupplies(sysRoot_);
    const auto external = externalPowerOnline(supplies);
    std::vector<std::optional<PowerSourceDescription>> sources;
    for (const auto& supply : supplies)
        if (supply.isSystemBattery())
            sources.push_back(powerSourceDescription(batteryOf(supply), external));
    return PowerSourcesInfo{std::move(sources)};
}

} // namespace quillfen::platform::linux
