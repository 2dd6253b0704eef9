#include "sampling/GPUSampler.h"

#include "platform/Platform.h"
#include "support/Throttle.h"

namespace quillfen {
namespace {

constexpr double kMinimumInterval = 2.0;

// A percentage entry of the statistics as a fraction; a missing or non-numeric entry is 0.
double fraction(const platform::RegistryDictionary& stats, std::string_view key) {
    const auto it = stats.find(key);
    if (it == stats.end()) return 0;
    return it->second.doubleValue().value_or(0) / 100.0;
}

} // namespace

GPUSampler::GPUSampler()
    : clock_(platform::current().clock) {
    auto services = platform::current().registry->servicesMatching("IOAccelerator");
    if (!services) return;
    // Every candidate not chosen is released when the list goes.
    for (auto& candidate : *services) {
        if (service_) break;
        const auto properties = candidate->properties();
        if (!properties || properties->empty()) continue;
        const auto stats = properties->find("PerformanceStatistics");
        if (stats == properties->end() || !stats->second.dictionary()) continue;

        service_ = std::move(candidate);
        if (const auto it = properties->find("gpu-core-count"); it != properties->end())
            cachedCoreCount_ = it->second.integerValue();
        if (const auto it = properties->find("model"); it != properties->end()) {
            if (const auto* text = it->second.text()) cachedModel_ = *text;
        }
    }
}

std::optional<platform::RegistryDictionary> GPUSampler::throttledReadPerformanceStatistics() {
    const double now = clock_->now();
    if (!isDue(previousTimestamp_, now, kMinimumInterval)) return std::nullopt;
    previousTimestamp_ = now;

    if (!service_) return std::nullopt;
    auto stats = service_->property("PerformanceStatistics");
    if (!stats || !stats->dictionary()) return std::nullopt;
    return std::move(*stats->dictionary());
}

std::optional<GPUReading> GPUSampler::readingOf(bool full) {
    const auto stats = throttledReadPerformanceStatistics();
    if (!stats) return std::nullopt;
    GPUReading r;
    r.utilization = fraction(*stats, "Device Utilization %");
    if (full) {
        r.rendererUtilization = fraction(*stats, "Renderer Utilization %");
        r.tilerUtilization = fraction(*stats, "Tiler Utilization %");
    }
    r.coreCount = cachedCoreCount_;
    r.model = cachedModel_;
    return r;
}

std::optional<GPUReading> GPUSampler::sample() {
    return readingOf(true);
}

std::optional<GPUReading> GPUSampler::sampleOverallOnly() {
    return readingOf(false);
}

} // namespace quillfen
