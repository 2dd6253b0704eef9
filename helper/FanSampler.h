#pragma once

#include "sensors/FanReading.h"

#include <optional>

namespace quillfen {

// One FanReading per call from the machine's fan controller.
class FanSampler {
public:
    FanSampler();
    virtual ~FanSampler() = default;
    // Absent while the fans cannot be read.
    virtual std::optional<FanReading> sample();
};

} // namespace quillfen
