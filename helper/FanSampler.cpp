#include "FanSampler.h"

#include <algorithm>
#include <cmath>

namespace quillfen {
namespace {

std::string fanKey(std::int64_t n, const char* suffix) {
    return "F" + std::to_string(n) + suffix;
}

} // namespace

FanSampler::FanSampler() = default;

std::optional<double> FanSampler::speed(const std::string& key) {
    auto value = decodeFlt(smc.readKey(key));
    if (!value) {
        // Older controllers keep speeds as unsigned 14.2 fixed point, high byte first.
        const auto w = smc.readKey(key);
        if (w && w->dataType == "fpe2" && w->bytes.size() >= 2)
            value = static_cast<double>((unsigned(w->bytes[0]) << 8) | unsigned(w->bytes[1])) / 4.0;
    }
    // A number the payload cannot carry would keep the helper from publishing at all.
    if (value && !std::isfinite(*value)) return std::nullopt;
    return value;
}

std::optional<FanReading> FanSampler::sample() {
    if (!smc.isOpen()) return std::nullopt;
    if (!cachedFanCount) {
        const auto count = smc.readUInt8("FNum");
        if (!count) return std::nullopt;
        cachedFanCount = *count;
    }
    const std::int64_t count = *cachedFanCount;
    if (count <= 0) return std::nullopt;

    std::vector<double> rpms;
    rpms.reserve(static_cast<std::size_t>(count));
    for (std::int64_t n = 0; n < count; ++n)
        rpms.push_back(speed(fanKey(n, "Ac")).value_or(0.0));
    const auto range = fanRange();
    const double fastest = *std::max_element(rpms.begin(), rpms.end());
    return FanReading{fastest, count, std::move(rpms),
                      range ? std::optional(range->min) : std::nullopt,
                      range ? std::optional(range->max) : std::nullopt};
}

std::optional<RPMRange> FanSampler::fanRange() {
    if (cachedRange) return *cachedRange;
    const std::int64_t count = cachedFanCount.value_or(0);
    std::vector<double> minimums;
    std::vector<double> maximums;
    for (std::int64_t n = 0; n < count; ++n) {
        if (const auto v = speed(fanKey(n, "Mn"))) minimums.push_back(*v);
        if (const auto v = speed(fanKey(n, "Mx"))) maximums.push_back(*v);
    }
    std::optional<RPMRange> range;
    if (!minimums.empty() && !maximums.empty()) {
        const double lo = *std::min_element(minimums.begin(), minimums.end());
        const double hi = *std::max_element(maximums.begin(), maximums.end());
        if (lo < hi) range = RPMRange{lo, hi};
    }
    cachedRange = range;
    return range;
}

} // namespace quillfen
