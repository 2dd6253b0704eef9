#pragma once

#include "platform/Clock.h"
#include "platform/Registry.h"
#include "sampling/GPUReading.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace quillfen {

// GPU utilisation from the statistics the driver publishes on its accelerator entry. The
// accelerator, its core count and its model are found once, at creation; the statistics are
// read at most once every 2 seconds, the window shared by both variants.
class GPUSampler {
public:
    GPUSampler();

    // Device, renderer and tiler utilisation; nothing while throttled or unreadable.
    std::optional<GPUReading> sample();
    // Device utilisation alone; renderer and tiler are 0.
    std::optional<GPUReading> sampleOverallOnly();

private:
    std::optional<platform::RegistryDictionary> throttledReadPerformanceStatistics();
    std::optional<GPUReading> readingOf(bool full);

    std::shared_ptr<platform::Clock> clock_;
    std::unique_ptr<platform::RegistryService> service_; // released with the sampler
    std::optional<std::int64_t> cachedCoreCount_;
    std::optional<std::string> cachedModel_;
    double previousTimestamp_ = 0;
};

} // namespace quillfen
