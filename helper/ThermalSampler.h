#pragma once

#include "sensors/ThermalReading.h"

#include <optional>

namespace quillfen {

// One ThermalReading per call from the machine's temperature sensors.
class ThermalSampler {
public:
    ThermalSampler();
    virtual ~ThermalSampler() = default;
    // Absent while the sensors cannot be read.
    virtual std::optional<ThermalReading> sample();
};

} // namespace quillfen
