#include "sampling/GPUSampler.h"

#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using platform::RegistryDictionary;

RegistryDictionary accelerator(RegistryDictionary stats) {
    return RegistryDictionary{{"PerformanceStatistics", std::move(stats)},
                              {"gpu-core-count", 10},
                              {"model", std::string("Apple M1 Pro")}};
}

const RegistryDictionary kBusy{
    {"Device Utilization %", 42}, {"Renderer Utilization %", 30.5}, {"Tiler Utilization %", 12}};

class GPUSamplerTest : public ::testing::Test {
protected:
    platform::fake::FakePlatform fake;
};

TEST_F(GPUSamplerTest, FullAndOverallOnlyReadingsCarryTheCachedCoreCountAndModel) {
    fake.registry->add("IOAccelerator", accelerator(kBusy));
    GPUSampler sampler;
    EXPECT_EQ(sampler.sample(), (GPUReading{0.42, 0.305, 0.12, 10, "Apple M1 Pro"}));
    fake.clock->advance(2);
    EXPECT_EQ(sampler.sampleOverallOnly(), (GPUReading{0.42, 0, 0, 10, "Apple M1 Pro"}));
}

TEST_F(GPUSamplerTest, ReadsAtMostEveryTwoSecondsAcrossBothVariants) {
    fake.registry->add("IOAccelerator", accelerator(kBusy));
    GPUSampler sampler;
    EXPECT_TRUE(sampler.sampleOverallOnly()) << "the first call is never throttled";
    fake.clock->advance(1.5);
    EXPECT_FALSE(sampler.sample());
    fake.clock->advance(0.499);
    EXPECT_FALSE(sampler.sampleOverallOnly()) << "a throttled call does not move the window";
    fake.clock->advance(0.001);
    EXPECT_TRUE(sampler.sample());
    fake.clock->advance(1);
    EXPECT_FALSE(sampler.sampleOverallOnly());
    EXPECT_EQ(fake.registry->propertyReads(), 2) << "a throttled call reads nothing";
}

TEST_F(GPUSamplerTest, MissingOrNonNumericPercentagesCountAsZeroAndNoneIsClamped) {
    auto service = fake.registry->add("IOAccelerator", accelerator(kBusy));
    GPUSampler sampler;
    service->properties = accelerator(RegistryDictionary{{"Device Utilization %", 100},
                                                         {"Renderer Utilization %", "busy"},
                                                         {"Tiler Utilization %", true}});
    EXPECT_EQ(sampler.sample(), (GPUReading{1.0, 0, 0, 10, "Apple M1 Pro"}));
    fake.clock->advance(2);
    service->properties = accelerator(RegistryDictionary{{"Device Utilization %", 150.0}});
    EXPECT_EQ(sampler.sample(), (GPUReading{1.5, 0, 0, 10, "Apple M1 Pro"}));
}

TEST_F(GPUSamplerTest, UnreadableStatisticsGiveNoReading) {
    auto service = fake.registry->add("IOAccelerator", accelerator(kBusy));
    GPUSampler sampler;
    service->properties = RegistryDictionary{{"PerformanceStatistics", 5}};
    EXPECT_FALSE(sampler.sample());
    fake.clock->advance(2);
    service->properties.reset();
    EXPECT_FALSE(sampler.sample());
    fake.clock->advance(2);
    service->properties = accelerator(kBusy);
    EXPECT_TRUE(sampler.sample());
}

TEST_F(GPUSamplerTest, WithoutAnAcceleratorNothingIsEverKnown) {
    fake.registry->failMatching = true;
    GPUSampler failed;
    fake.registry->failMatching = false;
    GPUSampler empty;
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(failed.sample());
        EXPECT_FALSE(empty.sampleOverallOnly());
        fake.clock->advance(5);
    }
}

TEST_F(GPUSamplerTest, TheFirstServiceWithAStatisticsDictionaryIsChosen) {
    fake.registry->add("IOAccelerator", std::nullopt);         // unreadable
    fake.registry->add("IOAccelerator", RegistryDictionary{}); // empty
    fake.registry->add("IOAccelerator", RegistryDictionary{{"model", "No stats"}});
    fake.registry->add("IOAccelerator", RegistryDictionary{{"PerformanceStatistics", 1}});
    fake.registry->add("IOAccelerator",
                       RegistryDictionary{{"PerformanceStatistics", RegistryDictionary{}},
                                          {"gpu-core-count", "ten"},
                                          {"model", 7}});
    fake.registry->add("IOAccelerator", accelerator(kBusy)); // later: never chosen
    fake.registry->add("IOBlockStorageDriver", accelerator(kBusy));
    {
        GPUSampler sampler;
        EXPECT_EQ(fake.registry->liveHandles(), 1) << "every other candidate is released";
        EXPECT_EQ(fake.registry->propertiesReads(), 5);
        EXPECT_EQ(sampler.sample(), (GPUReading{0, 0, 0, std::nullopt, std::nullopt}));
    }
    EXPECT_EQ(fake.registry->liveHandles(), 0) << "the chosen service goes with the sampler";
}

} // namespace
} // namespace quillfen
