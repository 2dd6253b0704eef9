#include "support/VersionCompare.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

struct Ordered {
    const char* lower;
    const char* higher;
};

void PrintTo(const Ordered& c, std::ostream* os) {
    *os << c.lower << " < " << c.higher;
}

class VersionOrder : public ::testing::TestWithParam<Ordered> {};

TEST_P(VersionOrder, OrdersBothWays) {
    const auto& c = GetParam();
    EXPECT_LT(compareNumeric(c.lower, c.higher), 0) << c.lower << " < " << c.higher;
    EXPECT_GT(compareNumeric(c.higher, c.lower), 0) << c.higher << " > " << c.lower;
}

INSTANTIATE_TEST_SUITE_P(Table, VersionOrder,
                         ::testing::Values(Ordered{"1", "1.0"}, Ordered{"1.0", "1.0.1"},
                                           Ordered{"1.9", "1.10"}, Ordered{"0.99", "1.0"},
                                           Ordered{"1.0", "2"}, Ordered{"1.0", "1.10"},
                                           Ordered{"", "0"}, Ordered{"1.0a", "1.0b"},
                                           Ordered{"9", "100000000000000000000000000"},
                                           Ordered{"1.0", "1.0-beta"}));

TEST(VersionCompare, EqualTextsAndEqualNumbersCompareEqual) {
    EXPECT_EQ(compareNumeric("1.0", "1.0"), 0);
    EXPECT_EQ(compareNumeric("", ""), 0);
    EXPECT_EQ(compareNumeric("1.01", "1.1"), 0);
}

} // namespace
} // namespace quillfen
