#include "platform/linux/PowerSupply.h"

#include "Table.h"
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

const fs::path kMachines = fs::path(QUILLFEN_FIXTURES) / "power_supply";

// The battery sampler on the Linux power sources and registry of a sysfs tree.
struct Machine {
    explicit Machine(const fs::path& sys) {
        fake.platform.powerSources = std::make_shared<LinuxPowerSources>(sys);
        fake.platform.registry = std::make_shared<LinuxRegistry>(sys);
        sampler.emplace();
    }
    fake::FakePlatform fake;
    std::optional<BatterySampler> sampler; // made once the ports are in place
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
    expectReading(m.sampler->sample(), {0.6, true, true, 82, 15.0, 412, 51.3 / 57});
    EXPECT_EQ(m.sampler->hasInternalBattery(), true);
}

TEST(PowerSupplyMachines, ALaptopDischargingWhoseFirmwareDoesNotKnowTheRate) {
    Machine m(kMachines / "laptop-discharging");
    // 0xffff mA, scaled by the kernel: no estimate, no power; 0 cycles means uncounted.
    expectReading(m.sampler->sample(),
                  {0.75, false, false, std::nullopt, std::nullopt, std::nullopt, 4000.0 / 4500});
}

TEST(PowerSupplyMachines, ADesktopWithOnlyMainsAndAMouseBatteryHasNoBattery) {
    for (const fs::path& sys : {kMachines / "desktop", fs::path("/nonexistent")}) {
        Machine m(sys);
        EXPECT_FALSE(m.sampler->sample()) << sys;
        EXPECT_EQ(m.sampler->hasInternalBattery(), false) << sys;
    }
}

struct QuirkCase : quillfen::testing::Row {
    // Supply folder, then its attributes as "KEY=value" words.
    std::vector<std::pair<const char*, const char*>> supplies;
    BatteryReading expected;
};

class DriverQuirk : public ::testing::TestWithParam<QuirkCase> {};

TEST_P(DriverQuirk, IsReadAsTheHardwareMeansIt) {
    TempDir dir;
    for (const auto& [name, words] : GetParam().supplies) {
        std::string uevent, rest = words;
        for (std::size_t at = 0; at < rest.size();) {
            const std::size_t end = std::min(rest.find(' ', at), rest.size());
            uevent += "POWER_SUPPLY_" + rest.substr(at, end - at) + "\n";
            at = end + 1;
        }
        quillfen::testing::writeText(dir / "class/power_supply" / name / "uevent", uevent);
    }
    Machine m(dir.path());
    expectReading(m.sampler->sample(), GetParam().expected);
}

const std::pair<const char*, const char*> kMainsOff{"AC", "TYPE=Mains ONLINE=0"};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, DriverQuirk, ::testing::Values(
    // Energy counted, flow given in current_now: µW, not µA.
    QuirkCase{"PowerInCurrentNow", {kMainsOff, {"BAT0", "TYPE=Battery STATUS=Discharging "
              "ENERGY_NOW=20000000 ENERGY_FULL=40000000 CURRENT_NOW=10000000 VOLTAGE_NOW=11100000 "
              "CYCLE_COUNT=7"}}, {0.5, false, false, 120, -10.0, 7}},
    // Charge counted: current_now is µA, signed by some drivers.
    QuirkCase{"ChargeAndCurrent", {kMainsOff, {"BAT0", "TYPE=Battery STATUS=Discharging "
              "CHARGE_NOW=3000000 CHARGE_FULL=4000000 CURRENT_NOW=-1500000 VOLTAGE_NOW=11000000 "
              "CAPACITY=74"}}, {0.74, false, false, 120, -16.5}},
    QuirkCase{"TheKernelsOwnEstimateWins", {kMainsOff, {"BAT0", "TYPE=Battery STATUS=Discharging "
              "ENERGY_NOW=20000000 ENERGY_FULL=40000000 POWER_NOW=10000000 VOLTAGE_NOW=10000000 "
              "TIME_TO_EMPTY_NOW=5400"}}, {0.5, false, false, 90, -10.0}},
    QuirkCase{"MoreThanAHundredWattsIsAMisreading", {kMainsOff, {"BAT0", "TYPE=Battery "
              "STATUS=Discharging ENERGY_NOW=20000000 ENERGY_FULL=40000000 POWER_NOW=150000000 "
              "VOLTAGE_NOW=10000000"}}, {0.5}},
    // No supply to ask: a battery that is not discharging is fed; an empty bay is passed over.
    QuirkCase{"FullWithoutASupplyToAsk", {{"BAT0", "TYPE=Battery PRESENT=0"}, {"BAT1",
              "TYPE=Battery STATUS=Full CAPACITY=100 TIME_TO_EMPTY_NOW=9000"}}, {1.0, false, true}},
    QuirkCase{"ChargingOverUSBC", {kMainsOff, {"BAT0", "TYPE=Battery STATUS=Charging CAPACITY=20"},
              {"ucsi-source-psy-USBC000:001", "TYPE=USB ONLINE=1"}}, {0.2, true, true}},
    // Numbers no battery reports: no flow, no estimate, and no arithmetic that overflows.
    QuirkCase{"ImpossibleCurrent", {{"AC", "TYPE=Mains ONLINE=1"}, {"BAT0", "TYPE=Battery "
              "STATUS=Charging CHARGE_NOW=2000000 CHARGE_FULL=4000000 "
              "CURRENT_NOW=-9223372036854775808 VOLTAGE_NOW=11000000 CAPACITY=50"}},
              {0.5, true, true}},
    QuirkCase{"ImpossibleCharge", {{"AC", "TYPE=Mains ONLINE=1"}, {"BAT0", "TYPE=Battery "
              "STATUS=Charging CHARGE_NOW=-9223372036854775807 CHARGE_FULL=4000000 "
              "CURRENT_NOW=1000000 VOLTAGE_NOW=11000000 CAPACITY=50"}},
              {0.5, true, true, std::nullopt, 11.0}}),
    ::testing::PrintToStringParamName());
// clang-format on

} // namespace
} // namespace quillfen::platform::linux
