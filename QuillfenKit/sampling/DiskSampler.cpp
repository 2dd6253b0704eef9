#include "sampling/DiskSampler.h"

#include "platform/Platform.h"
#include "sampling/ByteRate.h"

namespace quillfen {
namespace {

// A counter of the statistics as an unsigned number; 0 when missing or not a number.
std::uint64_t counter(const platform::RegistryDictionary& stats, std::string_view key) {
    const auto it = stats.find(key);
    if (it == stats.end()) return 0;
    return static_cast<std::uint64_t>(it->second.integerValue().value_or(0));
}

} // namespace

std::optional<DiskSampler::DiskTotals> DiskSampler::readTotals() {
    auto services = platform::current().registry->servicesMatching("IOBlockStorageDriver");
    if (!services) return std::nullopt;
    DiskTotals totals;
    for (const auto& service : *services) {
        const auto properties = service->properties();
        if (!properties) continue;
        const auto stats = properties->find("Statistics");
        if (stats == properties->end() || !stats->second.dictionary()) continue;
        totals.read += counter(*stats->second.dictionary(), "Bytes (Read)");
        totals.written += counter(*stats->second.dictionary(), "Bytes (Write)");
    }
    totals.timestamp = platform::current().clock->now();
    return totals;
}

std::optional<DiskReading> DiskSampler::sample() {
    const auto totals = readTotals();
    if (!totals) return std::nullopt;
    std::optional<DiskReading> reading;
    if (previous) {
        const double dt = totals->timestamp - previous->timestamp;
        if (dt > 0)
            reading = DiskReading{bytesPerSecond(previous->read, totals->read, dt),
                                  bytesPerSecond(previous->written, totals->written, dt)};
    }
    previous = totals;
    return reading;
}

} // namespace quillfen
