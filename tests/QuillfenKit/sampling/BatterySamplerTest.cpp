#include "sampling/BatterySampler.h"

#include "Table.h"
#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using platform::PowerSourceDescription;
using platform::PowerSourcesInfo;
using platform::RegistryDictionary;

PowerSourceDescription internalBattery(PowerSourceDescription keys) {
    keys.try_emplace("Type", std::string("InternalBattery"));
    return keys;
}

class BatterySamplerTest : public ::testing::Test {
protected:
    void sources(std::vector<std::optional<PowerSourceDescription>> list) {
        fake.powerSources->info = PowerSourcesInfo{std::move(list)};
    }

    platform::fake::FakePlatform fake;
};

TEST_F(BatterySamplerTest, ReadsAtMostEveryFiveSecondsAndAThrottledCallChangesNothing) {
    sources({internalBattery({{"Current Capacity", 50}})});
    BatterySampler sampler;
    EXPECT_EQ(sampler.hasInternalBattery(), std::nullopt);
    EXPECT_TRUE(sampler.sample());
    sources({});
    fake.clock->advance(4);
    EXPECT_FALSE(sampler.sample());
    EXPECT_EQ(sampler.hasInternalBattery(), true);
    EXPECT_EQ(fake.powerSources->reads, 1);
    fake.clock->advance(1);
    EXPECT_FALSE(sampler.sample());
    EXPECT_EQ(sampler.hasInternalBattery(), false) << "a desktop: no internal battery";
}

TEST_F(BatterySamplerTest, UnavailableSourcesLeaveTheBatteryUnknown) {
    fake.powerSources->info.reset();
    BatterySampler sampler;
    EXPECT_FALSE(sampler.sample());
    fake.powerSources->info = PowerSourcesInfo{std::nullopt};
    fake.clock->advance(5);
    EXPECT_FALSE(sampler.sample());
    EXPECT_EQ(sampler.hasInternalBattery(), std::nullopt);
}

TEST_F(BatterySamplerTest, TheFirstInternalBatteryIsReadWithoutAnUnreadableSmartBattery) {
    sources({std::nullopt, PowerSourceDescription{{"Type", std::string("UPS")}},
             internalBattery({{"Current Capacity", 40}}),
             internalBattery({{"Current Capacity", 90}})});
    fake.registry->add("AppleSmartBattery", std::nullopt);
    BatterySampler sampler;
    EXPECT_EQ(sampler.sample(), BatteryReading{0.4});
}

struct DescriptionCase : testing::Row {
    PowerSourceDescription source;
    std::optional<RegistryDictionary> smartBattery;
    BatteryReading expected;
};

class BatteryDescription : public BatterySamplerTest,
                           public ::testing::WithParamInterface<DescriptionCase> {};

TEST_P(BatteryDescription, BecomesTheReading) {
    sources({internalBattery(GetParam().source)});
    if (GetParam().smartBattery) fake.registry->add("AppleSmartBattery", GetParam().smartBattery);
    BatterySampler sampler;
    EXPECT_EQ(sampler.sample(), GetParam().expected);
    EXPECT_EQ(fake.registry->liveHandles(), 0) << "the smart battery is released";
}

const auto kNone = std::nullopt;
const std::string kBattery = "Battery Power";
const std::string kAC = "AC Power";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, BatteryDescription, ::testing::Values(
    DescriptionCase{"NoMaximumMeansPercent", {{"Current Capacity", 80}}, {}, {0.8}},
    DescriptionCase{"AboveTheMaximumIsFull", {{"Current Capacity", 120}, {"Max Capacity", 100}}, {}, {1.0}},
    DescriptionCase{"ZeroMaximumIsEmpty", {{"Current Capacity", 50}, {"Max Capacity", 0}}, {}, {0}},
    DescriptionCase{"StillEstimating", {{"Current Capacity", 30}, {"Power Source State", kBattery},
                    {"Time to Empty", -1}, {"Time to Full Charge", 40}}, {}, {0.3}},
    DescriptionCase{"ChargingUsesTimeToFull", {{"Current Capacity", 30}, {"Is Charging", true},
                    {"Power Source State", kAC}, {"Time to Empty", 300}, {"Time to Full Charge", 40}},
                    {}, {0.3, true, true, 40}},
    DescriptionCase{"SmartBattery", {{"Current Capacity", 70}, {"Time to Empty", 200}},
                    RegistryDictionary{{"CycleCount", 123}, {"DesignCapacity", 5000},
                    {"MaxCapacity", 4000}, {"AppleRawMaxCapacity", 4500}, {"Amperage", -1500},
                    {"Voltage", 12000}}, {0.7, false, false, 200, -18.0, 123, 0.9}},
    DescriptionCase{"HealthFromMaxCapacity", {}, RegistryDictionary{{"DesignCapacity", 5000},
                    {"MaxCapacity", 4000}}, {0, false, false, kNone, kNone, kNone, 0.8}},
    DescriptionCase{"HealthIsCappedAtOne", {}, RegistryDictionary{{"DesignCapacity", 5000},
                    {"AppleRawMaxCapacity", 5200}}, {0, false, false, kNone, kNone, kNone, 1.0}},
    DescriptionCase{"NoUsableFigures", {}, RegistryDictionary{{"DesignCapacity", 0},
                    {"MaxCapacity", 4000}, {"Amperage", 500}, {"CycleCount", "many"}}, {0}}),
    ::testing::PrintToStringParamName());
// clang-format on

} // namespace
} // namespace quillfen
