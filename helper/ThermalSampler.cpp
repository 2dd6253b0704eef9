#include "ThermalSampler.h"

namespace quillfen {

ThermalSampler::ThermalSampler() = default;

// No temperature source is wired up yet: every call is a call without a reading.
std::optional<ThermalReading> ThermalSampler::sample() {
    return std::nullopt;
}

} // namespace quillfen
