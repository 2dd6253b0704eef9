#include "support/Json.h"

#include <gtest/gtest.h>

namespace quillfen::json {
namespace {

template <typename T> std::optional<T> decodeText(const char* text) {
    const auto j = parse(text);
    if (!j) return std::nullopt;
    return decode<T>(*j);
}

struct IntegerCase {
    const char* text;
    bool asInt64;
    bool asUInt64;
    bool asInt32;
};

void PrintTo(const IntegerCase& c, std::ostream* os) {
    *os << c.text;
}

class IntegerDecoding : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerDecoding, AcceptsOnlyWholeNumbersInRange) {
    const auto& c = GetParam();
    EXPECT_EQ(decodeText<std::int64_t>(c.text).has_value(), c.asInt64) << c.text;
    EXPECT_EQ(decodeText<std::uint64_t>(c.text).has_value(), c.asUInt64) << c.text;
    EXPECT_EQ(decodeText<std::int32_t>(c.text).has_value(), c.asInt32) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Table, IntegerDecoding,
                         ::testing::Values(IntegerCase{"3", true, true, true},
                                           IntegerCase{"3.0", true, true, true},
                                           IntegerCase{"3.5", false, false, false},
                                           IntegerCase{"-1", true, false, true},
                                           IntegerCase{"-1.0", true, false, true},
                                           IntegerCase{"2147483648", true, true, false},
                                           IntegerCase{"-2147483649", true, false, false},
                                           IntegerCase{"9223372036854775807", true, true, false},
                                           IntegerCase{"9223372036854775808", false, true, false},
                                           IntegerCase{"18446744073709551615", false, true, false},
                                           IntegerCase{"18446744073709551616", false, false, false},
                                           IntegerCase{"9223372036854775808.0", false, true, false},
                                           IntegerCase{"1e300", false, false, false},
                                           IntegerCase{"true", false, false, false},
                                           IntegerCase{"\"3\"", false, false, false},
                                           IntegerCase{"null", false, false, false}));

TEST(JsonValues, BooleansAndTextsAreNotInterchangeable) {
    EXPECT_FALSE(decodeText<bool>("1"));
    EXPECT_FALSE(decodeText<bool>("\"true\""));
    EXPECT_EQ(decodeText<bool>("false"), false);
    EXPECT_FALSE(decodeText<std::string>("12"));
    EXPECT_FALSE(decodeText<double>("\"1.5\""));
    EXPECT_EQ(decodeText<double>("7"), 7.0);
}

TEST(JsonKeys, NullOrMissingOptionalIsAbsentButWrongTypeFails) {
    const Json obj = *parse(R"({"a": null, "b": 2, "c": "x"})");
    std::optional<double> v = 9;
    EXPECT_TRUE(optional(obj, "a", v));
    EXPECT_FALSE(v);
    v = 9;
    EXPECT_TRUE(optional(obj, "missing", v));
    EXPECT_FALSE(v);
    EXPECT_TRUE(optional(obj, "b", v));
    EXPECT_EQ(v, 2.0);
    EXPECT_FALSE(optional(obj, "c", v));

    double r = 0;
    EXPECT_FALSE(required(obj, "a", r));
    EXPECT_FALSE(required(obj, "missing", r));
}

TEST(JsonDocuments, MalformedOrOversizedTextParsesToNothing) {
    EXPECT_FALSE(parse("{"));
    EXPECT_FALSE(parse(""));
    EXPECT_FALSE(parse("{} trailing"));
    std::string big = "[" + std::string(kMaxDocumentBytes, ' ') + "]";
    EXPECT_FALSE(parse(big));
    // Deep nesting is refused before anything recursive sees it; strings may hold brackets.
    EXPECT_FALSE(parse(std::string(200000, '[') + std::string(200000, ']')));
    EXPECT_FALSE(parse(std::string(65, '[') + std::string(65, ']')));
    EXPECT_TRUE(parse(std::string(64, '[') + std::string(64, ']')));
    EXPECT_TRUE(
        parse(R"({"a":"[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[\"["})"));
}

TEST(JsonDocuments, InvalidUtf8InTextIsReplacedNotFatal) {
    Json j = Json::object();
    j["name"] = std::string("fan\xff");
    const auto text = dump(j);
    ASSERT_TRUE(text);
    EXPECT_TRUE(parse(*text));
}

} // namespace
} // namespace quillfen::json
