#pragma once

#include "support/Json.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillfen {

struct RPMRange {
    double min = 0;
    double max = 0;
    bool operator==(const RPMRange&) const = default;
};

struct FanReading {
    double rpm = 0;                          // fastest fan; 0 when no fan reports a speed
    std::int64_t fanCount = 0;               // fans the machine reports
    std::optional<std::vector<double>> rpms; // each fan's speed, index = fan number
    std::optional<double> minRPM;            // lowest minimum over all fans
    std::optional<double> maxRPM;            // highest maximum over all fans

    bool operator==(const FanReading&) const = default;

    // `rpms` when it holds any speed, else just `rpm`.
    std::vector<double> perFanRPMs() const;
    // The allowed speed range, when both ends are known and min < max.
    std::optional<RPMRange> range() const;
    bool isSpinning() const { return rpm > 0; }
    // "951 rpm" (rounded half away from zero) or "Off"; "—" for a speed that is no number.
    std::string shortDescription() const;
};

void to_json(json::Json& j, const FanReading& r);
void write(json::Writer& w, const FanReading& r);
bool from_json(const json::Json& j, FanReading& r);

} // namespace quillfen
