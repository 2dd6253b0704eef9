#include "sampling/DiskSampler.h"
#include "sampling/DiskUsageSampler.h"

#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using platform::MountedVolumeValues;
using platform::RegistryDictionary;
using platform::fake::FakePlatform;

RegistryDictionary disk(std::int64_t read, std::int64_t written) {
    return {{"Statistics", RegistryDictionary{{"Bytes (Read)", read}, {"Bytes (Write)", written}}}};
}

class DiskSamplerTest : public ::testing::Test {
protected:
    FakePlatform fake;
    DiskSampler sampler;
};

TEST_F(DiskSamplerTest, SumsEveryDriverIntoRatesSinceThePreviousCall) {
    auto a = fake.registry->add("IOBlockStorageDriver", disk(1000, 2000));
    auto b = fake.registry->add("IOBlockStorageDriver", disk(500, 0));
    fake.registry->add("IOBlockStorageDriver", std::nullopt); // unreadable: left out
    fake.registry->add("IOBlockStorageDriver", RegistryDictionary{{"Statistics", 3}});
    EXPECT_FALSE(sampler.sample());
    a->properties = disk(5000, 2000);
    b->properties = disk(1500, 4000);
    fake.clock->advance(2);
    EXPECT_EQ(sampler.sample(), (DiskReading{2500, 2000}));
    EXPECT_EQ(fake.registry->liveHandles(), 0);
}

TEST_F(DiskSamplerTest, ADetachedDiskGivesZeroThenMeasuresFromTheLowerTotal) {
    auto a = fake.registry->add("IOBlockStorageDriver", disk(10'000, 100));
    auto b = fake.registry->add("IOBlockStorageDriver", disk(10'000, 100));
    sampler.sample();
    b->properties.reset();
    a->properties = disk(10'500, 400);
    fake.clock->advance(1);
    EXPECT_EQ(sampler.sample(), (DiskReading{0, 200}));
    a->properties = disk(11'500, 400);
    fake.clock->advance(1);
    EXPECT_EQ(sampler.sample(), (DiskReading{1000, 0}));
}

TEST_F(DiskSamplerTest, ARegistryFailureKeepsThePreviousTotals) {
    auto a = fake.registry->add("IOBlockStorageDriver", disk(0, 0));
    sampler.sample();
    fake.registry->failMatching = true;
    fake.clock->advance(1);
    EXPECT_FALSE(sampler.sample());
    fake.registry->failMatching = false;
    a->properties = disk(2000, 0);
    fake.clock->advance(1);
    EXPECT_EQ(sampler.sample(), (DiskReading{1000, 0})); // over both seconds
}

TEST_F(DiskSamplerTest, NoDriversMeansNoTraffic) {
    sampler.sample();
    fake.clock->advance(1);
    EXPECT_EQ(sampler.sample(), (DiskReading{0, 0}));
}

MountedVolumeValues volume(std::string name, std::int64_t total, std::int64_t important,
                           std::int64_t plain, bool local = true, bool browsable = true) {
    return {name, total, important, plain, browsable, local, true};
}

class DiskUsageSamplerTest : public ::testing::Test {
protected:
    FakePlatform fake;
    DiskUsageSampler sampler;
};

TEST_F(DiskUsageSamplerTest, ListsLocalBrowsableVolumesLargestFirst) {
    fake.volumes->add("/", volume("Ubuntu", 500, 200, 250));
    fake.volumes->add("/mnt/a", volume("a", 1000, 0, 300)); // important 0: plain counts
    fake.volumes->add("/mnt/b", volume("b", 500, 100, 100));
    fake.volumes->add("/mnt/full", volume("full", 100, 500, 500)); // more free than capacity
    fake.volumes->add("/mnt/zero", volume("zero", 0, 10, 10));
    fake.volumes->add("/mnt/nas", volume("nas", 9000, 10, 10, /*local=*/false));
    fake.volumes->add("/boot/efi", volume("efi", 9000, 10, 10, true, /*browsable=*/false));
    fake.volumes->add("/mnt/nospace", volume("nospace", 9000, 0, 0));
    fake.volumes->add("/mnt/gone", std::nullopt);
    MountedVolumeValues unnamed = volume("", 50, 5, 5);
    unnamed.localizedName.reset();
    fake.volumes->add("/media/Unnamed Disk", unnamed);

    const auto list = sampler.sample();
    EXPECT_TRUE(fake.volumes->lastSkipHidden);
    EXPECT_EQ(list, (std::vector<DiskVolumeUsage>{{"a", "/mnt/a", 1000, 300},
                                                  {"Ubuntu", "/", 500, 200},
                                                  {"b", "/mnt/b", 500, 100},
                                                  {"full", "/mnt/full", 100, 500},
                                                  {"Unnamed Disk", "/media/Unnamed Disk", 50, 5}}));
    EXPECT_EQ(list.value_or(std::vector<DiskVolumeUsage>(4)).at(3).usedBytes(), 0u);
}

TEST_F(DiskUsageSamplerTest, RefreshesAtMostEveryFiveSeconds) {
    fake.volumes->add("/", volume("Ubuntu", 500, 200, 250));
    EXPECT_TRUE(sampler.sample());
    fake.clock->advance(4);
    EXPECT_FALSE(sampler.sample());
    fake.clock->advance(1);
    EXPECT_TRUE(sampler.sample());
    EXPECT_EQ(fake.volumes->listings, 2);
}

TEST_F(DiskUsageSamplerTest, NoVolumeListGivesAnEmptyList) {
    fake.volumes->listable = false;
    EXPECT_EQ(sampler.sample(), std::vector<DiskVolumeUsage>{});
}

} // namespace
} // namespace quillfen
