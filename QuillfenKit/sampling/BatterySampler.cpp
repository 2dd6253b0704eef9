#include "sampling/BatterySampler.h"

#include "platform/Platform.h"
#include "support/Throttle.h"

#include <algorithm>

namespace quillfen {
namespace {

namespace ps = platform::powersource;
using platform::RegistryDictionary;

// Only integers count: a fraction or a text where an integer belongs is as good as missing.
std::optional<std::int64_t> integer(const RegistryDictionary& d, std::string_view key) {
    const auto it = d.find(key);
    if (it == d.end()) return std::nullopt;
    const auto* value = std::get_if<std::int64_t>(&it->second.variant());
    if (!value) return std::nullopt;
    return *value;
}

bool flag(const RegistryDictionary& d, std::string_view key) {
    const auto it = d.find(key);
    if (it == d.end()) return false;
    const auto* value = std::get_if<bool>(&it->second.variant());
    return value && *value;
}

bool isInternalBattery(const std::optional<RegistryDictionary>& description) {
    if (!description) return false;
    const auto it = description->find(ps::kTypeKey);
    return it != description->end() && it->second.text() &&
           *it->second.text() == ps::kInternalBatteryType;
}

} // namespace

BatterySampler::BatterySampler()
    : clock_(platform::current().clock)
    , powerSources_(platform::current().powerSources)
    , registry_(platform::current().registry) {}

std::optional<BatteryReading> BatterySampler::sample() {
    const double now = clock_->now();
    if (!isDue(previousTimestamp_, now, minimumInterval)) return std::nullopt;
    previousTimestamp_ = now;

    const auto info = powerSources_->copyPowerSourcesInfo();
    if (!info || !info->sources) return std::nullopt;
    const auto& sources = *info->sources;
    const auto battery = std::find_if(sources.begin(), sources.end(), isInternalBattery);
    hasInternalBattery_ = battery != sources.end();
    if (battery == sources.end()) return std::nullopt;
    const RegistryDictionary& d = **battery;

    BatteryReading r;
    const std::int64_t current = integer(d, ps::kCurrentCapacityKey).value_or(0);
    const std::int64_t max = integer(d, ps::kMaxCapacityKey).value_or(100);
    r.chargePercent =
        max < 1 ? 0.0 : std::min(static_cast<double>(current) / static_cast<double>(max), 1.0);
    r.isCharging = flag(d, ps::kIsChargingKey);
    const auto state = d.find(ps::kPowerSourceStateKey);
    r.isOnAC =
        state != d.end() && state->second.text() && *state->second.text() == ps::kACPowerValue;
    const auto minutes = integer(d, r.isCharging ? ps::kTimeToFullChargeKey : ps::kTimeToEmptyKey);
    // The system reports negative minutes while it is still estimating.
    if (minutes && *minutes >= 1) r.timeRemainingMinutes = minutes;

    addSmartBatteryFigures(r);
    return r;
}

void BatterySampler::addSmartBatteryFigures(BatteryReading& r) {
    auto services = registry_->servicesMatching("AppleSmartBattery");
    if (!services || services->empty()) return;
    const auto props = services->front()->properties();
    if (!props) return;

    r.cycleCount = integer(*props, "CycleCount");
    if (const auto design = integer(*props, "DesignCapacity"); design && *design >= 1) {
        auto full = integer(*props, "AppleRawMaxCapacity");
        if (!full) full = integer(*props, "MaxCapacity");
        if (full)
            r.healthPercent =
                std::min(static_cast<double>(*full) / static_cast<double>(*design), 1.0);
    }
    const auto amperage = integer(*props, "Amperage");
    const auto voltage = integer(*props, "Voltage");
    if (amperage && voltage)
        r.watts = static_cast<double>(*amperage) * static_cast<double>(*voltage) / 1'000'000.0;
}

} // namespace quillfen
