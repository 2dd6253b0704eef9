#include "sampling/CPUTopology.h"

#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

struct ChipNameCase {
    const char* brand;
    const char* chip;
};

void PrintTo(const ChipNameCase& c, std::ostream* os) {
    *os << '"' << c.brand << '"';
}

class ChipName : public ::testing::TestWithParam<ChipNameCase> {};

TEST_P(ChipName, DropsALeadingAppleAndNothingElse) {
    EXPECT_EQ(CPUTopology{GetParam().brand}.chipName(), GetParam().chip);
}

INSTANTIATE_TEST_SUITE_P(Table, ChipName,
                         ::testing::Values(ChipNameCase{"Apple M2 Pro", "M2 Pro"},
                                           ChipNameCase{"Apple ", ""},
                                           ChipNameCase{"AppleM1", "AppleM1"},
                                           ChipNameCase{"An Apple M1", "An Apple M1"},
                                           ChipNameCase{"12th Gen Intel(R) Core(TM) i9-12900K",
                                                        "12th Gen Intel(R) Core(TM) i9-12900K"},
                                           ChipNameCase{"Mac", "Mac"}));

class CPUTopologyRead : public ::testing::Test {
protected:
    platform::fake::FakePlatform fake;
    platform::fake::FakeKernel& kernel = *fake.kernel;
};

TEST_F(CPUTopologyRead, HybridProcessorHasBothLevels) {
    kernel.setSysctlString("machdep.cpu.brand_string", "Apple M1 Pro");
    kernel.setSysctlInt32("hw.ncpu", 10);
    kernel.setSysctlInt32("hw.nperflevels", 2);
    kernel.setSysctlInt32("hw.perflevel0.physicalcpu", 8);
    kernel.setSysctlInt32("hw.perflevel1.physicalcpu", 2);
    const auto t = CPUTopology::read();
    EXPECT_EQ(t, (CPUTopology{"Apple M1 Pro", 8, 2, 10}));
    EXPECT_TRUE(t.hasHeterogeneousCores());
}

TEST_F(CPUTopologyRead, WithoutTwoReadableLevelsThereAreNoEfficiencyCores) {
    EXPECT_EQ(CPUTopology::read(), (CPUTopology{"Mac", 0, 0, 0})) << "nothing readable";
    kernel.setSysctlInt32("hw.ncpu", 16);
    kernel.setSysctlInt32("hw.perflevel1.physicalcpu", 4); // ignored without two levels
    EXPECT_EQ(CPUTopology::read(), (CPUTopology{"Mac", 16, 0, 16}));
    kernel.setSysctlInt32("hw.nperflevels", 1);
    EXPECT_EQ(CPUTopology::read(), (CPUTopology{"Mac", 16, 0, 16}));
    kernel.setSysctlInt32("hw.nperflevels", 2);
    kernel.setSysctlInt32("hw.perflevel0.physicalcpu", 4);
    kernel.sysctls.erase("hw.perflevel1.physicalcpu");
    EXPECT_EQ(CPUTopology::read(), (CPUTopology{"Mac", 4, 0, 16}));
    EXPECT_FALSE(CPUTopology::read().hasHeterogeneousCores());
}

TEST_F(CPUTopologyRead, BrandTextEndsAtItsFirstNulIsTrimmedAndRepaired) {
    kernel.sysctls["machdep.cpu.brand_string"] = std::string("  Apple M3\n\0junk", 16);
    EXPECT_EQ(CPUTopology::read().brandString, "Apple M3");
    kernel.sysctls["machdep.cpu.brand_string"] = std::string("Chip \xff\xfe X", 9);
    EXPECT_EQ(CPUTopology::read().brandString, "Chip \uFFFD\uFFFD X");
    kernel.sysctls["machdep.cpu.brand_string"] = std::string(); // size query reports 0
    EXPECT_EQ(CPUTopology::read().brandString, "Mac");
    kernel.sysctls["machdep.cpu.brand_string"] = std::string(1 << 20, 'x');
    EXPECT_EQ(CPUTopology::read().brandString, "Mac");
    kernel.sysctls["machdep.cpu.brand_string"] = "No terminator";
    EXPECT_EQ(CPUTopology::read().brandString, "No terminator");
}

} // namespace
} // namespace quillfen
