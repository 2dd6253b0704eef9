#include "support/Printable.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(Printable, KeepsTextAndReplacesWhatSteersATerminal) {
    EXPECT_EQ(printable("Firefox Web Browser"), "Firefox Web Browser");
    EXPECT_EQ(printable("Grüße — 温度"), "Grüße — 温度");
    EXPECT_EQ(printable("a\nb\tc\x1b[2Jd\x7f"), "a?b?c?[2Jd?");
    EXPECT_EQ(printable("c1\xc2\x9b"
                        "31m"),
              "c1?31m"); // CSI as a C1 control
    EXPECT_EQ(printable("bad\xff\xc3"), "bad??");
    EXPECT_EQ(printable("\xe0\x80\xaf"), "???"); // an overlong encoding of "/"
}

TEST(Printable, CutsLongTextAtACharacterBoundary) {
    EXPECT_EQ(printable("abcdef", 4), "abcd…");
    EXPECT_EQ(printable("abcd", 4), "abcd");
    EXPECT_EQ(printable("ab温度", 4), "ab…");
    EXPECT_EQ(printable(std::string(1 << 20, 'x'), 64).size(), 64u + 3u);
}

} // namespace
} // namespace quillfen
