#include "SnapshotText.h"

#include "format/Formatters.h"
#include "support/Printable.h"

#include <cmath>
#include <cstdio>
#include <sstream>

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

std::string processList(const std::vector<ProcessRow>& rows, bool byMemory) {
    std::string text;
    for (const auto& row : rows) {
        if (!text.empty()) text += ", ";
        text += printable(row.name, 64) + " " +
                (byMemory ? Formatters::bytes(row.residentMemoryBytes)
                          : Formatters::percent(row.cpuPercent / 100));
    }
    return text.empty() ? kNone : text;
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
        text += "  range " + FanReading{range->min, 1}.shortDescription() + " – " +
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
    std::ostringstream out;
    out << label("CPU");
    if (s.cpu) {
        out << Formatters::percent(s.cpu->overall) << "  user " << Formatters::percent(s.cpu->user)
            << ", system " << Formatters::percent(s.cpu->system);
        if (!s.cpu->perCore.empty()) {
            out << "\n" << label("  cores");
            for (std::size_t i = 0; i < s.cpu->perCore.size(); ++i)
                out << (i ? " " : "") << Formatters::percent(s.cpu->perCore[i]);
        }
    } else {
        out << kNone;
    }
    out << "\n" << label("GPU");
    if (s.gpu) {
        out << Formatters::percent(s.gpu->utilization);
        if (s.gpu->model) out << "  " << printable(*s.gpu->model, 128);
        if (s.gpu->coreCount) out << " (" << *s.gpu->coreCount << " cores)";
    } else {
        out << kNone;
    }
    out << "\n" << label("Memory");
    if (s.memory) {
        out << Formatters::bytes(s.memory->used()) << " of " << Formatters::bytes(s.memory->total)
            << " used  app " << Formatters::bytes(s.memory->app) << ", wired "
            << Formatters::bytes(s.memory->wired) << ", compressed "
            << Formatters::bytes(s.memory->compressed) << ", available "
            << Formatters::bytes(s.memory->available);
    } else {
        out << kNone;
    }
    out << "\n" << label("Network");
    if (s.network)
        out << "↓ " << Formatters::rate(s.network->bytesInPerSec) << "  ↑ "
            << Formatters::rate(s.network->bytesOutPerSec);
    else
        out << kNone;
    out << "\n" << label("Disk");
    if (s.disk)
        out << "read " << Formatters::rate(s.disk->bytesReadPerSec) << "  write "
            << Formatters::rate(s.disk->bytesWrittenPerSec);
    else
        out << kNone;
    out << "\n" << label("Volumes");
    if (s.diskUsage.empty()) out << kNone;
    for (std::size_t i = 0; i < s.diskUsage.size(); ++i) {
        const auto& v = s.diskUsage[i];
        out << (i ? "\n" + label("") : "") << printable(v.name, 128) << " ("
            << printable(v.path, 256) << ")  " << Formatters::bytes(v.usedBytes()) << " of "
            << Formatters::bytes(v.totalBytes) << " used";
    }
    out << "\n" << label("Sensors");
    if (s.thermal)
        out << temperaturesText(*s.thermal);
    else
        out << (s.sensorsAvailable ? kNone : "helper not running");
    out << "\n" << label("Fans") << (s.fan ? fansText(*s.fan) : kNone);
    out << "\n" << label("Battery");
    if (s.battery) {
        const auto& b = *s.battery;
        out << Formatters::percent(b.chargePercent) << (b.isCharging ? " charging" : "")
            << (b.isOnAC ? ", on AC" : ", on battery");
        if (b.timeRemainingMinutes)
            out << ", " << *b.timeRemainingMinutes / 60 << ":"
                << (*b.timeRemainingMinutes % 60 < 10 ? "0" : "") << *b.timeRemainingMinutes % 60
                << (b.isCharging ? " to full" : " left");
        if (b.watts) out << ", " << std::lround(std::fabs(*b.watts) * 10) / 10.0 << " W";
        if (b.cycleCount) out << ", " << *b.cycleCount << " cycles";
        if (b.healthPercent) out << ", health " << Formatters::percent(*b.healthPercent);
    } else {
        out << (s.hasBattery == false ? "none" : kNone);
    }
    out << "\n" << label("Processes");
    if (s.processes) {
        out << "by CPU: " << processList(s.processes->topByCPU, false) << "\n"
            << label("") << "by memory: " << processList(s.processes->topByMemory, true);
    } else {
        out << kNone;
        if (!whyNoProcesses.empty()) out << "  (" << whyNoProcesses << ")";
    }
    out << "\n";
    return out.str();
}

} // namespace quillfen::cli
