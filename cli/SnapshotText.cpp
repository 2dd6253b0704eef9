#include "SnapshotText.h"

#include "format/Formatters.h"
#include "support/Printable.h"

namespace quillfen::cli {
namespace {

constexpr const char* kNone = "—";

std::string temperatureOrNone(const std::optional<double>& celsius) {
    return celsius ? Formatters::temperature(*celsius, false) : kNone;
}

} // namespace

std::string temperaturesText(const ThermalReading& t) {
    return "CPU " + temperatureOrNone(t.cpuTemperatureC) + "  GPU " +
           temperatureOrNone(t.gpuTemperatureC) + "  memory " +
           temperatureOrNone(t.memoryTemperatureC) + "  battery " +
           temperatureOrNone(t.batteryTemperatureC) + "  storage " +
           temperatureOrNone(t.storageTemperatureC);
}

std::string fansText(const FanReading& fan) {
    std::string text = fan.shortDescription();
    if (fan.fanCount > 1) {
        text += " (";
        const auto speeds = fan.perFanRPMs();
        for (std::size_t i = 0; i < speeds.size(); ++i)
            text += (i ? ", " : "") + FanReading{speeds[i], 1}.shortDescription();
        text += ")";
    }
    if (const auto range = fan.range()) text += "  " + fanRangeText(*range);
    return text;
}

std::string fanRangeText(const RPMRange& range) {
    const auto end = [](double rpm) {
        return rpm == 0 ? std::string("0 rpm") : FanReading{rpm, 1}.shortDescription();
    };
    return "range " + end(range.min) + " to " + end(range.max);
}

} // namespace quillfen::cli
