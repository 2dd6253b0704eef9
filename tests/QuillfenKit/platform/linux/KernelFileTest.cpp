#include "platform/linux/KernelFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;
using quillfen::testing::TempDir;
using quillfen::testing::writeText;

std::string text(const std::optional<std::string_view>& view) {
    return view ? std::string(*view) : "<nothing>";
}

TEST(KernelFile, OnlyProcfsAndSysfsAreLiveTrees) {
    TempDir dir;
    EXPECT_TRUE(isLiveKernelTree("/proc"));
    EXPECT_FALSE(isLiveKernelTree(dir.path()));
    EXPECT_FALSE(isLiveKernelTree(dir / "missing"));
}

// Captured trees are changed file by file between reads: every read sees the file at the
// path now, whatever the caller asked for.
TEST(KernelFile, AFileOfACapturedTreeIsOpenedForEveryRead) {
    TempDir dir;
    const auto path = dir / "stat";
    writeText(path, "first\n");
    KernelFile file(path, false);
    EXPECT_EQ(text(file.read(1024)), "first\n");
    EXPECT_FALSE(file.isOpen());
    writeText(dir / "replacement", std::string(10000, 'x'));
    fs::rename(dir / "replacement", path);
    EXPECT_EQ(text(file.read(20000)), std::string(10000, 'x')) << "grown past one page";
    EXPECT_EQ(text(file.readStart(3)), "xxx");
    EXPECT_FALSE(file.read(9999)) << "larger than allowed: refused, not cut";
    fs::remove(path);
    EXPECT_FALSE(file.read(1024));
    fs::create_directory(path);
    EXPECT_FALSE(file.read(1024)) << "not a regular file";
}

TEST(KernelFile, ALiveFileIsKeptOpenAndGeneratedAnewOnEveryRead) {
    // The bytes this process has read so far: every read of the file changes it.
    KernelFile file("/proc/self/io", true);
    const std::string first = text(file.read(4096));
    ASSERT_NE(first.find("rchar:"), std::string::npos);
    EXPECT_TRUE(file.isOpen());
    const std::string second = text(file.read(4096));
    ASSERT_NE(second.find("rchar:"), std::string::npos);
    EXPECT_NE(first, second);
    EXPECT_EQ(text(file.readStart(6)), "rchar:");
}

TEST(KernelFile, AKeptFileOfAProcessThatEndedReadsAsNothing) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::pause();
        ::_exit(0);
    }
    KernelFile file("/proc/" + std::to_string(child) + "/stat", true);
    const std::string stat = text(file.read(4096));
    EXPECT_EQ(stat.rfind(std::to_string(child) + " (", 0), 0u) << stat;
    EXPECT_TRUE(file.isOpen());
    ::kill(child, SIGKILL);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    // Read again: the process is gone; opened again: there is nothing at the path.
    EXPECT_FALSE(file.read(4096));
    EXPECT_FALSE(file.isOpen());
}

} // namespace
} // namespace quillfen::platform::linux
