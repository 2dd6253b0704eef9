#include "sampling/MemorySampler.h"

#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

class MemorySamplerTest : public ::testing::Test {
protected:
    MemorySamplerTest() {
        fake.kernel->pageSize = 16384;
        fake.kernel->physicalMemoryBytes = 16ull << 30;
        vm.freeCount = 1000;
        vm.activeCount = 77777; // part of no figure
        vm.inactiveCount = 2000;
        vm.wireCount = 3000;
        vm.purgeableCount = 400;
        vm.speculativeCount = 500;
        vm.compressorPageCount = 600;
        vm.internalPageCount = 7000;
    }

    platform::fake::FakePlatform fake;
    platform::vmstat::VMStatistics64 vm{};
};

TEST_F(MemorySamplerTest, BreaksThePageCountersDownIntoBytesFromTheFirstCall) {
    MemorySampler sampler;
    EXPECT_FALSE(sampler.sample()) << "the kernel call fails";
    fake.kernel->vmStatistics = vm;
    EXPECT_EQ(sampler.sample(), (MemoryReading{16ull << 30, 6600ull * 16384, 3000ull * 16384,
                                               600ull * 16384, 3900ull * 16384}));
}

TEST_F(MemorySamplerTest, CountsAreWidenedAndAppMemoryNeverGoesBelowZero) {
    vm.freeCount = vm.inactiveCount = vm.purgeableCount = vm.speculativeCount = 0xFFFF'FFFFu;
    vm.internalPageCount = 100;
    fake.kernel->vmStatistics = vm;
    EXPECT_EQ(MemorySampler().sample(),
              (MemoryReading{16ull << 30, 0, 3000ull * 16384, 600ull * 16384,
                             4ull * 0xFFFF'FFFFull * 16384}));
}

TEST_F(MemorySamplerTest, AnUnknownPageSizeCountsEveryPageAsZeroBytes) {
    fake.kernel->pageSize.reset();
    fake.kernel->vmStatistics = vm;
    EXPECT_EQ(MemorySampler().sample(), (MemoryReading{16ull << 30, 0, 0, 0, 0}));
}

TEST(MemoryReadingTest, UsedSumsAppWiredAndCompressedAndItsRatioStaysAFraction) {
    const MemoryReading r{1000, 300, 200, 100, 999};
    EXPECT_EQ(r.used(), 600u);
    EXPECT_DOUBLE_EQ(r.usedRatio(), 0.6);
    EXPECT_EQ((MemoryReading{0, 300, 200, 100, 0}.usedRatio()), 0.0);
    EXPECT_EQ((MemoryReading{100, 300, 200, 100, 0}.usedRatio()), 1.0);
}

} // namespace
} // namespace quillfen
