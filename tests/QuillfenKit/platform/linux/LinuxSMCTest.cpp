// The hwmon-backed fan controller on sysfs trees captured from real machines, read through the
// helper's own fan sampler.

#include "platform/linux/LinuxSMC.h"
#include "FanSampler.h"
#include "platform/fake/FakePlatform.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace quillfen::platform::linux {
namespace {

using quillfen::testing::TempDir;
using quillfen::testing::writeText;

const std::filesystem::path kSysfs = std::filesystem::path(QUILLFEN_FIXTURES) / "sysfs";

class LinuxSMCTest : public ::testing::Test {
protected:
    void use(const std::filesystem::path& root) {
        fake.platform.smc = std::make_shared<LinuxSMC>(root);
    }
    fake::FakePlatform fake;
};

TEST_F(LinuxSMCTest, CapturedMachines) {
    // The discrete GPU's fan sleeps with its card: counted, but not read.
    use(kSysfs / "intel-laptop");
    EXPECT_EQ(FanSampler().sample(), (FanReading{2150, 2, std::vector<double>{2150, 0}}));
    use(kSysfs / "empty");
    EXPECT_EQ(fake.platform.smc->getMatchingService("AppleSMC"), 0u);
    EXPECT_FALSE(FanSampler().sample());
}

TEST_F(LinuxSMCTest, AnUnreadableSpeedIsZeroAndOnlyTenFansFitTheKeyNames) {
    TempDir dir;
    for (int chip = 0; chip < 2; ++chip) {
        const auto d = dir / "class" / "hwmon" / ("hwmon" + std::to_string(chip));
        writeText(d / "name", "nct6798");
        for (int fan = 1; fan <= 7; ++fan)
            writeText(d / ("fan" + std::to_string(fan) + "_input"),
                      fan == 1 && chip == 0 ? "not a number" : std::to_string(chip * 100 + fan));
    }
    use(dir.path());
    EXPECT_EQ(FanSampler().sample(),
              (FanReading{103, 10, std::vector<double>{0, 2, 3, 4, 5, 6, 7, 101, 102, 103}}));
}

} // namespace
} // namespace quillfen::platform::linux
