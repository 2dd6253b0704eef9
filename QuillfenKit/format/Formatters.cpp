#include "format/Formatters.h"

#include "settings/AppSettings.h"

#include <cmath>
#include <cstdio>

namespace quillfen::Formatters {
namespace {

// A whole number rounded half away from zero, printed without grouping; "-0" never appears.
// Values that are no number or lie beyond the 64-bit integers print as unknown.
std::string whole(double value) {
    double r = std::round(value);
    if (!(std::fabs(r) < 9.2e18)) return unknown;
    if (r == 0) r = 0; // -0.0 → 0
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", r);
    return buf;
}

// `value` with at most `decimals` decimals, rounded half away from zero, trailing zeros
// dropped.
std::string decimal(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, std::round(value * scale) / scale);
    std::string text = buf;
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    return text;
}

} // namespace

std::string temperature(double celsius, bool compact) {
    const TemperatureUnit unit = AppSettings::shared().temperatureUnit();
    const double value = unit == TemperatureUnit::fahrenheit ? celsius * 9 / 5 + 32 : celsius;
    const std::string number = whole(value);
    if (number == unknown) return unknown;
    return number + (compact ? "°" : std::string(suffix(unit)));
}

std::string percent(double fraction) {
    const std::string number = whole(fraction * 100);
    if (number == unknown) return unknown;
    return number + "%";
}

std::string bytes(std::uint64_t count) {
    if (count > static_cast<std::uint64_t>(INT64_MAX)) return unknown;
    if (count == 1) return "1 byte";
    if (count < 1024) return std::to_string(count) + " bytes";
    static constexpr const char* units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    double value = static_cast<double>(count) / 1024;
    std::size_t unit = 0;
    // A value that rounds up to 1024 of its unit is shown as 1 of the next.
    for (;;) {
        const int decimals = unit == 0 ? 0 : unit == 1 ? 1 : 2;
        const double scale = std::pow(10.0, decimals);
        if (std::round(value * scale) / scale < 1024 || unit + 1 == std::size(units))
            return decimal(value, decimals) + " " + units[unit];
        value /= 1024;
        ++unit;
    }
}

std::string rate(std::uint64_t bytesPerSecond) {
    if (bytesPerSecond <= 1023) return std::to_string(bytesPerSecond) + " B/s";
    if (bytesPerSecond > static_cast<std::uint64_t>(INT64_MAX)) return unknown;
    return bytes(bytesPerSecond) + "/s";
}

} // namespace quillfen::Formatters
