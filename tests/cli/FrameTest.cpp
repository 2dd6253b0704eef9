#include "Frame.h"

#include "platform/fake/FakePlatform.h"
#include "support/Printable.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quillfen::cli {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

SystemSummary machine() {
    return {"QEMU Standard PC", "12.5", 277'380, "3d 5h", {0.5, 0.25, 1.25}, {1 << 30, 2u << 30}};
}

// A busy machine with long values everywhere.
SnapshotValues busy() {
    SnapshotValues s;
    s.cpu = CPUReading{std::vector<double>(24, 0.37), 0.375, 0.25, 0.125, 0.625};
    s.gpu = GPUReading{0.12, 0, 0, 16, "Advanced Micro Devices Radeon RX 7900 XTX (Navi 31)"};
    s.memory = MemoryReading{64ULL << 30, 20ULL << 30, 3ULL << 30, 1ULL << 30, 40ULL << 30};
    s.network = NetworkReading{1536, 100};
    s.disk = DiskReading{5ULL << 20, 1ULL << 20};
    s.diskUsage = {DiskVolumeUsage{"Ubuntu", "/", 500ULL << 30, 100ULL << 30},
                   DiskVolumeUsage{"Backups", "/media/someone/a very long volume label indeed",
                                   4ULL << 40, 1ULL << 40}};
    s.thermal = ThermalReading{61.5, 55, 42.5, std::nullopt, 38};
    s.fan = FanReading{1200, 3, std::vector<double>{1200, 0, 870}, 300, 2000};
    s.battery = BatteryReading{0.8, true, true, 65, -12.34, 321, 0.9};
    s.sensorsAvailable = true;
    ProcessReading p;
    for (int i = 0; i < 7; ++i) {
        const std::string name = i == 0   ? "Web Content of a browser with a very long name"
                                 : i == 1 ? "漢字のプロセス名前長い長い長い"
                                          : "worker-" + std::to_string(i);
        p.topByCPU.push_back({4'194'000 + i, name, std::nullopt, 1234.5 - i * 100, 0});
        p.topByMemory.push_back({100 + i, name, std::nullopt, 0, (1023ULL << 20) * (7 - i)});
    }
    s.processes = p;
    return s;
}

class Frame : public ::testing::Test {
protected:
    std::vector<std::string> frame(const SnapshotValues& s, std::size_t width,
                                   std::size_t height = kNoLimit, FrameState state = {}) {
        const auto system = machine();
        if (state.title.empty()) state.title = "Quillfen — live, every second; Ctrl-C to stop";
        return frameLines(s, &system, state, width, height);
    }

    platform::fake::FakePlatform fake;
};

TEST_F(Frame, NoLineIsWiderThanTheTerminal) {
    FrameState state;
    state.notices = {"the monitoring service is not installed: the session bus has no service "
                     "file for com.brenvoll.pellgrove.service. Install Quillfen with "
                     "scripts/install"};
    for (const std::size_t width : {200u, 80u, 60u, 40u, 24u, 12u, 5u}) {
        SCOPED_TRACE(width);
        const auto lines = frame(busy(), width, kNoLimit, state);
        for (const auto& line : lines)
            EXPECT_LE(columns(line), width) << line;
        // Cut, not lost: every reading keeps its line.
        for (const std::string label : {"CPU", "Memory", "Volumes", "Sensors", "Battery"})
            EXPECT_TRUE(std::ranges::any_of(lines, [&](const auto& l) {
                return l.starts_with(label.substr(0, std::min(label.size(), width - 1)));
            })) << label;
    }
}

TEST_F(Frame, At80ColumnsLongValuesGoOnOverFurtherLinesAndTheTablesStandSideBySide) {
    const auto lines = frame(busy(), 80);
    EXPECT_THAT(lines,
                Contains("Memory     24 GB of 64 GB used  app 20 GB, wired 3 GB, compressed 1 GB"));
    EXPECT_THAT(lines, Contains("           available 40 GB"));
    EXPECT_THAT(lines, Contains("Battery    80% charging, on AC, 1:05 to full, 12.3 W, 321 cycles, "
                                "health 90%"));
    const auto heading =
        std::ranges::find_if(lines, [](const auto& l) { return l.starts_with("Top by CPU"); });
    ASSERT_NE(heading, lines.end());
    EXPECT_THAT(*heading, HasSubstr("Top by memory"));
    // The heading, the column names and five rows, right-aligned numbers; names are cut.
    EXPECT_EQ(
        std::vector<std::string>(heading, heading + 4),
        std::vector<std::string>(
            {"Top by CPU                               Top by memory",
             "NAME                         PID   CPU   NAME                        PID  MEMORY",
             "Web Content of a browse… 4194000 1235%   Web Content of a browser w… 100 6.99 GB",
             "漢字のプロセス名前長い…  4194001 1135%   漢字のプロセス名前長い長い… 101 5.99 GB"}));
    ASSERT_EQ(lines.end() - heading, static_cast<std::ptrdiff_t>(2 + kProcessRows));
    EXPECT_EQ(lines.back(),
              "worker-4                 4194004  835%   worker-4                    104    3 GB");
    for (auto row = heading + 1; row != lines.end(); ++row)
        EXPECT_EQ(columns(*row), 80u) << *row;
}

TEST_F(Frame, NarrowTerminalsStackTheTablesAndCutNames) {
    const auto lines = frame(busy(), 40);
    const auto heading = std::ranges::find(lines, "Top by CPU");
    ASSERT_NE(heading, lines.end());
    EXPECT_EQ(
        std::vector<std::string>(heading, lines.end()),
        std::vector<std::string>(
            {"Top by CPU", "NAME                           PID   CPU",
             "Web Content of a browser…  4194000 1235%", "漢字のプロセス名前長い長…  4194001 1135%",
             "worker-2                   4194002 1035%", "worker-3                   4194003  935%",
             "worker-4                   4194004  835%", "Top by memory",
             "NAME                         PID  MEMORY", "Web Content of a browser wi… 100 6.99 GB",
             "漢字のプロセス名前長い長い…  101 5.99 GB", "worker-2                     102    5 GB",
             "worker-3                     103    4 GB",
             "worker-4                     104    3 GB"}));
    const auto fans = std::ranges::find(lines, "Fans       1200 rpm");
    ASSERT_NE(fans, lines.end());
    EXPECT_EQ(fans[1], "           (1200 rpm, Off, 870 rpm)");
    EXPECT_EQ(fans[2], "           range 300 rpm to 2000 rpm");
}

TEST_F(Frame, ATerminalTooShortGetsFewerProcessRowsThenCutValuesThenLessOfTheBottom) {
    const auto full = frame(busy(), 80);
    for (const std::size_t height : {40u, 24u, 20u, 12u, 3u}) {
        SCOPED_TRACE(height);
        const auto lines = frame(busy(), 80, height);
        EXPECT_LE(lines.size(), height);
        if (full.size() <= height) {
            EXPECT_EQ(lines, full);
        }
    }
    const auto at24 = frame(busy(), 80, 24);
    EXPECT_THAT(at24, Contains(::testing::StartsWith("Top by CPU"))) << "processes kept";
    EXPECT_THAT(at24, Contains(::testing::StartsWith("Battery")));
    EXPECT_EQ(frame(busy(), 80, 3),
              std::vector<std::string>({"Quillfen — live, every second; Ctrl-C to stop", "",
                                        "System     QEMU Standard PC, OS 12.5"}));
}

TEST_F(Frame, ReadingsOnTheirWaySaySamplingAndMissingOnesADash) {
    SnapshotValues empty;
    FrameState state;
    state.sampling = true;
    const auto sampling = frame(empty, 80, kNoLimit, state);
    for (const char* line : {"CPU        sampling…", "GPU        sampling…", "Memory     sampling…",
                             "Sensors    sampling…", "Fans       sampling…", "Battery    sampling…",
                             "Processes  sampling…"})
        EXPECT_THAT(sampling, Contains(line));
    EXPECT_THAT(joinedLines(sampling), Not(HasSubstr("—  "))) << joinedLines(sampling);
    state.sampling = false; // processes come last
    state.processesSampling = true;
    const auto processesLast = frame(empty, 80, kNoLimit, state);
    EXPECT_THAT(processesLast, Contains("GPU        —"));
    EXPECT_THAT(processesLast, Contains("Processes  sampling…"));

    state.processesSampling = false;
    state.whyNoProcesses = "processes need a window of 6 seconds or more";
    const auto missing = frame(empty, 80, kNoLimit, state);
    EXPECT_THAT(missing, Contains("CPU        —"));
    EXPECT_THAT(missing, Contains("Processes  —  (processes need a window of 6 seconds or more)"));
    EXPECT_THAT(joinedLines(missing), Not(HasSubstr("sampling")));
}

TEST_F(Frame, SaysWhyThereAreNoSensorReadings) {
    SnapshotValues s;
    s.sensorsAvailable = true;
    EXPECT_THAT(frame(s, kNoLimit),
                Contains("Sensors    no fan or temperature sensors found (looked in "
                         "/sys/class/hwmon, the thermal zones and the battery)"));
    s.thermal = ThermalReading{50};
    EXPECT_THAT(frame(s, kNoLimit), Contains("Fans       no fan sensors found"));

    s = {};
    FrameState state;
    state.helperRunning = false;
    auto lines = frame(s, kNoLimit, kNoLimit, state);
    EXPECT_THAT(lines, Contains("Sensors    the helper is not running; start it with quillfen "
                                "helper start"));
    EXPECT_THAT(lines, Not(Contains(::testing::StartsWith("Fans"))));
    state.helperRunning = true;
    EXPECT_THAT(frame(s, kNoLimit, kNoLimit, state),
                Contains("Sensors    the helper runs but its readings do not arrive; see "
                         "quillfen helper status"));
}

struct WidthCase {
    const char* text;
    std::size_t columns;
    std::size_t fitTo;
    const char* fitted;

    friend void PrintTo(const WidthCase& c, std::ostream* os) {
        *os << '"' << printable(c.text) << "\" in " << c.fitTo;
    }
};

class TextWidth : public ::testing::TestWithParam<WidthCase> {};

TEST_P(TextWidth, CountsColumnsAndCutsAtCharacters) {
    EXPECT_EQ(columns(GetParam().text), GetParam().columns);
    EXPECT_EQ(fitted(GetParam().text, GetParam().fitTo), GetParam().fitted);
}

INSTANTIATE_TEST_SUITE_P(
    Frame, TextWidth,
    ::testing::Values(WidthCase{"abcdef", 6, 6, "abcdef"}, WidthCase{"abcdef", 6, 4, "abc…"},
                      WidthCase{"—↓°…", 4, 3, "—↓…"}, WidthCase{"漢字かな", 8, 5, "漢字…"},
                      WidthCase{"漢字かな", 8, 4, "漢…"},
                      WidthCase{"e\xcc\x81t\xc3\xa9", 3, 3, "e\xcc\x81t\xc3\xa9"},
                      WidthCase{"\xff\xfe", 2, 1, "…"}, WidthCase{"abc", 3, 0, ""}));

TEST(FrameWrap, BreaksAtBlanksAndCutsWhatIsLongerThanALine) {
    EXPECT_EQ(wrapped("the service did not answer", 12),
              std::vector<std::string>({"the service", "did not", "answer"}));
    EXPECT_EQ(wrapped("/a/very/long/path/that/has/no/blanks at all", 10),
              std::vector<std::string>({"/a/very/l…", "at all"}));
}

} // namespace
} // namespace quillfen::cli
