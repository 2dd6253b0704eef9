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
    EXPECT_FALSE(parse(std::string("6\0:", 3))); // nothing after a NUL goes unread
    std::string big = "[" + std::string(kMaxDocumentBytes, ' ') + "]";
    EXPECT_FALSE(parse(big));
    // Deep nesting is refused before anything recursive sees it; strings may hold brackets.
    EXPECT_FALSE(parse(std::string(200000, '[') + std::string(200000, ']')));
    EXPECT_FALSE(parse(std::string(65, '[') + std::string(65, ']')));
    EXPECT_TRUE(parse(std::string(64, '[') + std::string(64, ']')));
    EXPECT_TRUE(
        parse(R"({"a":"[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[\"["})"));
}

// The reader against the general-purpose parser: the same tree (types included) for every
// document both accept, and a refusal wherever that parser refuses.
class Reading : public ::testing::TestWithParam<std::string> {};

TEST_P(Reading, AgreesWithTheGeneralParser) {
    const auto ours = parse(GetParam());
    const auto theirs = Json::parse(GetParam(), nullptr, false);
    ASSERT_EQ(ours.has_value(), !theirs.is_discarded());
    if (ours) {
        EXPECT_EQ(dump(*ours), dump(theirs));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Reading,
    ::testing::Values(
        R"({"a":[1,-2,3.5,1e2,-0,0.0,true,false,null,"x",{}],"b":{"c":[]}})",
        R"("\u00e9\ud83d\ude00\n\t\"\\\/\b\f\r\u0000")", "\"\xc3\xa9\xf0\x9f\x98\x80\x7f\"",
        "\xef\xbb\xbf{}", " \t\r\n[ ] ", "18446744073709551616", "-9223372036854775809",
        "-9223372036854775808", "1e-400", "-1e-400", "123456789012345678901234567890e-300",
        "0.0000000000000000000000000000000000001e-300", "1E+2", "5e-324", "1.7976931348623157e308",
        // refused by both
        "1e400", "-1e400", "1000000000000000000000000e300", "01", "1.", ".5", "+1", "-", "1e",
        "1e+", "--1", "0x10", "NaN", "Infinity", "tru", "nul", "\"abc", "\"\x01\"", R"("\ud800")",
        R"("\udc00")", R"("\ud800\u0041")", R"("\uZZZZ")", R"("\u12")", R"("\q")", "\"\xff\"",
        "\"\xc0\x80\"", "\"\xed\xa0\x80\"", "\"\xf4\x90\x80\x80\"", "\"\xe2\x82\"", "[1,]",
        R"({"a":1,})", R"({"a" 1})", "{1:2}", "[1 2]", "{}}", "[", "", " "));

TEST(JsonDocuments, RepeatedKeysAreRefusedInSmallAndLargeObjects) {
    EXPECT_FALSE(parse(R"({"a":1,"a":2})"));
    EXPECT_FALSE(parse(R"({"a":{"b":1,"b":1}})"));
    std::string many = "{";
    for (int i = 0; i < 200; ++i)
        many += "\"a-long-key-beyond-the-small-buffer-" + std::to_string(i) +
                "\":" + std::to_string(i) + ",";
    EXPECT_TRUE(parse(many.substr(0, many.size() - 1) + "}"));
    EXPECT_FALSE(parse(many + "\"a-long-key-beyond-the-small-buffer-150\":0}"));
    EXPECT_FALSE(parse(many + "\"a-long-key-beyond-the-small-buffer-3\":0}"));
}

TEST(JsonDocuments, InvalidUtf8InTextIsReplacedNotFatal) {
    const auto text = dump(Json{{"name", std::string("fan\xff")}});
    EXPECT_TRUE(text && parse(*text));
}

} // namespace
} // namespace quillfen::json
