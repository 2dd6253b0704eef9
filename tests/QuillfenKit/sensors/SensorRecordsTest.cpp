#include "sensors/SensorControl.h"
#include "sensors/SensorsPayload.h"

#include "Table.h"

#include <gtest/gtest.h>

#include <limits>

namespace quillfen {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

template <typename T> std::optional<T> decodeText(const std::string& text) {
    return json::decode<T>(std::string_view(text));
}

template <typename T> std::string encodeText(const T& value) {
    return json::encode(value).value_or("<refused>");
}

// --- Encoding ------------------------------------------------------------------------------

TEST(SensorRecordEncoding, WritesOnlyPresentKeysInDeclarationOrder) {
    EXPECT_EQ(encodeText(SensorControl{true, std::nullopt}), R"({"autostart":true})");
    EXPECT_EQ(encodeText(SensorControl{false, 12.5}),
              R"({"autostart":false,"stopRequestedAt":12.5})");
    EXPECT_EQ(encodeText(SensorsPayload{std::nullopt, std::nullopt, 100.5, "1.0"}),
              R"({"sampledAt":100.5,"helperVersion":"1.0"})");
    EXPECT_EQ(encodeText(SensorsPayload{ThermalReading{}, std::nullopt, 1, std::nullopt}),
              R"({"thermal":{},"sampledAt":1.0})");
    EXPECT_EQ(encodeText(ThermalReading{std::nullopt, 40.5, std::nullopt, 30, std::nullopt}),
              R"({"gpuTemperatureC":40.5,"batteryTemperatureC":30.0})");
}

TEST(SensorRecordEncoding, ANonFiniteNumberAnywhereRefusesThePayload) {
    SensorsPayload p{ThermalReading{kNaN}, std::nullopt, 1, "1.0"};
    EXPECT_FALSE(json::encode(p));
    p.thermal.reset();
    p.fan = FanReading{1, 1, std::vector<double>{kInf}};
    EXPECT_FALSE(json::encode(p));
    p.fan.reset();
    p.sampledAt = kNaN;
    EXPECT_FALSE(json::encode(p));
}

// --- Strict decoding -----------------------------------------------------------------------

struct DecodeCase : testing::Row {
    const char* json;
    bool decodes;
};

class PayloadDecoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(PayloadDecoding, AcceptsOnlyWellFormedPayloads) {
    EXPECT_EQ(decodeText<SensorsPayload>(GetParam().json).has_value(), GetParam().decodes);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, PayloadDecoding, ::testing::Values(
    DecodeCase{"OnlySampledAt", R"({"sampledAt":100})", true},
    DecodeCase{"UnknownKeysIgnored", R"({"sampledAt":1,"extra":[1,2],"future":{}})", true},
    DecodeCase{"NullOptionals",
               R"({"sampledAt":1,"thermal":null,"fan":null,"helperVersion":null})", true},
    DecodeCase{"EmptyThermal", R"({"sampledAt":1,"thermal":{}})", true},
    DecodeCase{"MissingSampledAt", R"({"helperVersion":"1.0"})", false},
    DecodeCase{"SampledAtAsText", R"({"sampledAt":"100"})", false},
    DecodeCase{"SampledAtNull", R"({"sampledAt":null})", false},
    DecodeCase{"FanWithoutFanCount", R"({"sampledAt":1,"fan":{"rpm":800}})", false},
    DecodeCase{"FanCountFractional", R"({"sampledAt":1,"fan":{"rpm":800,"fanCount":1.5}})", false},
    DecodeCase{"FanCountWholeFloat", R"({"sampledAt":1,"fan":{"rpm":800,"fanCount":2.0}})", true},
    DecodeCase{"RpmsWithText", R"({"sampledAt":1,"fan":{"rpm":1,"fanCount":1,"rpms":["1"]}})", false},
    DecodeCase{"ThermalNotObject", R"({"sampledAt":1,"thermal":[]})", false},
    DecodeCase{"TemperatureAsText", R"({"sampledAt":1,"thermal":{"cpuTemperatureC":"50"}})", false},
    DecodeCase{"VersionAsNumber", R"({"sampledAt":1,"helperVersion":1.0})", false},
    DecodeCase{"TopLevelArray", R"([{"sampledAt":1}])", false},
    DecodeCase{"Truncated", R"({"sampledAt":1)", false}),
    ::testing::PrintToStringParamName());
// clang-format on

TEST(SensorControlDecoding, RequiresABooleanAutostart) {
    for (const char* bad : {"{}", R"({"autostart":1})", R"({"autostart":"true"})",
                            R"({"autostart":true,"stopRequestedAt":"now"})"})
        EXPECT_FALSE(decodeText<SensorControl>(bad)) << bad;
    EXPECT_EQ(decodeText<SensorControl>(R"({"autostart":false,"stopRequestedAt":null})"),
              (SensorControl{false, std::nullopt}));
}

// --- Derived values of a fan reading -------------------------------------------------------

TEST(FanReadingDerived, PerFanSpeedsFallBackToTheFastest) {
    EXPECT_EQ((FanReading{850, 2, std::vector<double>{850, 790}}.perFanRPMs()),
              (std::vector<double>{850, 790}));
    EXPECT_EQ((FanReading{0, 1, std::nullopt}.perFanRPMs()), std::vector<double>{0});
    EXPECT_EQ((FanReading{0, 1, std::vector<double>{}}.perFanRPMs()), std::vector<double>{0});
}

TEST(FanReadingDerived, RangeNeedsBothEndsAndMinBelowMax) {
    EXPECT_EQ((FanReading{0, 1, std::nullopt, 200, 950}.range()), (RPMRange{200, 950}));
    EXPECT_FALSE((FanReading{0, 1, std::nullopt, 500, 500}.range()));
    EXPECT_FALSE((FanReading{0, 1, std::nullopt, 900, 500}.range()));
    EXPECT_FALSE((FanReading{0, 1, std::nullopt, 200, std::nullopt}.range()));
    EXPECT_FALSE((FanReading{0, 1, std::nullopt, std::nullopt, 950}.range()));
}

struct DescriptionCase {
    double rpm;
    const char* text;
    bool spinning;
};

void PrintTo(const DescriptionCase& c, std::ostream* os) {
    *os << c.rpm;
}

class FanDescription : public ::testing::TestWithParam<DescriptionCase> {};

TEST_P(FanDescription, RoundsHalvesAwayFromZeroAndNeverFails) {
    const FanReading r{GetParam().rpm, 1};
    EXPECT_EQ(r.shortDescription(), GetParam().text);
    EXPECT_EQ(r.isSpinning(), GetParam().spinning);
}

TEST(FanReadingDerived, HugeSpeedsPrintWithoutOverflow) {
    const auto text = FanReading{1e300, 1}.shortDescription();
    EXPECT_EQ(text.size(), 301u + 4u);
    EXPECT_TRUE(text.ends_with(" rpm"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, FanDescription,
    ::testing::Values(DescriptionCase{950.5, "951 rpm", true},
                      DescriptionCase{950.49, "950 rpm", true}, DescriptionCase{0.4, "0 rpm", true},
                      DescriptionCase{1200, "1200 rpm", true}, DescriptionCase{0, "Off", false},
                      DescriptionCase{-5, "Off", false},
                      DescriptionCase{1e15, "1000000000000000 rpm", true},
                      DescriptionCase{kNaN, "—", false}, DescriptionCase{kInf, "—", true},
                      DescriptionCase{-kInf, "Off", false}));

} // namespace
} // namespace quillfen
