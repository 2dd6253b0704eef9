#pragma once

#include "support/Json.h"

#include <cstdint>
#include <optional>

namespace quillfen {

// The internal battery. Charge and health are fractions from 0 to 1, not percentages.
struct BatteryReading {
    double chargePercent = 0;
    bool isCharging = false;
    bool isOnAC = false;
    // To full while charging, else to empty; absent while the system is still estimating.
    std::optional<std::int64_t> timeRemainingMinutes;
    std::optional<double> watts; // negative while discharging
    std::optional<std::int64_t> cycleCount;
    std::optional<double> healthPercent; // full-charge capacity ÷ design capacity

    bool operator==(const BatteryReading&) const = default;
};

void to_json(json::Json& j, const BatteryReading& r);
void write(json::Writer& w, const BatteryReading& r);
bool from_json(const json::Json& j, BatteryReading& r);

} // namespace quillfen
