#include "sampling/BatterySampler.h"

#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using platform::PowerSourceDescription;
using platform::PowerSourcesInfo;
using platform::RegistryDictionary;
using platform::fake::FakePlatform;

PowerSourceDescription internalBattery(PowerSourceDescription keys) {
    keys.try_emplace("Type", std::string("InternalBattery"));
    return keys;
}

class BatterySamplerTest : public ::testing::Test {
protected:
    void sources(std::vector<std::optional<PowerSourceDescription>> list) {
        fake.powerSources->info = PowerSourcesInfo{std::move(list)};
    }

    FakePlatform fake;
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
    // A wall clock set back restarts the window.
    fake.clock->setNow(fake.clock->now() - 600);
    sampler.sample();
    EXPECT_EQ(fake.powerSources->reads, 3);
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

TEST_F(BatterySamplerTest, TheFirstInternalBatteryIsRead) {
    sources({std::nullopt,
             PowerSourceDescription{{"Type", std::string("UPS")}, {"Current Capacity", 10}},
             internalBattery({{"Current Capacity", 40}}),
             internalBattery({{"Current Capacity", 90}})});
    BatterySampler sampler;
    EXPECT_DOUBLE_EQ(sampler.sample()->chargePercent, 0.4);
}

struct DescriptionCase {
    const char* name;
    PowerSourceDescription source;
    std::optional<RegistryDictionary> smartBattery;
    BatteryReading expected;
};

void PrintTo(const DescriptionCase& c, std::ostream* os) {
    *os << c.name;
}

class BatteryDescription : public BatterySamplerTest,
                           public ::testing::WithParamInterface<DescriptionCase> {};

TEST_P(BatteryDescription, BecomesTheReading) {
    sources({internalBattery(GetParam().source)});
    if (GetParam().smartBattery) fake.registry->add("AppleSmartBattery", GetParam().smartBattery);
    BatterySampler sampler;
    EXPECT_EQ(sampler.sample(), GetParam().expected);
    EXPECT_EQ(fake.registry->liveHandles(), 0) << "the smart battery is released";
}

const RegistryDictionary kSmart{{"CycleCount", 123},   {"DesignCapacity", 5000},
                                {"MaxCapacity", 4000}, {"AppleRawMaxCapacity", 4500},
                                {"Amperage", -1500},   {"Voltage", 12000}};

INSTANTIATE_TEST_SUITE_P(
    Table, BatteryDescription,
    ::testing::Values(
        DescriptionCase{"NoMaximumMeansPercent", {{"Current Capacity", 80}}, {}, {0.8}},
        DescriptionCase{
            "AboveTheMaximumIsFull", {{"Current Capacity", 120}, {"Max Capacity", 100}}, {}, {1.0}},
        DescriptionCase{
            "ZeroMaximumIsEmpty", {{"Current Capacity", 50}, {"Max Capacity", 0}}, {}, {0}},
        DescriptionCase{"AFractionalMaximumIsNoMaximum",
                        {{"Current Capacity", 50}, {"Max Capacity", 0.5}},
                        {},
                        {0.5}},
        DescriptionCase{"NothingAtAll", {}, {}, {0}},
        DescriptionCase{"DischargingWhileStillEstimating",
                        {{"Current Capacity", 30},
                         {"Power Source State", std::string("Battery Power")},
                         {"Time to Empty", -1},
                         {"Time to Full Charge", 40}},
                        {},
                        {0.3}},
        DescriptionCase{"ChargingUsesTimeToFull",
                        {{"Current Capacity", 30},
                         {"Is Charging", true},
                         {"Power Source State", std::string("AC Power")},
                         {"Time to Empty", 300},
                         {"Time to Full Charge", 40}},
                        {},
                        {0.3, true, true, 40}},
        DescriptionCase{"SmartBatteryFigures",
                        {{"Current Capacity", 70}, {"Time to Empty", 200}},
                        kSmart,
                        {0.7, false, false, 200, -18.0, 123, 0.9}},
        DescriptionCase{"HealthFromMaxCapacityWithoutARawOne",
                        {{"Current Capacity", 70}},
                        RegistryDictionary{{"DesignCapacity", 5000}, {"MaxCapacity", 4000}},
                        {0.7, false, false, std::nullopt, std::nullopt, std::nullopt, 0.8}},
        DescriptionCase{"HealthIsCappedAtOne",
                        {{"Current Capacity", 70}},
                        RegistryDictionary{{"DesignCapacity", 5000}, {"AppleRawMaxCapacity", 5200}},
                        {0.7, false, false, std::nullopt, std::nullopt, std::nullopt, 1.0}},
        DescriptionCase{"NoUsableDesignCapacity",
                        {{"Current Capacity", 70}},
                        RegistryDictionary{{"DesignCapacity", 0},
                                           {"MaxCapacity", 4000},
                                           {"Amperage", 500},
                                           {"CycleCount", std::string("many")}},
                        {0.7}},
        DescriptionCase{
            "UnreadableSmartBattery", {{"Current Capacity", 70}}, RegistryDictionary{}, {0.7}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BatterySamplerTest, ASmartBatteryWhosePropertiesCannotBeReadAddsNothing) {
    sources({internalBattery({{"Current Capacity", 70}})});
    fake.registry->add("AppleSmartBattery", std::nullopt);
    BatterySampler sampler;
    EXPECT_EQ(sampler.sample(), BatteryReading{0.7});
}

} // namespace
} // namespace quillfen
