#pragma once

#include "platform/PowerSources.h"

namespace quillfen::platform::fake {

// Power sources as the test describes them; counts the reads.
class FakePowerSources final : public PowerSources {
public:
    std::optional<PowerSourcesInfo> copyPowerSourcesInfo() override {
        ++reads;
        return info;
    }

    // Nothing makes the information unavailable.
    std::optional<PowerSourcesInfo> info =
        PowerSourcesInfo{std::vector<std::optional<PowerSourceDescription>>{}};
    int reads = 0;
};

} // namespace quillfen::platform::fake
