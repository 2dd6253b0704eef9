#pragma once

#include "support/Json.h"

#include <optional>

namespace quillfen {

// Temperatures in degrees Celsius; each is absent when no sensor of its kind reported.
struct ThermalReading {
    std::optional<double> cpuTemperatureC;     // hottest CPU die sensor
    std::optional<double> gpuTemperatureC;     // hottest GPU sensor
    std::optional<double> memoryTemperatureC;  // hottest memory sensor
    std::optional<double> batteryTemperatureC; // mean of the battery sensors
    std::optional<double> storageTemperatureC; // mean of the storage sensors

    bool operator==(const ThermalReading&) const = default;
};

void to_json(json::Json& j, const ThermalReading& r);
void write(json::Writer& w, const ThermalReading& r);
bool from_json(const json::Json& j, ThermalReading& r);

} // namespace quillfen
