#include "sampling/CPUReading.h"
#include "sampling/GPUReading.h"
#include "sampling/MemoryReading.h"

#include <gtest/gtest.h>

#include <limits>

namespace quillfen {
namespace {

template <typename T> std::optional<T> decodeText(const std::string& text) {
    return json::decode<T>(std::string_view(text));
}

TEST(SamplingRecordEncoding, KeysAreTheFieldNamesInOrderAndAbsentOptionalsAreLeftOut) {
    EXPECT_EQ(json::encode(CPUReading{{0.25, 1}, 0.5, 0.25, 0.25, 0.5}),
              R"({"perCore":[0.25,1.0],"overall":0.5,"user":0.25,"system":0.25,"idle":0.5})");
    EXPECT_EQ(json::encode(MemoryReading{17179869184, 1, 2, 3, 18446744073709551615u}),
              R"({"total":17179869184,"app":1,"wired":2,"compressed":3,)"
              R"("available":18446744073709551615})");
    EXPECT_EQ(json::encode(GPUReading{0.5, 0.25, 0}),
              R"({"utilization":0.5,"rendererUtilization":0.25,"tilerUtilization":0.0})");
    EXPECT_EQ(json::encode(GPUReading{1, 1, 1, 10, "Apple M1"}),
              R"({"utilization":1.0,"rendererUtilization":1.0,"tilerUtilization":1.0,)"
              R"("coreCount":10,"model":"Apple M1"})");
    EXPECT_FALSE(json::encode(CPUReading{{std::numeric_limits<double>::quiet_NaN()}}));
}

TEST(SamplingRecordRoundTrip, EveryFieldSurvives) {
    const CPUReading cpu{{0.1, 0.9, 0}, 0.4, 0.3, 0.1, 0.6};
    EXPECT_EQ(decodeText<CPUReading>(*json::encode(cpu)), cpu);
    const MemoryReading memory{1ull << 40, 5, 6, 7, 8};
    EXPECT_EQ(decodeText<MemoryReading>(*json::encode(memory)), memory);
    const GPUReading gpu{1.5, 0.2, 0.1, 72, "AMD Radeon RX 6800 XT"};
    EXPECT_EQ(decodeText<GPUReading>(*json::encode(gpu)), gpu);
}

struct DecodeCase {
    const char* name;
    bool (*decodes)(const std::string&);
    const char* json;
    bool expected;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.name;
}

template <typename T> bool decodes(const std::string& text) {
    return decodeText<T>(text).has_value();
}

class SamplingRecordDecoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(SamplingRecordDecoding, IsStrict) {
    EXPECT_EQ(GetParam().decodes(GetParam().json), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SamplingRecordDecoding,
    ::testing::Values(
        DecodeCase{"CPUComplete", decodes<CPUReading>,
                   R"({"perCore":[],"overall":0,"user":0,"system":0,"idle":1})", true},
        DecodeCase{"CPUWithoutPerCore", decodes<CPUReading>,
                   R"({"overall":0,"user":0,"system":0,"idle":1})", false},
        DecodeCase{"CPUPerCoreWithText", decodes<CPUReading>,
                   R"({"perCore":["1"],"overall":0,"user":0,"system":0,"idle":1})", false},
        DecodeCase{"CPUIdleNull", decodes<CPUReading>,
                   R"({"perCore":[],"overall":0,"user":0,"system":0,"idle":null})", false},
        DecodeCase{"MemoryComplete", decodes<MemoryReading>,
                   R"({"total":1,"app":0,"wired":0,"compressed":0,"available":0})", true},
        DecodeCase{"MemoryWithoutAvailable", decodes<MemoryReading>,
                   R"({"total":1,"app":0,"wired":0,"compressed":0})", false},
        DecodeCase{"MemoryNegative", decodes<MemoryReading>,
                   R"({"total":1,"app":-1,"wired":0,"compressed":0,"available":0})", false},
        DecodeCase{"MemoryFractional", decodes<MemoryReading>,
                   R"({"total":1.5,"app":0,"wired":0,"compressed":0,"available":0})", false},
        DecodeCase{"GPUWithoutOptionals", decodes<GPUReading>,
                   R"({"utilization":0,"rendererUtilization":0,"tilerUtilization":0})", true},
        DecodeCase{"GPUNullModel", decodes<GPUReading>,
                   R"({"utilization":0,"rendererUtilization":0,"tilerUtilization":0,"model":null})",
                   true},
        DecodeCase{"GPUWithoutTiler", decodes<GPUReading>,
                   R"({"utilization":0,"rendererUtilization":0})", false},
        DecodeCase{"GPUCoreCountFractional", decodes<GPUReading>,
                   R"({"utilization":0,"rendererUtilization":0,"tilerUtilization":0,)"
                   R"("coreCount":7.5})",
                   false},
        DecodeCase{"GPUModelNumber", decodes<GPUReading>,
                   R"({"utilization":0,"rendererUtilization":0,"tilerUtilization":0,"model":1})",
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quillfen
