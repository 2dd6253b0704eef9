#include "sampling/CPUSampler.h"

#include "platform/fake/FakePlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using platform::fake::FakeKernel;
using ::testing::ElementsAre;
using Ticks = FakeKernel::Ticks; // user, system, idle, nice

class CPUSamplerTest : public ::testing::Test {
protected:
    // Sets the counters of every processor and of the host (their sum) at once.
    void set(std::vector<Ticks> cpus) {
        Ticks sum{};
        for (const auto& t : cpus)
            for (std::size_t s = 0; s < 4; ++s)
                sum[s] += t[s];
        kernel.perProcessor = std::move(cpus);
        kernel.host = sum;
    }
    // Sets the counters and takes a first sample of both variants.
    void prime(std::vector<Ticks> cpus) {
        set(std::move(cpus));
        sampler.sample();
        sampler.sampleOverallOnly();
    }

    platform::fake::FakePlatform fake;
    FakeKernel& kernel = *fake.kernel;
    CPUSampler sampler;
};

TEST_F(CPUSamplerTest, SplitsTheIntervalPerProcessorAndOverall) {
    prime({{100, 50, 1000, 10}, {0, 0, 0, 0}, {5, 5, 5, 5}});
    // +30 user, +10 system, +50 idle, +10 nice; nothing; +25 idle.
    set({{130, 60, 1050, 20}, {0, 0, 0, 0}, {5, 5, 30, 5}});
    const auto full = sampler.sample();
    ASSERT_TRUE(full);
    EXPECT_THAT(full->perCore, ElementsAre(::testing::DoubleEq(0.5), 0.0, 0.0));
    const CPUReading overall{{}, 50.0 / 125, 40.0 / 125, 10.0 / 125, 75.0 / 125};
    EXPECT_EQ(sampler.sampleOverallOnly(), overall);
    EXPECT_EQ((CPUReading{{}, full->overall, full->user, full->system, full->idle}), overall);
}

TEST_F(CPUSamplerTest, NoElapsedTicksGiveZerosRatherThanADivisionByZero) {
    prime({{7, 7, 7, 7}, {9, 9, 9, 9}});
    EXPECT_EQ(sampler.sample(), (CPUReading{{0, 0}, 0, 0, 0, 0}));
    EXPECT_EQ(sampler.sampleOverallOnly(), (CPUReading{{}, 0, 0, 0, 0}));
    EXPECT_EQ(kernel.hostProcessorInfoCalls, 2)
        << "overall-only samples ask for no per-processor counters";
}

TEST_F(CPUSamplerTest, AChangedProcessorCountGivesNoReadingOnceThenRebases) {
    kernel.perProcessor = std::vector<Ticks>{};
    EXPECT_FALSE(sampler.sample());
    EXPECT_FALSE(sampler.sample()) << "no processors, no reading";
    set({{0, 0, 0, 0}, {0, 0, 0, 0}});
    sampler.sample();
    set({{0, 0, 10, 0}, {0, 0, 10, 0}, {500, 0, 0, 0}});
    EXPECT_FALSE(sampler.sample());
    set({{10, 0, 10, 0}, {0, 0, 20, 0}, {500, 0, 10, 0}});
    EXPECT_THAT(sampler.sample()->perCore, ElementsAre(1.0, 0.0, 0.0));
}

TEST_F(CPUSamplerTest, AFailedCallGivesNothingAndKeepsThePreviousCounters) {
    prime({{0, 0, 100, 0}});
    kernel.perProcessor.reset();
    kernel.host.reset();
    EXPECT_FALSE(sampler.sample());
    EXPECT_FALSE(sampler.sampleOverallOnly());
    set({{50, 0, 150, 0}});
    EXPECT_EQ(sampler.sample(), (CPUReading{{0.5}, 0.5, 0.5, 0, 0.5}));
    EXPECT_EQ(sampler.sampleOverallOnly(), (CPUReading{{}, 0.5, 0.5, 0, 0.5}));
}

TEST_F(CPUSamplerTest, AVariantResumingAfterAPauseCoversTheWholeTimeSince) {
    prime({{0, 0, 0, 0}});
    set({{10, 0, 90, 0}});
    sampler.sampleOverallOnly();
    set({{100, 0, 100, 0}});
    EXPECT_EQ(sampler.sample(), (CPUReading{{0.5}, 0.5, 0.5, 0, 0.5}));
}

TEST_F(CPUSamplerTest, CountersThatWrapAt32BitsReadAsTheTicksThatPassed) {
    prime({{0xFFFF'FFF0u, 0, 0xFFFF'FFFFu, 0}});
    set({{0x10, 0, 0x1F, 0}}); // +32 user, +32 idle: both cross 2^32
    EXPECT_EQ(sampler.sample(), (CPUReading{{0.5}, 0.5, 0.5, 0, 0.5}));
    EXPECT_EQ(sampler.sampleOverallOnly(), (CPUReading{{}, 0.5, 0.5, 0, 0.5}));
}

class CPUSamplerExtremes : public CPUSamplerTest,
                           public ::testing::WithParamInterface<std::pair<Ticks, Ticks>> {};

TEST_P(CPUSamplerExtremes, EveryFractionStaysWithinZeroAndOne) {
    const auto [before, after] = GetParam();
    prime({before});
    set({after});
    for (const auto& r : {sampler.sample(), sampler.sampleOverallOnly()}) {
        ASSERT_TRUE(r);
        for (const double v : r->perCore)
            EXPECT_TRUE(v >= 0 && v <= 1) << v;
        for (const double v : {r->overall, r->user, r->system, r->idle})
            EXPECT_TRUE(v >= 0 && v <= 1) << v;
    }
}

constexpr std::uint32_t kMax = 0xFFFF'FFFFu;
INSTANTIATE_TEST_SUITE_P(Table, CPUSamplerExtremes,
                         ::testing::Values(std::pair{Ticks{0, 0, 0, 0}, Ticks{kMax, kMax, 0, kMax}},
                                           std::pair{Ticks{500, 500, 500, 500},
                                                     Ticks{400, 400, 600, 400}},
                                           std::pair{Ticks{0, 0, 0, 0}, Ticks{1, 1, 0, 1}}));

TEST_F(CPUSamplerTest, TheKernelArrayIsGivenBackOnEveryPath) {
    set({{1, 2, 3, 4}, {1, 2, 3, 4}});
    sampler.sample(); // no reading yet
    sampler.sample(); // a reading
    set({{1, 2, 3, 4}});
    sampler.sample(); // count changed
    kernel.claimedProcessorCount = 1000;
    EXPECT_FALSE(sampler.sample()) << "an array shorter than its processors is not read";
    EXPECT_EQ(kernel.outstandingArrays(), 0u);
    EXPECT_EQ(kernel.badDeallocations, 0);
}

} // namespace
} // namespace quillfen
