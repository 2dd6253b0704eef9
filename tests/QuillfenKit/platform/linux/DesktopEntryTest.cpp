#include "platform/linux/DesktopEntry.h"

#include <gtest/gtest.h>

namespace quillfen::platform::linux::desktop {
namespace {

using Keys = std::map<std::string, std::string, std::less<>>;

TEST(DesktopEntry, ReadsTheDesktopEntryGroupWithItsEscapes) {
    const auto keys = parse("# written by hand\n"
                            "[Desktop Entry]\n"
                            "Type = Application\n"
                            "Name=Quillfen\\sHelper\\tx\\\\y\n"
                            "Name=second value ignored\n"
                            "Comment[de]=Sensoren\r\n"
                            "\n"
                            "[Desktop Action stop]\n"
                            "Exec=/elsewhere\n");
    EXPECT_EQ(keys, (Keys{{"Type", "Application"},
                          {"Name", "Quillfen Helper\tx\\y"},
                          {"Comment[de]", "Sensoren"}}));
}

TEST(DesktopEntry, RefusesMalformedFiles) {
    for (const char* text : {"", "[Other]\nExec=/x\n", "[Desktop Entry]\nnot a key line\n",
                             "[Desktop Entry]\n=value\n", "[Desktop Entry]\nExec=/x\\\n",
                             "[Desktop Entry]\nA=1\n[Desktop Entry]\nA=2\n"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parse(text));
    }
}

TEST(DesktopEntry, TheProgramIsTheFirstArgumentOfExecUnquoted) {
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/quillfen helper start", "/usr/bin/quillfen"},
        {"  \"/opt/Quillfen Helper.app/Contents/MacOS/h\" %U",
         "/opt/Quillfen Helper.app/Contents/MacOS/h"},
        {R"("/a\"b\`c\$d\\e")", R"(/a"b`c$d\e)"},
        {"/a%%b", "/a%b"}};
    for (const auto& [exec, program] : cases)
        EXPECT_EQ(execProgram(exec), program) << exec;
    for (const char* exec : {"\"/unterminated", "\"/a\"x", R"("/a\q")", "%f", "/a%u", "", "\"\""})
        EXPECT_EQ(execProgram(exec), std::nullopt) << exec;
}

// An Exec line runs exactly the program given; a value keeps the blanks at its ends.
TEST(DesktopEntry, WhatIsWrittenReadsBackAsGiven) {
    for (const char* program :
         {"/home/u/.local/lib/quillfen/Quillfen Helper.app/Contents/MacOS/quillfen-helper",
          "/tmp/a\"b$c`d\\e%f g", "/tmp/line\nbreak\tand tab"}) {
        SCOPED_TRACE(program);
        const auto keys = parse(format({{"Type", "Application"}, {"Exec", execValue(program)}}));
        ASSERT_TRUE(keys);
        EXPECT_EQ(execProgram(keys->at("Exec")), program);
    }
    for (const char* value : {" ", "  Quillfen  Helper ", R"(\tab\s\)", "\t\n"})
        EXPECT_EQ(parse(format({{"Name", value}})), (Keys{{"Name", value}})) << value;
}

} // namespace
} // namespace quillfen::platform::linux::desktop
