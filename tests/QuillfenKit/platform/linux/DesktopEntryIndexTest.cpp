#include "platform/linux/DesktopEntryIndex.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;
using quillfen::testing::TempDir;
using quillfen::testing::writeText;

class DesktopEntryIndexTest : public ::testing::Test {
protected:
    void writeEntry(const fs::path& file, const std::string& name) {
        writeText(file, "[Desktop Entry]\nType=Application\nName=" + name +
                            "\nExec=" + program.string() + "\n");
    }
    // Folders are given times well in the past, as folders that nobody is changing have.
    void settle(const fs::path& folder, int minutesAgo) {
        fs::last_write_time(folder, start - std::chrono::minutes(minutesAgo));
    }
    std::string nameFound() {
        index.refresh({apps}, "C");
        const auto* entry = index.find(executable);
        return entry ? entry->name : "<none>";
    }

    TempDir dir;
    const fs::path apps = dir / "applications";
    const fs::path program = dir / "bin" / "calc";
    const std::string executable = quillfen::testing::writeProgram(program).string();
    const fs::file_time_type start = fs::file_time_type::clock::now();
    DesktopEntryIndex index;
};

TEST_F(DesktopEntryIndexTest, IsBuiltAgainOnlyWhenAnApplicationFolderChanges) {
    writeEntry(apps / "kde" / "calc.desktop", "Calc");
    settle(apps / "kde", 30);
    settle(apps, 30);
    EXPECT_EQ(nameFound(), "Calc");
    EXPECT_EQ(index.find(executable)->id, "kde-calc");
    EXPECT_EQ(nameFound(), "Calc");
    EXPECT_EQ(index.builds(), 1);

    // An entry rewritten in place leaves its folder as it was.
    writeEntry(apps / "kde" / "calc.desktop", "Calculator");
    EXPECT_EQ(nameFound(), "Calc");
    EXPECT_EQ(index.builds(), 1);

    // A folder inside an application folder counts as well.
    writeText(apps / "kde" / "other.desktop", "[Desktop Entry]\nType=Link\n");
    settle(apps / "kde", 20);
    EXPECT_EQ(nameFound(), "Calculator");
    EXPECT_EQ(index.builds(), 2);

    // A folder that changed a moment ago may change again within its timestamp's
    // granularity: the index looks once more.
    fs::remove(apps / "kde" / "other.desktop");
    EXPECT_EQ(nameFound(), "Calculator");
    EXPECT_EQ(nameFound(), "Calculator");
    EXPECT_EQ(index.builds(), 4);
    settle(apps / "kde", 10);
    nameFound();
    nameFound();
    EXPECT_EQ(index.builds(), 5);

    index.refresh({apps}, "de_DE.UTF-8");
    EXPECT_EQ(index.builds(), 6) << "another language";
}

} // namespace
} // namespace quillfen::platform::linux
