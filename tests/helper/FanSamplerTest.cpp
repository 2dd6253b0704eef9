#include "FanSampler.h"

#include "Table.h"
#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

#include <limits>

namespace quillfen {
namespace {

class FanSamplerTest : public ::testing::Test {
protected:
    void fans(std::uint8_t count) { fake.smc->setUInt8("FNum", count); }
    void flt(const char* key, float v) { fake.smc->setFloat(key, v); }

    platform::fake::FakePlatform fake;
};

TEST_F(FanSamplerTest, GivesTheFastestAndEachSpeedAndStoppedFansStillGiveAReading) {
    fans(2);
    flt("F0Ac", 850);
    flt("F1Ac", 790);
    EXPECT_EQ(FanSampler().sample(), (FanReading{850, 2, std::vector<double>{850, 790}}));
    flt("F0Ac", 0);
    flt("F1Ac", 0);
    EXPECT_EQ(FanSampler().sample(), (FanReading{0, 2, std::vector<double>{0, 0}}));
}

TEST_F(FanSamplerTest, UnreadableOrNonNumericSpeedsCountAsZero) {
    fans(3);
    flt("F0Ac", 1200);
    flt("F2Ac", std::numeric_limits<float>::quiet_NaN());
    const auto r = FanSampler().sample();
    EXPECT_EQ(r, (FanReading{1200, 3, std::vector<double>{1200, 0, 0}}));
    EXPECT_TRUE(r && json::encode(*r)) << "one bad key must not stop the payload";
}

TEST_F(FanSamplerTest, FixedPointSpeedsAreReadAfterTheFloatAttempt) {
    fans(1);
    fake.smc->set("F0Ac", "fpe2", {0x1F, 0x40});
    FanSampler sampler;
    EXPECT_EQ(sampler.sample()->rpm, 2000);
    // Read once as a float, which it is not, then once more as fixed point.
    EXPECT_EQ(fake.smc->valueReads["F0Ac"], 2);
    fake.smc->set("F0Ac", "fpe2", {0x1F});
    EXPECT_EQ(sampler.sample()->rpm, 0);
    fake.smc->set("F0Ac", "flt ", {0, 0, 0x7a});
    EXPECT_EQ(sampler.sample()->rpm, 0);
}

struct RangeCase : testing::Row {
    std::vector<std::pair<const char*, float>> limits;
    std::optional<RPMRange> range;
};

class FanRange : public FanSamplerTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(FanRange, IsTheWidestSpanOfAllFansAndWorkedOutOnce) {
    fans(2);
    flt("F0Ac", 1000);
    flt("F1Ac", 900);
    for (const auto& [key, v] : GetParam().limits)
        flt(key, v);
    FanSampler sampler;
    const auto r = sampler.sample();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->range(), GetParam().range);
    EXPECT_EQ(r->minRPM.has_value(), GetParam().range.has_value());
    EXPECT_EQ(r->maxRPM.has_value(), GetParam().range.has_value());
    const int reads = fake.smc->exchanges;
    flt("F0Mn", 1); // limits never change, so they are not read again
    sampler.sample();
    EXPECT_EQ(sampler.sample()->range(), GetParam().range);
    EXPECT_EQ(fake.smc->exchanges - reads, 2 * 2 * 2); // two speeds, twice, two exchanges each
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, FanRange, ::testing::Values(
    RangeCase{"Widest", {{"F0Mn", 300}, {"F1Mn", 200}, {"F0Mx", 900}, {"F1Mx", 950}}, RPMRange{200, 950}},
    RangeCase{"OneFanWithoutLimits", {{"F1Mn", 400}, {"F1Mx", 800}}, RPMRange{400, 800}},
    RangeCase{"OnlyMinimums", {{"F0Mn", 300}, {"F1Mn", 200}}, std::nullopt},
    RangeCase{"MinEqualsMax", {{"F0Mn", 500}, {"F0Mx", 500}}, std::nullopt},
    RangeCase{"NonNumericLimitSkipped",
              {{"F0Mn", std::numeric_limits<float>::infinity()}, {"F1Mn", 250}, {"F0Mx", 700}},
              RPMRange{250, 700}}),
    ::testing::PrintToStringParamName());
// clang-format on

TEST_F(FanSamplerTest, ZeroFansOrNoControllerIsAbsentAndTheCountIsReadOnce) {
    fans(0);
    FanSampler sampler;
    EXPECT_FALSE(sampler.sample());
    fans(2);
    EXPECT_FALSE(sampler.sample());
    EXPECT_EQ(fake.smc->infoRequests["FNum"], 1);
    fake.smc->present = false;
    EXPECT_FALSE(FanSampler().sample()) << "no controller";
}

TEST_F(FanSamplerTest, AnUnreadableCountIsTriedAgainOnEveryCall) {
    FanSampler sampler;
    EXPECT_FALSE(sampler.sample());
    EXPECT_FALSE(sampler.sample());
    EXPECT_EQ(fake.smc->infoRequests["FNum"], 2);
    fans(1);
    flt("F0Ac", 640);
    EXPECT_EQ(sampler.sample()->rpm, 640);
}

} // namespace
} // namespace quillfen
