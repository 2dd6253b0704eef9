#include "ThermalSampler.h"

#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

#include <limits>

namespace quillfen {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class ThermalSamplerTest : public ::testing::Test {
protected:
    platform::fake::FakePlatform fake;
};

TEST_F(ThermalSamplerTest, SamplesAtMostEveryTwoSecondsOnTheWallClock) {
    fake.hid->addSensor("PMU tdie1", 50);
    ThermalSampler sampler;
    EXPECT_TRUE(sampler.sample());
    fake.clock->advance(1.5);
    EXPECT_FALSE(sampler.sample());
    fake.clock->advance(0.5); // 2.0 s after the first sample: the absent call did not count
    EXPECT_TRUE(sampler.sample());
    fake.clock->advance(1.999);
    EXPECT_FALSE(sampler.sample());
    EXPECT_EQ(fake.hid->listings, 2);
    // The throttle every sampler shares: a wall clock set back restarts its window.
    fake.clock->setNow(fake.clock->now() - 3600);
    EXPECT_TRUE(sampler.sample()) << "a wall clock set back must not freeze the readings";
}

TEST_F(ThermalSamplerTest, WithoutSensorAccessThereIsNoReadingAndTheThrottleStillHolds) {
    fake.hid->available = false;
    ThermalSampler sampler;
    EXPECT_FALSE(sampler.sample());
    fake.hid->listings = 0;
    fake.smc->setFloat("TRD0", 40);
    for (int i = 0; i < 3; ++i) {
        fake.clock->advance(1.0);
        EXPECT_FALSE(sampler.sample());
    }
    EXPECT_EQ(fake.smc->exchanges, 0); // no client: memory keys are not even read
    fake.hid->available = true;
    fake.hid->listable = false;
    EXPECT_FALSE(ThermalSampler().sample()) << "services that cannot be listed";
}

struct NameCase {
    const char* name;
    const char* category; // "cpu", "gpu", "battery", "storage" or "" for none
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << '"' << c.name << '"';
}

class SensorCategory : public ThermalSamplerTest, public ::testing::WithParamInterface<NameCase> {};

// A sensor of no category still gives a reading, with every field absent.
TEST_P(SensorCategory, FollowsTheNamingRulesInOrder) {
    fake.hid->addSensor(GetParam().name, 42);
    ThermalSampler sampler;
    const auto r = sampler.sample();
    ASSERT_TRUE(r);
    const std::string c = GetParam().category;
    EXPECT_EQ(r->cpuTemperatureC.has_value(), c == "cpu");
    EXPECT_EQ(r->gpuTemperatureC.has_value(), c == "gpu");
    EXPECT_EQ(r->batteryTemperatureC.has_value(), c == "battery");
    EXPECT_EQ(r->storageTemperatureC.has_value(), c == "storage");
    EXPECT_EQ(fake.hid->services.front()->eventCopies, c.empty() ? 0 : 1)
        << "only classified sensors are read";
}

INSTANTIATE_TEST_SUITE_P(
    Table, SensorCategory,
    ::testing::Values(NameCase{"PMU tdie1", "cpu"}, NameCase{"NAND battery tdie", "cpu"},
                      NameCase{"PMU TP1s", "cpu"}, NameCase{"PMU TP3g", "gpu"},
                      NameCase{"PMU TP2b battery", "battery"}, NameCase{"PMU TP2x", ""},
                      NameCase{"PMUTP1g", ""}, NameCase{"PMU tp1g", ""}, NameCase{"Tdie", ""},
                      NameCase{"gas gauge battery", "battery"}, NameCase{"Battery 0", "battery"},
                      NameCase{"BATTERY", "battery"}, NameCase{"NAND CH0 temp", "storage"},
                      NameCase{"nand ch0 temp", ""}, NameCase{"PMU TP0g NAND", "storage"},
                      NameCase{"acpitz temp1", ""}));

TEST_F(ThermalSamplerTest, CombinesMaximaAndMeans) {
    fake.hid->addSensor("PMU tdie1", 48.0);
    fake.hid->addSensor("PMU tdie2", 61.5);
    fake.hid->addSensor("PMU TP1g", 40);
    fake.hid->addSensor("PMU TP2g", 45);
    fake.hid->addSensor("Battery 0", 30.0);
    fake.hid->addSensor("Battery 1", 31.0);
    fake.hid->addSensor("NAND CH0 temp", 35);
    fake.hid->addSensor("NAND CH1 temp", 38);
    // cpu, gpu, memory, battery, storage
    EXPECT_EQ(ThermalSampler().sample(), (ThermalReading{61.5, 45, std::nullopt, 30.5, 36.5}));
}

TEST_F(ThermalSamplerTest, ImplausibleValuesAndUnusableServicesAreLeftOut) {
    fake.hid->addSensor("PMU tdie1", 55);
    for (double bad : {0.0, -5.0, kNaN, kInf})
        fake.hid->addSensor("PMU tdie9", bad);
    fake.hid->addSensor("PMU TP1g", std::nullopt); // no event
    fake.hid->addSensor("Battery 0", 0.0);         // the only battery value: field absent
    fake.hid->addSensor(json::Json(17), 80);       // name that is not text
    fake.hid->addSensor(json::Json(), 80);         // no name at all
    EXPECT_EQ(ThermalSampler().sample(), ThermalReading{55});
}

TEST_F(ThermalSamplerTest, MemoryIsTheHottestUsableKeyFoundByOneProbe) {
    fake.smc->setFloat("TRD1", 48);
    fake.smc->setFloat("TRDX", 52);
    fake.smc->setFloat("TRDj", 50);
    fake.smc->set("TRD2", "ui16", {0, 60}); // wrong type: never used
    ThermalSampler sampler;
    EXPECT_EQ(sampler.sample()->memoryTemperatureC, 52);
    // Probed once each, then only the usable ones are read again.
    for (const char* key : {"TRD1", "TRDX", "TRDj"})
        EXPECT_EQ(fake.smc->infoRequests[key], 2) << key;
    for (const char* key : {"TRD0", "TRD2", "TRD9", "TRDa"})
        EXPECT_EQ(fake.smc->infoRequests[key], 1) << key;

    fake.smc->setFloat("TRD0", 70); // appears after the probe: not a memory key
    fake.smc->setFloat("TRDX", std::numeric_limits<float>::infinity());
    fake.clock->advance(2);
    EXPECT_EQ(sampler.sample()->memoryTemperatureC, 50);
    fake.smc->remove("TRD1");
    fake.smc->remove("TRDX");
    fake.smc->setFloat("TRDj", -3);
    fake.clock->advance(2);
    EXPECT_FALSE(sampler.sample()->memoryTemperatureC);
}

TEST_F(ThermalSamplerTest, MemoryKeysAreProbedOnceEvenWhenNoneQualifies) {
    ThermalSampler sampler;
    sampler.sample();
    EXPECT_EQ(fake.smc->exchanges, 21);
    fake.smc->setFloat("TRD0", 40);
    fake.clock->advance(2);
    EXPECT_FALSE(sampler.sample()->memoryTemperatureC);
    EXPECT_EQ(fake.smc->exchanges, 21);
}

} // namespace
} // namespace quillfen
