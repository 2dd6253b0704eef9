#include "FanSampler.h"

#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

#include <limits>

namespace quillfen {
namespace {

using platform::fake::FakePlatform;

class FanSamplerTest : public ::testing::Test {
protected:
    void fans(std::uint8_t count) { fake.smc->setUInt8("FNum", count); }
    void flt(const char* key, float v) { fake.smc->setFloat(key, v); }

    FakePlatform fake;
};

TEST_F(FanSamplerTest, TwoSpinningFansGiveTheFastestAndEachSpeed) {
    fans(2);
    flt("F0Ac", 850);
    flt("F1Ac", 790);
    FanSampler sampler;
    const auto r = sampler.sample();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->rpm, 850);
    EXPECT_EQ(r->fanCount, 2);
    EXPECT_EQ(r->rpms, (std::vector<double>{850, 790}));
}

TEST_F(FanSamplerTest, UnreadableOrNonNumericSpeedsCountAsZero) {
    fans(3);
    flt("F0Ac", 1200);
    flt("F2Ac", std::numeric_limits<float>::quiet_NaN());
    FanSampler sampler;
    const auto r = sampler.sample();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->rpms, (std::vector<double>{1200, 0, 0}));
    EXPECT_EQ(r->rpm, 1200);
    EXPECT_TRUE(json::encode(*r));
}

TEST_F(FanSamplerTest, StoppedFansStillGiveAReading) {
    fans(2);
    flt("F0Ac", 0);
    flt("F1Ac", 0);
    FanSampler sampler;
    const auto r = sampler.sample();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->rpm, 0);
    EXPECT_EQ(r->shortDescription(), "Off");
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

struct RangeCase {
    const char* name;
    std::vector<std::pair<const char*, float>> limits;
    std::optional<RPMRange> range;
};

void PrintTo(const RangeCase& c, std::ostream* os) {
    *os << c.name;
}

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

INSTANTIATE_TEST_SUITE_P(
    Table, FanRange,
    ::testing::Values(
        RangeCase{"Widest",
                  {{"F0Mn", 300}, {"F1Mn", 200}, {"F0Mx", 900}, {"F1Mx", 950}},
                  RPMRange{200, 950}},
        RangeCase{"OneFanWithoutLimits", {{"F1Mn", 400}, {"F1Mx", 800}}, RPMRange{400, 800}},
        RangeCase{"OnlyMinimums", {{"F0Mn", 300}, {"F1Mn", 200}}, std::nullopt},
        RangeCase{"MinEqualsMax", {{"F0Mn", 500}, {"F0Mx", 500}}, std::nullopt},
        RangeCase{"NonNumericLimitSkipped",
                  {{"F0Mn", std::numeric_limits<float>::infinity()}, {"F1Mn", 250}, {"F0Mx", 700}},
                  RPMRange{250, 700}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FanSamplerTest, ZeroFansIsAbsentForeverAndTheCountIsReadOnce) {
    fans(0);
    FanSampler sampler;
    EXPECT_FALSE(sampler.sample());
    fans(2);
    EXPECT_FALSE(sampler.sample());
    EXPECT_EQ(fake.smc->infoRequests["FNum"], 1);
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

TEST_F(FanSamplerTest, NoControllerNoReading) {
    fake.smc->present = false;
    fans(1);
    FanSampler sampler;
    EXPECT_FALSE(sampler.sample());
}

} // namespace
} // namespace quillfen
