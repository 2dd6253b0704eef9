#pragma once

#include "sensors/FanReading.h"
#include "sensors/ThermalReading.h"

#include <optional>
#include <string>

namespace quillfen {

// The contents of "sensors.json".
struct SensorsPayload {
    std::optional<ThermalReading> thermal; // absent until the helper's first temperature reading
    std::optional<FanReading> fan;         // absent without fans or SMC access
    double sampledAt = 0;                  // seconds since 1970
    std::optional<std::string> helperVersion;

    bool operator==(const SensorsPayload&) const = default;
};

void to_json(json::Json& j, const SensorsPayload& p);
// The same text as the tree gives, written straight: the helper writes one every second.
void write(json::Writer& w, const SensorsPayload& p);
bool from_json(const json::Json& j, SensorsPayload& p);

} // namespace quillfen
