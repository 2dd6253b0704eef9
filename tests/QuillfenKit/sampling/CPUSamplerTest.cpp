#include "sampling/CPUSampler.h"

#include "platform/fake/FakePlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using platform::fake::FakeKernel;
using platform::fake::FakePlatform;
using ::testing::DoubleEq;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Ticks = FakeKernel::Ticks; // user, system, idle, nice

class CPUSamplerTest : public ::testing::Test {
protected:
    FakePlatform fake;
    FakeKernel& kernel = *fake.kernel;
    CPUSampler sampler;
};

TEST_F(CPUSamplerTest, EachVariantNeedsAPreviousCallOfItsOwn) {
    kernel.perProcessor = {{Ticks{10, 10, 80, 0}}};
    kernel.host = Ticks{10, 10, 80, 0};
    EXPECT_FALSE(sampler.sample());
    EXPECT_FALSE(sampler.sampleOverallOnly()) << "the full sample does not prime the other";
    EXPECT_TRUE(sampler.sample());
    EXPECT_TRUE(sampler.sampleOverallOnly());
}

TEST_F(CPUSamplerTest, FullSampleSplitsTheIntervalPerProcessorAndOverall) {
    kernel.perProcessor = {{Ticks{100, 50, 1000, 10}, Ticks{0, 0, 0, 0}, Ticks{5, 5, 5, 5}}};
    sampler.sample();
    // +30 user, +10 system, +50 idle, +10 nice; +0 everywhere; +25 idle.
    kernel.perProcessor = {{Ticks{130, 60, 1050, 20}, Ticks{0, 0, 0, 0}, Ticks{5, 5, 30, 5}}};
    const auto r = sampler.sample();
    ASSERT_TRUE(r);
    EXPECT_THAT(r->perCore, ElementsAre(DoubleEq(0.5), 0.0, 0.0));
    EXPECT_DOUBLE_EQ(r->user, 40.0 / 125);
    EXPECT_DOUBLE_EQ(r->system, 10.0 / 125);
    EXPECT_DOUBLE_EQ(r->idle, 75.0 / 125);
    EXPECT_DOUBLE_EQ(r->overall, 50.0 / 125);
}

TEST_F(CPUSamplerTest, NoElapsedTicksGiveZerosRatherThanADivisionByZero) {
    kernel.perProcessor = {{Ticks{7, 7, 7, 7}, Ticks{9, 9, 9, 9}}};
    kernel.host = Ticks{16, 16, 16, 16};
    sampler.sample();
    sampler.sampleOverallOnly();
    EXPECT_EQ(sampler.sample(), (CPUReading{{0, 0}, 0, 0, 0, 0}));
    EXPECT_EQ(sampler.sampleOverallOnly(), (CPUReading{{}, 0, 0, 0, 0}));
}

TEST_F(CPUSamplerTest, OverallOnlyReadsTheHostCountersAndLeavesPerCoreEmpty) {
    kernel.host = Ticks{1000, 500, 8000, 100};
    sampler.sampleOverallOnly();
    kernel.host = Ticks{1060, 520, 8100, 120};
    const auto r = sampler.sampleOverallOnly();
    ASSERT_TRUE(r);
    EXPECT_THAT(r->perCore, IsEmpty());
    EXPECT_DOUBLE_EQ(r->user, 0.4);
    EXPECT_DOUBLE_EQ(r->system, 0.1);
    EXPECT_DOUBLE_EQ(r->idle, 0.5);
    EXPECT_DOUBLE_EQ(r->overall, 0.5);
    EXPECT_EQ(kernel.hostProcessorInfoCalls, 0) << "menu-bar ticks make only the host call";
}

TEST_F(CPUSamplerTest, AChangedProcessorCountGivesNoReadingOnceThenRebases) {
    kernel.perProcessor = {{Ticks{0, 0, 0, 0}, Ticks{0, 0, 0, 0}}};
    sampler.sample();
    kernel.perProcessor = {{Ticks{0, 0, 10, 0}, Ticks{0, 0, 10, 0}, Ticks{500, 0, 0, 0}}};
    EXPECT_FALSE(sampler.sample());
    kernel.perProcessor = {{Ticks{10, 0, 10, 0}, Ticks{0, 0, 20, 0}, Ticks{500, 0, 10, 0}}};
    const auto r = sampler.sample();
    ASSERT_TRUE(r);
    EXPECT_THAT(r->perCore, ElementsAre(1.0, 0.0, 0.0));
}

TEST_F(CPUSamplerTest, ZeroProcessorsNeverGiveAReading) {
    kernel.perProcessor = std::vector<Ticks>{};
    EXPECT_FALSE(sampler.sample());
    EXPECT_FALSE(sampler.sample());
}

TEST_F(CPUSamplerTest, AFailedCallGivesNothingAndKeepsThePreviousCounters) {
    kernel.perProcessor = {{Ticks{0, 0, 100, 0}}};
    kernel.host = Ticks{0, 0, 100, 0};
    sampler.sample();
    sampler.sampleOverallOnly();
    kernel.perProcessor.reset();
    kernel.host.reset();
    EXPECT_FALSE(sampler.sample());
    EXPECT_FALSE(sampler.sampleOverallOnly());
    kernel.perProcessor = {{Ticks{50, 0, 150, 0}}};
    kernel.host = Ticks{50, 0, 150, 0};
    EXPECT_EQ(sampler.sample(), (CPUReading{{0.5}, 0.5, 0.5, 0, 0.5}));
    EXPECT_EQ(sampler.sampleOverallOnly(), (CPUReading{{}, 0.5, 0.5, 0, 0.5}));
}

TEST_F(CPUSamplerTest, AVariantResumingAfterAPauseCoversTheWholeTimeSince) {
    kernel.perProcessor = {{Ticks{0, 0, 0, 0}}};
    kernel.host = Ticks{0, 0, 0, 0};
    sampler.sample();
    sampler.sampleOverallOnly();
    kernel.host = Ticks{10, 0, 90, 0};
    sampler.sampleOverallOnly();
    kernel.perProcessor = {{Ticks{100, 0, 100, 0}}};
    EXPECT_EQ(sampler.sample(), (CPUReading{{0.5}, 0.5, 0.5, 0, 0.5}));
}

TEST_F(CPUSamplerTest, CountersThatWrapAt32BitsReadAsTheTicksThatPassed) {
    kernel.perProcessor = {{Ticks{0xFFFF'FFF0u, 0, 0xFFFF'FFFFu, 0}}};
    kernel.host = Ticks{0xFFFF'FFF0u, 0, 0xFFFF'FFFFu, 0};
    sampler.sample();
    sampler.sampleOverallOnly();
    // +32 user, +32 idle: both cross 2^32.
    kernel.perProcessor = {{Ticks{0x10, 0, 0x1F, 0}}};
    kernel.host = Ticks{0x10, 0, 0x1F, 0};
    EXPECT_EQ(sampler.sample(), (CPUReading{{0.5}, 0.5, 0.5, 0, 0.5}));
    EXPECT_EQ(sampler.sampleOverallOnly(), (CPUReading{{}, 0.5, 0.5, 0, 0.5}));
}

struct ExtremeCase {
    const char* name;
    Ticks before;
    Ticks after;
};

void PrintTo(const ExtremeCase& c, std::ostream* os) {
    *os << c.name;
}

class CPUSamplerExtremes : public CPUSamplerTest,
                           public ::testing::WithParamInterface<ExtremeCase> {};

TEST_P(CPUSamplerExtremes, EveryFractionStaysWithinZeroAndOne) {
    kernel.perProcessor = {{GetParam().before, GetParam().before}};
    kernel.host = GetParam().before;
    sampler.sample();
    sampler.sampleOverallOnly();
    kernel.perProcessor = {{GetParam().after, GetParam().before}};
    kernel.host = GetParam().after;
    for (const auto& r : {sampler.sample(), sampler.sampleOverallOnly()}) {
        ASSERT_TRUE(r);
        for (const double v : r->perCore)
            EXPECT_THAT(v, ::testing::AllOf(::testing::Ge(0.0), ::testing::Le(1.0)));
        for (const double v : {r->overall, r->user, r->system, r->idle})
            EXPECT_THAT(v, ::testing::AllOf(::testing::Ge(0.0), ::testing::Le(1.0)));
        EXPECT_LE(r->overall, 1.0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CPUSamplerExtremes,
    ::testing::Values(ExtremeCase{"AllBusy", Ticks{0, 0, 0, 0},
                                  Ticks{0xFFFF'FFFFu, 0xFFFF'FFFFu, 0, 0xFFFF'FFFFu}},
                      ExtremeCase{"StepsBackwards", Ticks{500, 500, 500, 500},
                                  Ticks{400, 400, 600, 400}},
                      ExtremeCase{"MaximumCounters", Ticks{0, 0, 0, 0},
                                  Ticks{0xFFFF'FFFFu, 0xFFFF'FFFFu, 0xFFFF'FFFFu, 0xFFFF'FFFFu}},
                      ExtremeCase{"OneThirdEach", Ticks{0, 0, 0, 0}, Ticks{1, 1, 0, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CPUSamplerTest, TheKernelArrayIsGivenBackOnEveryPath) {
    kernel.perProcessor = {{Ticks{1, 2, 3, 4}, Ticks{1, 2, 3, 4}}};
    sampler.sample(); // first call: no reading
    sampler.sample(); // reading
    kernel.perProcessor = {{Ticks{1, 2, 3, 4}}};
    sampler.sample(); // count changed
    kernel.perProcessor = std::vector<Ticks>{};
    sampler.sample(); // no processors
    EXPECT_EQ(kernel.outstandingArrays(), 0u);
    EXPECT_EQ(kernel.badDeallocations, 0);
}

TEST_F(CPUSamplerTest, AnArrayShorterThanItsProcessorCountIsRefusedAndStillGivenBack) {
    kernel.perProcessor = {{Ticks{1, 2, 3, 4}}};
    kernel.claimedProcessorCount = 1000;
    EXPECT_FALSE(sampler.sample());
    EXPECT_FALSE(sampler.sample());
    EXPECT_EQ(kernel.outstandingArrays(), 0u);
    EXPECT_EQ(kernel.badDeallocations, 0);
}

} // namespace
} // namespace quillfen
