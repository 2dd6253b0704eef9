#include "Frame.h"

#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

namespace quillfen::cli {
namespace {

TEST(SnapshotText, ShowsEveryReadingFormattedAndUnknownOnesAsDashes) {
    platform::fake::FakePlatform fake;
    SnapshotValues s;
    s.cpu = CPUReading{{0.5, 0.25}, 0.375, 0.25, 0.125, 0.625};
    s.memory = MemoryReading{16ULL << 30, 4ULL << 30, 1ULL << 30, 0, 11ULL << 30};
    s.network = NetworkReading{1536, 100};
    s.diskUsage = {DiskVolumeUsage{"Ubuntu", "/", 500ULL << 30, 100ULL << 30}};
    s.thermal = ThermalReading{61.5, std::nullopt, 42.5, std::nullopt, 38};
    s.fan = FanReading{1200, 2, std::vector<double>{1200, 0}, 0, 2000};
    s.hasBattery = false;
    s.processes = ProcessReading{{ProcessRow{42, "firefox", std::nullopt, 150.4, 1 << 30}},
                                 {ProcessRow{42, "firefox", std::nullopt, 150.4, 1 << 30}}};
    const std::string text = joinedLines(frameLines(s, nullptr, {}));
    for (const char* line :
         {"CPU        38%  user 25%, system 13%\n", "  cores    50% 25%\n", "GPU        —\n",
          "Memory     5 GB of 16 GB used", "Network    ↓ 2 KB/s  ↑ 100 B/s\n",
          "Volumes    Ubuntu (/)  400 GB of 500 GB used\n",
          "Sensors    CPU 62°C  GPU —  memory 43°C  battery —  storage 38°C\n",
          "Fans       1200 rpm (1200 rpm, Off)  range 0 rpm to 2000 rpm\n", "Battery    none\n",
          "\nfirefox  42 150%   firefox  42   1 GB\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin:\n" << text;
    EXPECT_EQ(text.find("–"), std::string::npos) << "one dash character everywhere, not an en dash";
}

} // namespace
} // namespace quillfen::cli
