#pragma once

#include "platform/PowerSources.h"

#include <filesystem>

namespace quillfen::platform::linux {

// The machine's own batteries from the power-supply class, each an internal battery; the
// state is mains power while a mains or USB supply is online.
class LinuxPowerSources final : public PowerSources {
public:
    explicit LinuxPowerSources(std::filesystem::path sysRoot);

    std::optional<PowerSourcesInfo> copyPowerSourcesInfo() override;

private:
    std::filesystem::path sysRoot_;
};

} // namespace quillfen::platform::linux
