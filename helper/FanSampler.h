#pragma once

#include "SMCBridge.h"
#include "sensors/FanReading.h"

#include <cstdint>
#include <optional>

namespace quillfen {

// One FanReading per call from the controller's fan keys: how many fans, each one's speed,
// the fastest, and the range they may run in. The count and range are read once; fans do not
// change while the machine runs.
class FanSampler {
public:
    FanSampler();
    virtual ~FanSampler() = default;
    FanSampler(const FanSampler&) = delete;
    FanSampler& operator=(const FanSampler&) = delete;

    // Absent without a controller, without a fan count, or on a machine without fans.
    virtual std::optional<FanReading> sample();

private:
    std::optional<RPMRange> fanRange();
    // A speed key's value in rpm: 'flt ' or 'fpe2'; absent when unreadable or not a number.
    std::optional<double> speed(const std::string& key);

    SMCBridge smc;
    std::optional<std::int64_t> cachedFanCount;
    // Outer absent: not worked out yet; inner absent: worked out, no usable range.
    std::optional<std::optional<RPMRange>> cachedRange;
};

} // namespace quillfen
