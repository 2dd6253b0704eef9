#include "platform/linux/ProcessTable.h"

#include "ProcTree.h"
#include "ProcessWait.h"
#include "TempDir.h"
#include "platform/KinfoProc.h"
#include "platform/fake/FakePlatform.h"
#include "platform/linux/DesktopEntry.h"
#include "platform/linux/LinuxKernel.h"
#include "platform/linux/LinuxWorkspace.h"
#include "sampling/ProcessSampler.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;
using quillfen::testing::TempDir;
using quillfen::testing::writeProcess;
using quillfen::testing::writeText;

const std::uint64_t kTicksPerSecond = static_cast<std::uint64_t>(::sysconf(_SC_CLK_TCK));
constexpr std::uint64_t kPageSize = 4096;

std::optional<procinfo::ProcTaskAllInfo> taskInfo(Kernel& kernel, int pid) {
    procinfo::ProcTaskAllInfo info{};
    if (kernel.procPidInfo(pid, procinfo::kProcPidTaskAllInfo, 0, &info, sizeof info) !=
        static_cast<int>(sizeof info))
        return std::nullopt;
    return info;
}

// A procfs tree of a few hundred processes, among them every kind that is hard to read.
class ProcTreeTest : public ::testing::Test {
protected:
    ProcTreeTest() {
        for (std::int32_t pid = 1000; pid < 1300; ++pid)
            writeProcess(proc, {pid, "worker", "/usr/bin/worker", "worker\0", 0, 0, 10});
        writeProcess(proc, {2, "kthreadd", std::nullopt, "", 0, 0, 0});
        writeText(proc / "2/cmdline", std::string("never read\0", 11));
        // Another user's process: its exe link cannot be read, its arguments can.
        writeProcess(proc, {50, "my (odd) app)", std::nullopt,
                            std::string("/usr/libexec/my (odd) app)\0--flag\0", 34), 700, 300, 25});
        writeProcess(proc,
                     {60, "a-very-long-com",
                      "/usr/bin/a-very-long-command-name-beyond-thirty-one-bytes", "", 0, 0, 1});
        writeProcess(proc, {61, "n", "/usr/bin/" + std::string(30, 'x') + "ñ", "", 0, 0, 1});
        writeProcess(proc, {62, "updated", "/usr/bin/updated (deleted)", "", 0, 0, 1});
        writeProcess(proc, {63, "3", "/memfd:sealed-91173221a7ea (deleted)",
                            std::string("/usr/sbin/agent\0", 16), 0, 0, 1});
        writeProcess(proc, {70, "vanishing", "/usr/bin/vanishing", "", 0, 0, 0, false});
        writeText(proc / "80/stat", "80 (broken) S 1 2 3\n");
        writeText(proc / "80/comm", "broken\n");
        fs::create_directories(proc / "0123");
        fs::create_directory_symlink(proc / "1000", proc / "self");
        fake.platform.kernel = std::make_shared<LinuxKernel>(proc, dir / "sys", kPageSize);
    }

    TempDir dir;
    const fs::path proc = dir / "proc";
    LinuxKernel kernel{proc, dir / "sys", kPageSize};
    fake::FakePlatform fake;
};

TEST_F(ProcTreeTest, TheTableListsEveryProcessStillThereWhenItIsRead) {
    int name[] = {kCtlKern, kinfo::kKernProc, kinfo::kKernProcAll};
    std::size_t size = 0;
    ASSERT_EQ(kernel.sysctl(name, 3, nullptr, &size), 0);
    constexpr std::size_t kListed = 300 + 8;
    EXPECT_EQ(size, (kListed + 5) * sizeof(kinfo::KinfoProc)) << "room for five more";

    std::vector<kinfo::KinfoProc> table(kListed + 5);
    size = table.size() * sizeof(kinfo::KinfoProc);
    ASSERT_EQ(kernel.sysctl(name, 3, table.data(), &size), 0);
    table.resize(size / sizeof(kinfo::KinfoProc));
    std::map<std::int32_t, std::string> comms;
    for (const auto& record : table)
        comms[record.pid] = std::string(record.comm, ::strnlen(record.comm, sizeof record.comm));
    EXPECT_EQ(comms.size(), kListed - 1) << "70 ended after it was listed";
    EXPECT_EQ(comms.at(50), "my (odd) app)");
    EXPECT_EQ(comms.at(2), "kthreadd");
    EXPECT_EQ(comms.count(123), 0u) << "a leading zero names no process";
}

TEST_F(ProcTreeTest, TaskInformationNamesTimesAndSizesEveryReadableProcess) {
    const auto odd = taskInfo(kernel, 50);
    ASSERT_TRUE(odd);
    EXPECT_STREQ(odd->shortName, "my (odd) app)");
    EXPECT_STREQ(odd->longName, "my (odd) app)") << "the first argument's base name";
    EXPECT_EQ(odd->totalUser, 700 * (1'000'000'000 / kTicksPerSecond));
    EXPECT_EQ(odd->totalSystem, 300 * (1'000'000'000 / kTicksPerSecond));
    EXPECT_EQ(odd->residentSize, 25 * kPageSize);

    EXPECT_STREQ(taskInfo(kernel, 60)->longName, "a-very-long-command-name-beyond");
    EXPECT_EQ(taskInfo(kernel, 61)->longName, std::string(30, 'x')) << "no split character";
    EXPECT_STREQ(taskInfo(kernel, 62)->longName, "updated");
    EXPECT_STREQ(taskInfo(kernel, 63)->longName, "agent") << "run from memory";
    EXPECT_STREQ(taskInfo(kernel, 2)->longName, "");
    EXPECT_STREQ(taskInfo(kernel, 2)->shortName, "kthreadd");
    for (const int gone : {70, 80, 81, 0, -1})
        EXPECT_FALSE(taskInfo(kernel, gone)) << gone;
    procinfo::ProcTaskAllInfo info{};
    EXPECT_EQ(kernel.procPidInfo(50, procinfo::kProcPidTaskAllInfo, 0, &info, sizeof info - 1), 0);
    EXPECT_EQ(kernel.procPidInfo(50, 1, 0, &info, sizeof info), 0);
}

TEST_F(ProcTreeTest, ALongNameIsLookedUpOnceInAProcessLifeAndStartTimesCountFromBoot) {
    writeText(proc / "stat", "cpu  1 2 3 4\nbtime 1700000000\n");
    const auto rewrite = [&](const char* comm, const char* exe, std::uint64_t start) {
        fs::remove_all(proc / "1000");
        writeProcess(proc, {1000, comm, exe, "", 0, 0, 10, true, start});
    };
    rewrite("worker", "/usr/bin/worker", 5 * kTicksPerSecond + kTicksPerSecond / 2);
    auto info = taskInfo(kernel, 1000);
    ASSERT_TRUE(info);
    EXPECT_STREQ(info->longName, "worker");
    EXPECT_EQ(info->startSeconds, 1700000005u);
    EXPECT_EQ(info->startMicroseconds, 1'000'000 * (kTicksPerSecond / 2) / kTicksPerSecond);

    // The same process: same number, start and command name. Its link is not read again.
    rewrite("worker", "/usr/bin/elsewhere", 5 * kTicksPerSecond + kTicksPerSecond / 2);
    EXPECT_STREQ(taskInfo(kernel, 1000)->longName, "worker");
    // The number taken over by a process started later.
    rewrite("worker", "/usr/bin/successor", 9 * kTicksPerSecond);
    EXPECT_STREQ(taskInfo(kernel, 1000)->longName, "successor");
    EXPECT_EQ(taskInfo(kernel, 1000)->startSeconds, 1700000009u);
    // The same process running another program.
    rewrite("tool", "/usr/bin/tool", 9 * kTicksPerSecond);
    EXPECT_STREQ(taskInfo(kernel, 1000)->longName, "tool");
}

TEST(LongNameCache, ForgetsProcessesNotAskedAboutForAWholeRound) {
    LongNameCache names;
    names.store(1, 10, "a", "alpha");
    names.store(2, 20, "b", "beta");
    names.newRound();
    ASSERT_TRUE(names.find(1, 10, "a"));
    EXPECT_EQ(*names.find(1, 10, "a"), "alpha");
    EXPECT_FALSE(names.find(2, 21, "b")) << "another start";
    EXPECT_FALSE(names.find(2, 20, "c")) << "another command";
    names.newRound();
    EXPECT_EQ(names.size(), 1u) << "2 was not found in the round before";
    names.newRound();
    EXPECT_EQ(names.size(), 0u);
}

TEST_F(ProcTreeTest, TheSamplerNamesAndMeasuresProcessesFromTheTree) {
    // A desktop application, recognised by the executable its entry starts.
    const fs::path apps = dir / "applications";
    const fs::path program = testing::writeProgram(dir / "bin" / "firefox-esr");
    writeText(apps / "firefox-esr.desktop",
              desktop::format({{"Type", "Application"},
                               {"Name", "Firefox"},
                               {"Exec", desktop::execValue(program) + " %u"}}));
    writeProcess(proc, {90, "firefox-esr", program.string(), "", 0, 0, 5000});
    fake.platform.workspace = std::make_shared<LinuxWorkspace>(std::vector<fs::path>{apps}, proc);
    ProcessSampler sampler;
    ASSERT_FALSE(sampler.sample());
    // Half a second of CPU time over the five seconds.
    writeText(proc / "90/stat", "90 (firefox-esr) S 1 90 90 0 -1 4194560 0 0 0 0 " +
                                    std::to_string(kTicksPerSecond / 2) +
                                    " 0 0 0 20 0 1 0 5000 1 5000\n");
    fake.clock->advance(5);
    const auto r = sampler.sample();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->topByCPU.at(0),
              (ProcessRow{90, "Firefox", apps / "firefox-esr.desktop", 10.0, 5000 * kPageSize}));
    EXPECT_EQ(r->topByMemory.at(1).name, "my (odd) app)");
}

TEST_F(ProcTreeTest, AProcessStartedBetweenReadsLeadsTheMemoryListAtOnce) {
    ProcessSampler sampler;
    ASSERT_FALSE(sampler.sample());
    // A compiler of 228 MB, started after the priming read, busy since.
    writeProcess(proc, {4000, "cc1plus", "/usr/libexec/gcc/x86_64-linux-gnu/12/cc1plus",
                        std::string("/usr/libexec/gcc/x86_64-linux-gnu/12/cc1plus\0", 45),
                        4 * kTicksPerSecond, 0, 55664});
    fake.clock->advance(5);
    const auto r = sampler.sample();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->topByMemory.at(0),
              (ProcessRow{4000, "cc1plus", std::nullopt, 0, 55664 * kPageSize}));
    EXPECT_EQ(r->topByMemory.at(1).pid, 50);
    for (const auto& row : r->topByCPU)
        EXPECT_NE(row.pid, 4000) << "no CPU share before a second read";
}

// --- This machine ---------------------------------------------------------------------------

TEST(ProcessTableSmoke, TheSamplerFindsThisTestWithAPlausibleResidentSize) {
    fake::FakePlatform fake;
    fake.platform.kernel = std::make_shared<LinuxKernel>("/proc", "/sys");
    fake.platform.workspace = std::make_shared<LinuxWorkspace>();
    // Enough resident memory to lead the list: touched, so it is resident.
    std::vector<char> ballast(512 << 20, 1);
    ProcessSampler sampler;
    ASSERT_FALSE(sampler.sample());
    fake.clock->advance(5);
    const auto r = sampler.sample();
    ASSERT_TRUE(r);
    const auto self = std::find_if(r->topByMemory.begin(), r->topByMemory.end(),
                                   [](const ProcessRow& row) { return row.pid == ::getpid(); });
    ASSERT_NE(self, r->topByMemory.end());
    EXPECT_EQ(self->name, "quillfen-tests");
    EXPECT_GE(self->residentMemoryBytes, ballast.size());
    EXPECT_LT(self->residentMemoryBytes, std::uint64_t{64} << 30);
}

// A child of the test that waits to be killed.
pid_t spawnWaitingChild() {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::pause();
        ::_exit(0);
    }
    return pid;
}

std::ptrdiff_t openDescriptors() {
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
}

bool isStatLineOf(const std::optional<std::string>& line, pid_t pid) {
    return line && line->starts_with(std::to_string(pid) + " (");
}

TEST(StatFiles, AKeptFileIsReadAfreshUntilItsProcessEndsAndThenClosed) {
    const ProcRoot root("/proc");
    ASSERT_GE(root.fd(), 0);
    const auto before = openDescriptors();
    const pid_t child = spawnWaitingChild();
    ASSERT_GT(child, 0);
    testing::KillAtScopeEnd killer{child};
    {
        StatFiles files(8);
        EXPECT_TRUE(isStatLineOf(files.read(root.fd(), ::getpid()), ::getpid()));
        EXPECT_TRUE(isStatLineOf(files.read(root.fd(), child), child));
        EXPECT_EQ(files.openFiles(), 2u);

        // The kept file shows what the process is now, not what it was when opened.
        char name[16] = {};
        ::prctl(PR_GET_NAME, name);
        ::prctl(PR_SET_NAME, "renamed-test");
        const auto renamed = files.read(root.fd(), ::getpid());
        ::prctl(PR_SET_NAME, name);
        ASSERT_TRUE(renamed);
        EXPECT_NE(renamed->find("(renamed-test)"), std::string::npos) << *renamed;

        ::kill(child, SIGKILL);
        ASSERT_EQ(::waitpid(child, nullptr, 0), child);
        EXPECT_EQ(files.read(root.fd(), child), std::nullopt);
        EXPECT_EQ(files.openFiles(), 1u);
    }
    EXPECT_EQ(openDescriptors(), before) << "every kept file is closed";
}

TEST(StatFiles, HoldsNoMoreThanItsBudgetAndLetsGoOfWhatATableNoLongerReads) {
    const ProcRoot root("/proc");
    const pid_t child = spawnWaitingChild();
    ASSERT_GT(child, 0);
    testing::KillAtScopeEnd killer{child};
    const auto t0 = StatFiles::Clock::now();

    StatFiles none(0);
    EXPECT_TRUE(isStatLineOf(none.read(root.fd(), ::getpid()), ::getpid()));
    EXPECT_EQ(none.openFiles(), 0u);

    StatFiles one(1);
    EXPECT_TRUE(isStatLineOf(one.read(root.fd(), ::getpid()), ::getpid()));
    EXPECT_TRUE(isStatLineOf(one.read(root.fd(), child), child)) << "read, past the budget";
    EXPECT_EQ(one.openFiles(), 1u);

    StatFiles files(8);
    files.read(root.fd(), ::getpid());
    files.read(root.fd(), child);
    files.newRound(t0);
    files.read(root.fd(), ::getpid());
    files.newRound(t0 + std::chrono::seconds(1));
    EXPECT_EQ(files.openFiles(), 1u) << "the child was not read in the last round";
    files.closeIfIdle(t0 + std::chrono::seconds(1) + StatFiles::kIdleRelease);
    EXPECT_EQ(files.openFiles(), 1u);
    files.closeIfIdle(t0 + std::chrono::seconds(2) + StatFiles::kIdleRelease);
    EXPECT_EQ(files.openFiles(), 0u);
}

} // namespace
} // namespace quillfen::platform::linux
