#pragma once

#include "platform/Clock.h"
#include "platform/PowerSources.h"
#include "platform/Registry.h"
#include "sampling/BatteryReading.h"

#include <memory>
#include <optional>

namespace quillfen {

// The internal battery: charge, charging and mains state and time remaining from the power
// sources; cycles, health and power from the smart battery. Reads at most every
// minimumInterval seconds.
class BatterySampler {
public:
    static constexpr double minimumInterval = 5.0;

    BatterySampler();

    // Nothing while throttled, when the power sources are unavailable and on a machine
    // without an internal battery.
    std::optional<BatteryReading> sample();

    // Whether the machine has an internal battery; unknown until a read has listed the power
    // sources.
    std::optional<bool> hasInternalBattery() const { return hasInternalBattery_; }

private:
    void addSmartBatteryFigures(BatteryReading& reading);

    std::shared_ptr<platform::Clock> clock_;
    std::shared_ptr<platform::PowerSources> powerSources_;
    std::shared_ptr<platform::Registry> registry_;
    double previousTimestamp_ = 0;
    std::optional<bool> hasInternalBattery_;
};

} // namespace quillfen
