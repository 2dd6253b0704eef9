#include "Frame.h"
#include "SnapshotText.h"

#include "format/Formatters.h"
#include "support/Printable.h"
#include "support/Utf8.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace quillfen::cli {
namespace {

constexpr const char* kNone = "—";
constexpr const char* kSampling = "sampling…";
constexpr std::size_t kLabelColumns = 11;
// Between the two process tables when they stand side by side.
constexpr std::size_t kTableGap = 3;
// A name column narrower than this stacks the tables instead.
constexpr std::size_t kMinimumNameColumns = 8;

bool isWide(std::uint32_t c) {
    return (c >= 0x1100 && c <= 0x115f) || (c >= 0x2e80 && c <= 0x303e) ||
           (c >= 0x3041 && c <= 0x33ff) || (c >= 0x3400 && c <= 0x4dbf) ||
           (c >= 0x4e00 && c <= 0x9fff) || (c >= 0xa000 && c <= 0xa4cf) ||
           (c >= 0xac00 && c <= 0xd7a3) || (c >= 0xf900 && c <= 0xfaff) ||
           (c >= 0xfe30 && c <= 0xfe4f) || (c >= 0xff00 && c <= 0xff60) ||
           (c >= 0xffe0 && c <= 0xffe6) || (c >= 0x1f300 && c <= 0x1f64f) ||
           (c >= 0x1f900 && c <= 0x1f9ff) || (c >= 0x20000 && c <= 0x3fffd);
}

bool isZeroWidth(std::uint32_t c) {
    return (c >= 0x0300 && c <= 0x036f) || (c >= 0x200b && c <= 0x200f) ||
           (c >= 0x20d0 && c <= 0x20ff) || (c >= 0xfe00 && c <= 0xfe0f) || c == 0xfeff;
}

// The character at `text[i]`: its length in bytes and its width in columns.
std::pair<std::size_t, std::size_t> character(std::string_view text, std::size_t i) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + i;
    std::uint32_t cp = 0;
    const std::size_t length = utf8::decode(p, p + (text.size() - i), &cp);
    if (length == 0) return {1, 1}; // ASCII, or a broken byte shown as one column
    return {length, isZeroWidth(cp) ? 0 : isWide(cp) ? 2 : 1};
}

std::string padded(std::string text, std::size_t width, bool right = false) {
    const std::size_t have = columns(text);
    if (have >= width) return text;
    const std::string fill(width - have, ' ');
    return right ? fill + text : text + fill;
}

// One reading: a label and its value in parts, each with the separator that goes before it
// when it shares a line with the part before.
struct Item {
    std::string label;
    struct Part {
        std::string separator;
        std::string text;
    };
    std::vector<Part> parts;

    Item& add(std::string text, std::string separator = ", ") {
        parts.push_back({parts.empty() ? "" : std::move(separator), std::move(text)});
        return *this;
    }
};

struct Layout {
    std::size_t width; // kNoLimit for none
    bool wrap;         // long values go on over further lines, or are cut
    std::size_t rows;  // rows of each process table
};

// The parts as lines of at most `room` columns (kNoLimit: one line); a part that does not fit
// on the line begins the next, or, without `wrap`, the line is cut.
std::vector<std::string> flow(const std::vector<Item::Part>& parts, std::size_t room, bool wrap) {
    std::vector<std::string> lines;
    std::string line;
    for (const auto& part : parts) {
        if (line.empty() && lines.empty()) {
            line = part.text;
        } else if (room == kNoLimit || !wrap ||
                   columns(line) + columns(part.separator + part.text) <= room) {
            line += part.separator + part.text;
        } else {
            lines.push_back(std::move(line));
            line = part.text;
        }
    }
    lines.push_back(std::move(line));
    if (room != kNoLimit)
        for (auto& l : lines)
            l = fitted(l, room);
    return lines;
}

void render(const Item& item, const Layout& layout, std::vector<std::string>& out) {
    const std::string label = padded(item.label, kLabelColumns);
    if (layout.width != kNoLimit && layout.width <= kLabelColumns + 1) {
        out.push_back(fitted(label + flow(item.parts, kNoLimit, false).front(), layout.width));
        return;
    }
    const std::size_t room = layout.width == kNoLimit ? kNoLimit : layout.width - kLabelColumns;
    const auto lines = flow(item.parts, room, layout.wrap);
    for (std::size_t i = 0; i < lines.size(); ++i)
        out.push_back((i == 0 ? label : std::string(kLabelColumns, ' ')) + lines[i]);
}

// One process table: a heading, a header and up to `rows` rows, every line `width` wide
// (or as wide as its contents when there is no limit).
std::vector<std::string> table(const char* heading, const char* valueHeader,
                               const std::vector<ProcessRow>& rows, bool byMemory,
                               std::size_t count, std::size_t width) {
    struct Row {
        std::string name, pid, value;
    };
    std::vector<Row> shown;
    for (std::size_t i = 0; i < rows.size() && i < count; ++i) {
        const auto& r = rows[i];
        shown.push_back({printable(r.name, 256), std::to_string(r.pid),
                         byMemory ? Formatters::bytes(r.residentMemoryBytes)
                                  : Formatters::percent(r.cpuPercent / 100)});
    }
    std::size_t pidColumns = 3, valueColumns = columns(valueHeader), nameColumns = 4;
    for (const auto& r : shown) {
        pidColumns = std::max(pidColumns, columns(r.pid));
        valueColumns = std::max(valueColumns, columns(r.value));
        nameColumns = std::max(nameColumns, columns(r.name));
    }
    if (width != kNoLimit) {
        const std::size_t fixed = pidColumns + valueColumns + 2;
        nameColumns = width > fixed ? width - fixed : 0;
    }
    const auto line = [&](const std::string& name, const std::string& pid,
                          const std::string& value) {
        std::string text = padded(fitted(name, nameColumns), nameColumns) + ' ' +
                           padded(pid, pidColumns, true) + ' ' + padded(value, valueColumns, true);
        return width == kNoLimit ? text : fitted(text, width);
    };
    std::vector<std::string> lines;
    std::size_t tableWidth = nameColumns + pidColumns + valueColumns + 2;
    if (width != kNoLimit) tableWidth = std::min(tableWidth, width);
    lines.push_back(padded(width == kNoLimit ? heading : fitted(heading, width), tableWidth));
    lines.push_back(line("NAME", "PID", valueHeader));
    for (const auto& r : shown)
        lines.push_back(line(r.name, r.pid, r.value));
    return lines;
}

void processTables(const ProcessReading& p, const Layout& layout, std::vector<std::string>& out) {
    if (layout.rows == 0) return;
    bool sideBySide = true;
    std::size_t left = layout.width, right = layout.width;
    if (layout.width != kNoLimit) {
        left = layout.width > kTableGap ? (layout.width - kTableGap) / 2 : 0;
        right = layout.width > kTableGap ? layout.width - kTableGap - left : 0;
        // The widest PID and value columns a table can need: 7 digits, "1023.9 MB".
        sideBySide = left >= kMinimumNameColumns + 7 + 9 + 2;
        if (!sideBySide) left = right = layout.width;
    }
    const auto cpu = table("Top by CPU", "CPU", p.topByCPU, false, layout.rows, left);
    const auto memory = table("Top by memory", "MEMORY", p.topByMemory, true, layout.rows, right);
    const auto put = [&](std::string line) {
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out.push_back(std::move(line));
    };
    if (!sideBySide) {
        for (const auto& lines : {cpu, memory})
            for (const auto& line : lines)
                put(line);
        return;
    }
    const std::size_t leftColumns = cpu.empty() ? 0 : columns(cpu.front());
    for (std::size_t i = 0; i < std::max(cpu.size(), memory.size()); ++i)
        put((i < cpu.size() ? cpu[i] : std::string(leftColumns, ' ')) +
            (i < memory.size() ? std::string(kTableGap, ' ') + memory[i] : ""));
}

std::string missing(const FrameState& state) {
    return state.sampling ? kSampling : kNone;
}

std::vector<std::string> build(const SnapshotValues& s, const SystemSummary* system,
                               const FrameState& state, const Layout& layout) {
    std::vector<std::string> out;
    const auto put = [&](const Item& item) { render(item, layout, out); };
    const auto fit = [&](const std::string& text) {
        return layout.width == kNoLimit ? text : fitted(text, layout.width);
    };
    if (!state.title.empty()) out.push_back(fit(state.title));
    for (const auto& notice : state.notices)
        for (auto& line : wrapped(notice, layout.width))
            out.push_back(std::move(line));
    if (!out.empty()) out.push_back("");

    if (system) {
        char load[96];
        std::snprintf(load, sizeof load, "load %.2f %.2f %.2f", system->loadAverage.one,
                      system->loadAverage.five, system->loadAverage.fifteen);
        const auto& swap = system->swapUsage;
        put(Item{"System"}
                .add(printable(system->machineName, 128))
                .add("OS " + printable(system->osVersion, 64)));
        put(Item{""}
                .add("up " + system->uptime)
                .add(load)
                .add("swap " + (swap.total == 0 ? std::string("none")
                                                : Formatters::bytes(swap.used) + " of " +
                                                      Formatters::bytes(swap.total) + " used")));
    }

    Item cpu{"CPU"};
    if (s.cpu) {
        cpu.add(Formatters::percent(s.cpu->overall))
            .add("user " + Formatters::percent(s.cpu->user), "  ")
            .add("system " + Formatters::percent(s.cpu->system));
    } else {
        cpu.add(missing(state));
    }
    put(cpu);
    if (s.cpu && !s.cpu->perCore.empty()) {
        Item cores{"  cores"};
        for (const double core : s.cpu->perCore)
            cores.add(Formatters::percent(core), " ");
        put(cores);
    }

    Item gpu{"GPU"};
    if (s.gpu) {
        gpu.add(Formatters::percent(s.gpu->utilization));
        if (s.gpu->model) gpu.add(printable(*s.gpu->model, 128), "  ");
        if (s.gpu->coreCount) gpu.add("(" + std::to_string(*s.gpu->coreCount) + " cores)", " ");
    } else {
        gpu.add(missing(state));
    }
    put(gpu);

    Item memory{"Memory"};
    if (s.memory) {
        const auto& m = *s.memory;
        memory.add(Formatters::bytes(m.used()) + " of " + Formatters::bytes(m.total) + " used")
            .add("app " + Formatters::bytes(m.app), "  ")
            .add("wired " + Formatters::bytes(m.wired))
            .add("compressed " + Formatters::bytes(m.compressed))
            .add("available " + Formatters::bytes(m.available));
    } else {
        memory.add(missing(state));
    }
    put(memory);

    Item network{"Network"};
    if (s.network)
        network.add("↓ " + Formatters::rate(s.network->bytesInPerSec))
            .add("↑ " + Formatters::rate(s.network->bytesOutPerSec), "  ");
    else
        network.add(missing(state));
    put(network);

    Item disk{"Disk"};
    if (s.disk)
        disk.add("read " + Formatters::rate(s.disk->bytesReadPerSec))
            .add("write " + Formatters::rate(s.disk->bytesWrittenPerSec), "  ");
    else
        disk.add(missing(state));
    put(disk);

    if (s.diskUsage.empty()) put(Item{"Volumes"}.add(missing(state)));
    for (std::size_t i = 0; i < s.diskUsage.size(); ++i) {
        const auto& v = s.diskUsage[i];
        put(Item{i == 0 ? "Volumes" : ""}
                .add(printable(v.name, 128) + " (" + printable(v.path, 256) + ")")
                .add(Formatters::bytes(v.usedBytes()) + " of " + Formatters::bytes(v.totalBytes) +
                         " used",
                     "  "));
    }

    Item sensors{"Sensors"};
    bool fansSaid = false;
    if (s.thermal) {
        const auto temperature = [&](const char* name, const std::optional<double>& celsius) {
            sensors.add(std::string(name) + " " +
                            (celsius ? Formatters::temperature(*celsius, false) : kNone),
                        "  ");
        };
        temperature("CPU", s.thermal->cpuTemperatureC);
        temperature("GPU", s.thermal->gpuTemperatureC);
        temperature("memory", s.thermal->memoryTemperatureC);
        temperature("battery", s.thermal->batteryTemperatureC);
        temperature("storage", s.thermal->storageTemperatureC);
    } else if (state.sampling) {
        sensors.add(kSampling);
    } else if (s.sensorsAvailable) {
        sensors.add(s.fan ? "no temperature sensors found" : "no fan or temperature sensors found")
            .add("(looked in /sys/class/hwmon, the thermal zones and the battery)", " ");
        fansSaid = !s.fan;
    } else {
        if (state.helperRunning == true)
            sensors.add("the helper runs but its readings do not arrive;")
                .add("see quillfen helper status", " ");
        else
            sensors.add("the helper is not running;")
                .add("start it with quillfen helper start", " ");
        fansSaid = !s.fan;
    }
    put(sensors);
    if (s.fan) {
        Item fans{"Fans"};
        fans.add(s.fan->shortDescription());
        if (s.fan->fanCount > 1) {
            std::string each;
            for (const double rpm : s.fan->perFanRPMs())
                each += (each.empty() ? "(" : ", ") + FanReading{rpm, 1}.shortDescription();
            fans.add(each + ")", " ");
        }
        if (const auto range = s.fan->range()) fans.add(fanRangeText(*range), "  ");
        put(fans);
    } else if (!fansSaid)
        put(Item{"Fans"}.add(state.sampling ? kSampling : "no fan sensors found"));

    Item battery{"Battery"};
    if (s.battery) {
        const auto& b = *s.battery;
        battery.add(Formatters::percent(b.chargePercent) + (b.isCharging ? " charging" : ""))
            .add(b.isOnAC ? "on AC" : "on battery");
        if (b.timeRemainingMinutes) {
            char time[64];
            std::snprintf(time, sizeof time, "%lld:%02lld %s",
                          static_cast<long long>(*b.timeRemainingMinutes / 60),
                          static_cast<long long>(*b.timeRemainingMinutes % 60),
                          b.isCharging ? "to full" : "left");
            battery.add(time);
        }
        if (b.watts) {
            char watts[64];
            std::snprintf(watts, sizeof watts, "%.1f W", std::fabs(*b.watts));
            battery.add(watts);
        }
        if (b.cycleCount) battery.add(std::to_string(*b.cycleCount) + " cycles");
        if (b.healthPercent) battery.add("health " + Formatters::percent(*b.healthPercent));
    } else {
        battery.add(s.hasBattery == false ? "none" : missing(state));
    }
    put(battery);

    if (s.processes && layout.rows > 0) {
        out.push_back("");
        processTables(*s.processes, layout, out);
    } else if (!s.processes) {
        Item processes{"Processes"};
        const bool coming = state.sampling || state.processesSampling;
        processes.add(coming ? kSampling : kNone);
        if (!coming && !state.whyNoProcesses.empty())
            processes.add("(" + state.whyNoProcesses + ")", "  ");
        put(processes);
    }
    return out;
}

} // namespace

std::size_t columns(std::string_view text) {
    std::size_t total = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto [length, width] = character(text, i);
        total += width;
        i += length;
    }
    return total;
}

std::string fitted(std::string_view text, std::size_t width) {
    if (columns(text) <= width) return std::string(text);
    if (width == 0) return {};
    std::size_t used = 0, end = 0;
    while (end < text.size()) {
        const auto [length, w] = character(text, end);
        if (used + w > width - 1) break;
        used += w;
        end += length;
    }
    // "a browser…", not "a browser …".
    while (end > 0 && text[end - 1] == ' ')
        --end;
    return std::string(text.substr(0, end)) + "…";
}

std::vector<std::string> wrapped(std::string_view text, std::size_t width) {
    std::vector<Item::Part> words;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto blank = text.find(' ', start);
        const auto end = blank == std::string_view::npos ? text.size() : blank;
        words.push_back({words.empty() ? "" : " ", std::string(text.substr(start, end - start))});
        start = end + 1;
    }
    return flow(words, width, true);
}

std::vector<std::string> frameLines(const SnapshotValues& values, const SystemSummary* system,
                                    const FrameState& state, std::size_t width,
                                    std::size_t height) {
    if (height == kNoLimit) return build(values, system, state, {width, true, kProcessRows});
    // What is given up first when the frame is too tall for the terminal.
    static constexpr std::pair<bool, std::size_t> kTries[] = {{true, 5},  {true, 4},  {true, 3},
                                                              {false, 5}, {false, 4}, {false, 3},
                                                              {false, 2}, {false, 1}, {false, 0}};
    std::vector<std::string> lines;
    for (const auto& [wrap, rows] : kTries) {
        lines = build(values, system, state, {width, wrap, rows});
        if (lines.size() <= height) return lines;
    }
    lines.resize(height);
    return lines;
}

std::string joinedLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines)
        out += line + '\n';
    return out;
}

} // namespace quillfen::cli
