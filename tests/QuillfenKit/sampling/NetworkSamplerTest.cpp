#include "sampling/NetworkSampler.h"

#include "PCBListBytes.h"
#include "Table.h"
#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using List = testing::PCBListBytes;

struct WalkCase : testing::Row {
    List list;
    PCBTraffic expected;
};

class PCBListWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(PCBListWalk, SumsOnlyWhatLiesWithinTheReportedLength) {
    EXPECT_EQ(GetParam().list.walk(), GetParam().expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, PCBListWalk, ::testing::Values(
    WalkCase{"FourClasses", List().stats(4, 10, 20).end(), {40, 80}},
    WalkCase{"RecordCoversTwoClasses", List().stats(2, 10, 20).end(), {20, 40}},
    WalkCase{"OtherKindsSkipped", List().other(1, 48).stats(1, 5, 6).other(16, 16).end(), {5, 6}},
    WalkCase{"ZeroLengthMovesOnByFour", List().u32(0).stats(1, 7, 8).end(), {7, 8}},
    WalkCase{"RecordPastTheEndStopsTheWalk", List().stats(1, 3, 4).u32(4096).u32(8).zeros(16), {3, 4}},
    WalkCase{"HugeLengthCannotWrap", List().stats(1, 3, 4).u32(0xffffffff).u32(8).zeros(32), {3, 4}},
    WalkCase{"HalfABlockDoesNotCount",
             List().u32(8 + 32 + 16).u32(8).u64(1).u64(9).u64(1).u64(9).zeros(16).end(), {9, 9}},
    WalkCase{"ShorterThan32", List().u32(8), {0, 0}},
    WalkCase{"SumsWrap", List().stats(1, UINT64_MAX, 1).stats(1, 2, UINT64_MAX).end(), {1, 0}}),
    ::testing::PrintToStringParamName());
// clang-format on

class NetworkSamplerTest : public ::testing::Test {
protected:
    void lists(std::uint64_t tcpRx, std::uint64_t tcpTx, std::uint64_t udpRx, std::uint64_t udpTx) {
        fake.kernel->sysctls["net.inet.tcp.pcblist_n"] = List().stats(1, tcpRx, tcpTx).end().bytes;
        fake.kernel->sysctls["net.inet.udp.pcblist_n"] = List().stats(1, udpRx, udpTx).end().bytes;
    }

    platform::fake::FakePlatform fake;
    NetworkSampler sampler;
};

TEST_F(NetworkSamplerTest, RatesCoverTheTimeSinceThePreviousCall) {
    lists(1000, 500, 100, 50);
    EXPECT_FALSE(sampler.sample());
    lists(4000, 1500, 100, 250);
    fake.clock->advance(2);
    EXPECT_EQ(sampler.sample(), (NetworkReading{1500, 600}));
}

TEST_F(NetworkSamplerTest, AFallingSumGivesZeroForThatDirectionOnly) {
    lists(10'000, 1000, 0, 0);
    sampler.sample();
    lists(4000, 3000, 0, 0); // sockets closed: fewer bytes received than before
    fake.clock->advance(1);
    EXPECT_EQ(sampler.sample(), (NetworkReading{0, 2000}));
    lists(5000, 3000, 0, 0); // and measured from the lower sum next time
    fake.clock->advance(1);
    EXPECT_EQ(sampler.sample(), (NetworkReading{1000, 0}));
}

TEST_F(NetworkSamplerTest, AClockThatDidNotAdvanceGivesNothingButKeepsTheNewTotals) {
    lists(1000, 1000, 0, 0);
    sampler.sample();
    lists(2000, 2000, 0, 0);
    EXPECT_FALSE(sampler.sample());
    fake.clock->advance(1);
    EXPECT_EQ(sampler.sample(), (NetworkReading{0, 0}));
}

TEST_F(NetworkSamplerTest, OneProtocolFailingLeavesTheOtherAndBothFailingGivesNothing) {
    lists(0, 0, 100, 100);
    fake.kernel->sysctls.erase("net.inet.tcp.pcblist_n");
    sampler.sample();
    fake.kernel->sysctls["net.inet.udp.pcblist_n"] = List().stats(1, 300, 200).end().bytes;
    fake.clock->advance(1);
    EXPECT_EQ(sampler.sample(), (NetworkReading{200, 100}));

    fake.kernel->sysctls.clear();
    fake.clock->advance(1);
    EXPECT_FALSE(sampler.sample());
    lists(0, 0, 500, 500); // the failure kept the previous totals: measured over both seconds
    fake.clock->advance(1);
    EXPECT_EQ(sampler.sample(), (NetworkReading{100, 150}));
}

TEST_F(NetworkSamplerTest, BuffersGrowWithHeadroomAndAreReused) {
    lists(1, 1, 1, 1);
    sampler.sample();
    const std::size_t listSize = fake.kernel->sysctls["net.inet.tcp.pcblist_n"].size();
    EXPECT_EQ(sampler.tcpBuffer().size(), listSize + listSize / 4);
    const auto* before = sampler.tcpBuffer().data();
    lists(2, 2, 2, 2);
    fake.clock->advance(1);
    sampler.sample();
    EXPECT_EQ(sampler.tcpBuffer().data(), before);
    EXPECT_EQ(sampler.tcpBuffer().size(), listSize + listSize / 4);
}

} // namespace
} // namespace quillfen
