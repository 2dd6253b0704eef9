#include "FanSampler.h"

namespace quillfen {

FanSampler::FanSampler() = default;

// No fan source is wired up yet: every call is a call without a reading.
std::optional<FanReading> FanSampler::sample() {
    return std::nullopt;
}

} // namespace quillfen
