#include "SnapshotText.h"
#include "Frame.h"

#include "format/Formatters.h"
#include "support/Printable.h"

#include <cstdio>

namespace quillfen::cli {
namespace {

constexpr const char* kNone = "—";

std::string label(const char* name) {
    std::string text = name;
    text.resize(11, ' ');
    return text;
}

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
    if (const auto range = fan.range())
        text += "  range " + FanReading{range->min, 1}.shortDescription() + " to " +
                FanReading{range->max, 1}.shortDescription();
    return text;
}

std::vector<std::string> systemLines(const SystemSummary& summary) {
    char load[96];
    std::snprintf(load, sizeof load, "%.2f %.2f %.2f", summary.loadAverage.one,
                  summary.loadAverage.five, summary.loadAverage.fifteen);
    const auto& swap = summary.swapUsage;
    return {label("System") + printable(summary.machineName, 128) + ", OS " +
                printable(summary.osVersion, 64),
            label("") + "up " + summary.uptime + ", load " + load + ", swap " +
                (swap.total == 0 ? std::string("none")
                                 : Formatters::bytes(swap.used) + " of " +
                                       Formatters::bytes(swap.total) + " used")};
}

std::string snapshotText(const SnapshotValues& s, std::string_view whyNoProcesses) {
    return joinedLines(
        frameLines(s, nullptr, FrameState{.whyNoProcesses = std::string(whyNoProcesses)}));
}

} // namespace quillfen::cli
