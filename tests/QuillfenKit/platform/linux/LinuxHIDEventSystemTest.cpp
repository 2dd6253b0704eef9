// The hwmon-backed temperature services on sysfs trees captured from real machines, read
// through the helper's own thermal sampler.

#include "platform/linux/LinuxHIDEventSystem.h"
#include "ThermalSampler.h"
#include "platform/fake/FakePlatform.h"
#include "platform/linux/LinuxSMC.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace quillfen::platform::linux {
namespace {

using quillfen::testing::TempDir;
using quillfen::testing::writeText;

const std::filesystem::path kSysfs = std::filesystem::path(QUILLFEN_FIXTURES) / "sysfs";

class LinuxHIDEventSystemTest : public ::testing::Test {
protected:
    void use(const std::filesystem::path& root) {
        fake.platform.hidEventSystem = std::make_shared<LinuxHIDEventSystem>(root);
        // Memory temperatures are probed through the controller's keys.
        fake.platform.smc = std::make_shared<LinuxSMC>(root);
    }

    std::vector<std::string> serviceNames() {
        std::vector<std::string> names;
        const auto client = fake.platform.hidEventSystem->createClient();
        if (!client) return names;
        const auto services = client->copyServices();
        for (const auto& s : *services)
            names.push_back(s->copyProperty("Product")->get<std::string>());
        return names;
    }

    fake::FakePlatform fake;
};

TEST_F(LinuxHIDEventSystemTest, AmdDesktop) {
    use(kSysfs / "amd-desktop");
    EXPECT_EQ(serviceNames(),
              (std::vector<std::string>{"nct6798 SYSTIN", "nct6798 CPUTIN",
                                        "nct6798 PECI Agent 0 Calibration", "PMU tdie0",
                                        "PMU tdie1", "PMU tdie2", "PMU TP0g", "PMU TP1g",
                                        "PMU TP2g", "jc42 temp1", "jc42 temp1", "NAND CH0 temp"}));
}

TEST_F(LinuxHIDEventSystemTest, IntelLaptop) {
    use(kSysfs / "intel-laptop");
    EXPECT_EQ(serviceNames(), (std::vector<std::string>{
                                  "acpitz temp1", "NAND CH0 temp", "NAND CH1 temp", "NAND CH2 temp",
                                  "thinkpad temp1", "thinkpad temp2", "PMU tdie0", "PMU tdie1",
                                  "PMU tdie2", "PMU tdie3", "PMU tdie4", "iwlwifi_1 temp1",
                                  "PMU TP0g", "PMU tdie5", "INT3400 Thermal", "Battery 0"}));
    // The CPU is the package zone hwmon does not show; the GPU is asleep.
    EXPECT_EQ(ThermalSampler().sample(), (ThermalReading{57.0, std::nullopt, std::nullopt, 30.1,
                                                         (38.85 + 38.85 + 41.85) / 3}));
}

TEST_F(LinuxHIDEventSystemTest, AMachineWithoutSensorsHasNoClient) {
    use(kSysfs / "empty");
    EXPECT_FALSE(fake.platform.hidEventSystem->createClient());
    EXPECT_FALSE(ThermalSampler().sample());
}

TEST_F(LinuxHIDEventSystemTest, FaultsAndUnreadableValuesAreLeftOutAndSensorsMayComeAndGo) {
    TempDir dir;
    const auto chip = dir / "class" / "hwmon" / "hwmon0";
    writeText(chip / "name", "coretemp");
    writeText(chip / "temp1_input", "61000\n");
    writeText(chip / "temp2_input", "99000");
    writeText(chip / "temp2_fault", "1");
    use(dir.path());
    ThermalSampler thermal;
    EXPECT_EQ(thermal.sample()->cpuTemperatureC, 61.0);

    writeText(dir / "class" / "hwmon" / "hwmon1" / "name", "amdgpu");
    writeText(dir / "class" / "hwmon" / "hwmon1" / "temp1_input", "48000");
    writeText(chip / "temp1_input", "");
    fake.clock->advance(2);
    const auto later = thermal.sample();
    EXPECT_FALSE(later->cpuTemperatureC);
    EXPECT_EQ(later->gpuTemperatureC, 48.0);
}

} // namespace
} // namespace quillfen::platform::linux
