#include "platform/linux/FileIO.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillfen {
namespace {

using testing::readText;
using testing::TempDir;
using testing::writeText;

std::vector<std::string> entries(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class AtomicWrite : public ::testing::TestWithParam<Durability> {
protected:
    TempDir dir;
};

TEST_P(AtomicWrite, ReplacesTheFileWholeLeavingNoTemporaryBehind) {
    // A write in place would change what an open reader sees; a replacement must not.
    const auto file = dir / "sensors.json";
    writeText(file, "first version");
    const int fd = ::open(file.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(writeFileAtomically(file, "second", GetParam()));
    char buf[64] = {};
    const auto n = ::read(fd, buf, sizeof buf);
    ::close(fd);
    EXPECT_EQ(std::string(buf, static_cast<std::size_t>(n)), "first version");
    EXPECT_EQ(readText(file), "second");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"sensors.json"});
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);
}

TEST_P(AtomicWrite, AFailedWriteKeepsThePreviousFileAndNoTemporary) {
    // A file-size limit makes the write itself fail part-way, even for root.
    const auto file = dir / "control.json";
    writeText(file, "previous");
    struct sigaction ignore {
    }, old{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &old);
    rlimit oldLimit{};
    ::getrlimit(RLIMIT_FSIZE, &oldLimit);
    rlimit small = oldLimit;
    small.rlim_cur = 4;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool ok = writeFileAtomically(file, std::string(1000, 'x'), GetParam());
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    ::sigaction(SIGXFSZ, &old, nullptr);

    EXPECT_FALSE(ok);
    EXPECT_EQ(readText(file), "previous");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"control.json"});
}

TEST_P(AtomicWrite, AMissingFolderFailsWithoutCreatingAnything) {
    EXPECT_FALSE(writeFileAtomically(dir / "missing" / "f", "x", GetParam()));
    EXPECT_TRUE(entries(dir.path()).empty());
}

TEST_P(AtomicWrite, AnUnwritableFolderKeepsThePreviousFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    const auto sub = dir / "ro";
    writeText(sub / "f", "previous");
    std::filesystem::permissions(sub, std::filesystem::perms::owner_read |
                                          std::filesystem::perms::owner_exec);
    EXPECT_FALSE(writeFileAtomically(sub / "f", "new", GetParam()));
    EXPECT_EQ(readText(sub / "f"), "previous");
}

constexpr const char* kDurabilityNames[] = {"ReplaceOnly", "ReplaceInMemory", "Synced"};
INSTANTIATE_TEST_SUITE_P(EveryDurability, AtomicWrite,
                         ::testing::Values(Durability::replaceOnly, Durability::replaceInMemory,
                                           Durability::synced),
                         [](const auto& info) { return kDurabilityNames[int(info.param)]; });

TEST(StaleTemporaries, OnlyThoseOfProcessesThatAreGoneAreRemoved) {
    TempDir dir;
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_GT(gone, 0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = std::to_string(gone), alive = std::to_string(::getppid());
    for (const std::string& name : std::vector<std::string>{
             ".sensors.json." + dead + "-0", ".sensors.json." + dead + "-17",
             ".sensors.json." + alive + "-3", ".sensors.json." + dead, ".sensors.json.x-1",
             ".control.json." + dead + "-0", "sensors.json"})
        writeText(dir / name, "{}");
    removeStaleTemporaries(dir / "sensors.json");
    std::vector<std::string> kept{".control.json." + dead + "-0", ".sensors.json." + dead,
                                  ".sensors.json." + alive + "-3", ".sensors.json.x-1",
                                  "sensors.json"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(entries(dir.path()), kept);
}

TEST(ReadFile, RefusesWhatIsNotASmallRegularFileButReadsKernelFiles) {
    TempDir dir;
    EXPECT_FALSE(readFile(dir / "missing", 100));
    EXPECT_FALSE(readFile(dir.path(), 100));
    const auto fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(readFile(fifo, 100)); // must not block waiting for a writer
    writeText(dir / "big", std::string(101, 'x'));
    EXPECT_FALSE(readFile(dir / "big", 100));
    writeText(dir / "exact", std::string(100, 'x'));
    EXPECT_EQ(readFile(dir / "exact", 100), std::string(100, 'x'));
    writeText(dir / "empty", "");
    EXPECT_EQ(readFile(dir / "empty", 100), "");
    // Kernel files report a size of zero and are read all the same.
    const auto stat = readFile("/proc/self/stat", 1 << 16);
    ASSERT_TRUE(stat);
    EXPECT_EQ(stat->rfind(std::to_string(::getpid()) + " (", 0), 0u);
}

} // namespace
} // namespace quillfen
