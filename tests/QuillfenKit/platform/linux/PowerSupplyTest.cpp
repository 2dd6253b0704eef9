#include "platform/linux/PowerSupply.h"

#include "TempDir.h"
#include "platform/fake/FakePlatform.h"
#include "platform/linux/LinuxPowerSources.h"
#include "platform/linux/LinuxRegistry.h"
#include "sampling/BatterySampler.h"

#include <gtest/gtest.h>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;
using quillfen::testing::TempDir;
using quillfen::testing::writeText;

const fs::path kMachines = fs::path(QUILLFEN_FIXTURES) / "power_supply";

struct LinuxPorts {
    explicit LinuxPorts(const fs::path& sys) {
        fake.platform.powerSources = std::make_shared<LinuxPowerSources>(sys);
        fake.platform.registry = std::make_shared<LinuxRegistry>(sys);
    }
    fake::FakePlatform fake;
};

// The battery sampler on the Linux power sources and registry of a sysfs tree.
struct Machine : LinuxPorts {
    explicit Machine(const fs::path& sys)
        : LinuxPorts(sys) {}
    BatterySampler sampler;
};

void expectReading(const std::optional<BatteryReading>& actual, const BatteryReading& expected) {
    ASSERT_TRUE(actual);
    EXPECT_DOUBLE_EQ(actual->chargePercent, expected.chargePercent);
    EXPECT_EQ(actual->isCharging, expected.isCharging);
    EXPECT_EQ(actual->isOnAC, expected.isOnAC);
    EXPECT_EQ(actual->timeRemainingMinutes, expected.timeRemainingMinutes);
    EXPECT_EQ(actual->cycleCount, expected.cycleCount);
    ASSERT_EQ(actual->watts.has_value(), expected.watts.has_value());
    EXPECT_NEAR(actual->watts.value_or(0), expected.watts.value_or(0), 0.01);
    ASSERT_EQ(actual->healthPercent.has_value(), expected.healthPercent.has_value());
    EXPECT_NEAR(actual->healthPercent.value_or(0), expected.healthPercent.value_or(0), 1e-3);
}

TEST(PowerSupplyMachines, ALaptopChargingOnMainsWithAMouseBesideIt) {
    Machine m(kMachines / "laptop-charging");
    // 20.52 Wh to go at 15 W; energies converted at the design voltage keep the health ratio.
    expectReading(m.sampler.sample(), {0.6, true, true, 82, 15.0, 412, 51.3 / 57});
    EXPECT_EQ(m.sampler.hasInternalBattery(), true);
}

TEST(PowerSupplyMachines, ALaptopDischargingWhoseFirmwareDoesNotKnowTheRate) {
    Machine m(kMachines / "laptop-discharging");
    // 0xffff mA, scaled by the kernel: no estimate, no power; 0 cycles means uncounted.
    expectReading(m.sampler.sample(),
                  {0.75, false, false, std::nullopt, std::nullopt, std::nullopt, 4000.0 / 4500});
}

TEST(PowerSupplyMachines, ADesktopWithOnlyMainsAndAMouseBatteryHasNoBattery) {
    Machine m(kMachines / "desktop");
    EXPECT_FALSE(m.sampler.sample());
    EXPECT_EQ(m.sampler.hasInternalBattery(), false);
    Machine none("/nonexistent");
    EXPECT_FALSE(none.sampler.sample());
    EXPECT_EQ(none.sampler.hasInternalBattery(), false);
}

struct QuirkCase {
    const char* name;
    std::vector<std::pair<const char*, std::string>> supplies; // folder, uevent body
    BatteryReading expected;
};

void PrintTo(const QuirkCase& c, std::ostream* os) {
    *os << c.name;
}

class DriverQuirk : public ::testing::TestWithParam<QuirkCase> {};

TEST_P(DriverQuirk, IsReadAsTheHardwareMeansIt) {
    TempDir dir;
    for (const auto& [name, body] : GetParam().supplies)
        writeText(dir / "class/power_supply" / name / "uevent", body);
    Machine m(dir.path());
    expectReading(m.sampler.sample(), GetParam().expected);
}

const std::pair<const char*, std::string> kMainsOff{"AC", "POWER_SUPPLY_TYPE=Mains\n"
                                                          "POWER_SUPPLY_ONLINE=0\n"};

INSTANTIATE_TEST_SUITE_P(
    Table, DriverQuirk,
    ::testing::Values(
        // Energy counted, flow given in current_now: µW, not µA.
        QuirkCase{"PowerInCurrentNow",
                  {kMainsOff,
                   {"BAT0", "POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Discharging\n"
                            "POWER_SUPPLY_ENERGY_NOW=20000000\nPOWER_SUPPLY_ENERGY_FULL=40000000\n"
                            "POWER_SUPPLY_CURRENT_NOW=10000000\nPOWER_SUPPLY_VOLTAGE_NOW=11100000\n"
                            "POWER_SUPPLY_CYCLE_COUNT=7\n"}},
                  {0.5, false, false, 120, -10.0, 7}},
        // Charge counted: current_now is µA.
        QuirkCase{"ChargeAndCurrent",
                  {kMainsOff,
                   {"BAT0", "POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Discharging\n"
                            "POWER_SUPPLY_CHARGE_NOW=3000000\nPOWER_SUPPLY_CHARGE_FULL=4000000\n"
                            "POWER_SUPPLY_CURRENT_NOW=-1500000\nPOWER_SUPPLY_VOLTAGE_NOW=11000000\n"
                            "POWER_SUPPLY_CAPACITY=74\n"}},
                  {0.74, false, false, 120, -16.5}},
        QuirkCase{"TheKernelsOwnEstimateWins",
                  {kMainsOff,
                   {"BAT0", "POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Discharging\n"
                            "POWER_SUPPLY_ENERGY_NOW=20000000\nPOWER_SUPPLY_ENERGY_FULL=40000000\n"
                            "POWER_SUPPLY_POWER_NOW=10000000\nPOWER_SUPPLY_VOLTAGE_NOW=10000000\n"
                            "POWER_SUPPLY_TIME_TO_EMPTY_NOW=5400\n"}},
                  {0.5, false, false, 90, -10.0}},
        QuirkCase{
            "MoreThanAHundredWattsIsAMisreading",
            {kMainsOff,
             {"BAT0", "POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Discharging\n"
                      "POWER_SUPPLY_ENERGY_NOW=20000000\nPOWER_SUPPLY_ENERGY_FULL=40000000\n"
                      "POWER_SUPPLY_POWER_NOW=150000000\nPOWER_SUPPLY_VOLTAGE_NOW=10000000\n"}},
            {0.5}},
        // No supply to ask: a full battery that is not discharging is on mains; an empty
        // bay is passed over; USB-C power counts as mains.
        QuirkCase{"FullWithoutASupplyToAsk",
                  {{"BAT0", "POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_PRESENT=0\n"},
                   {"BAT1", "POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Full\n"
                            "POWER_SUPPLY_CAPACITY=100\nPOWER_SUPPLY_TIME_TO_EMPTY_NOW=9000\n"}},
                  {1.0, false, true}},
        QuirkCase{"ChargingOverUSBC",
                  {kMainsOff,
                   {"BAT0", "POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Charging\n"
                            "POWER_SUPPLY_CAPACITY=20\n"},
                   {"ucsi-source-psy-USBC000:001", "POWER_SUPPLY_TYPE=USB\n"
                                                   "POWER_SUPPLY_ONLINE=1\n"}},
                  {0.2, true, true}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quillfen::platform::linux
