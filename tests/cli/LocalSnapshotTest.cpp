#include "LocalSnapshot.h"

#include "Commands.h"
#include "Frame.h"
#include "ProcTree.h"
#include "TempDir.h"

#include "platform/fake/FakePlatform.h"
#include "platform/linux/LinuxKernel.h"
#include "support/Json.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace quillfen::cli {
namespace {

using ::testing::HasSubstr;

SystemSummary exampleSummary() {
    return {"QEMU Standard PC", "12.5", 277'380, "3d 5h", {0.5, 0.25, 1.25}, {1 << 30, 2u << 30}};
}

// --- The System block -----------------------------------------------------------------------

TEST(SystemBlock, NamesTheMachineAndItsSystemThenUptimeLoadAndSwap) {
    const auto block = [](const SystemSummary& summary) {
        const auto lines = frameLines(SnapshotValues{}, &summary, {});
        return std::vector<std::string>(lines.begin(), lines.begin() + 2);
    };
    EXPECT_THAT(block(exampleSummary()),
                ::testing::ElementsAre("System     QEMU Standard PC, OS 12.5",
                                       "           up 3d 5h, load 0.50 0.25 1.25, swap 1 GB of "
                                       "2 GB used"));
    auto bare = exampleSummary();
    bare.swapUsage = {};
    bare.machineName = "Evil\x1b[2J";
    const auto lines = block(bare);
    EXPECT_THAT(lines.at(0), ::testing::Not(HasSubstr("\x1b")))
        << "no terminal control from the firmware";
    EXPECT_THAT(lines.at(1), ::testing::EndsWith(", swap none"));
}

// --- The system summary beside a snapshot document -----------------------------------------

constexpr const char* kSystemJSON =
    R"({"machineName":"QEMU Standard PC","osVersion":"12.5","uptimeSeconds":277380,)"
    R"("uptime":"3d 5h","loadAverage":{"one":0.5,"five":0.25,"fifteen":1.25},)"
    R"("swapUsage":{"used":1073741824,"total":2147483648}})";

TEST(WithSystem, KeepsTheDocumentByteForByteAndAddsOneKeyBeforeItsEnd) {
    const std::string document = json::encode(SnapshotValues{}).value();
    const auto out = withSystem(document, exampleSummary());
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, document.substr(0, document.size() - 1) + R"(,"system":)" + kSystemJSON + "}");
    EXPECT_TRUE(json::decode<SnapshotValues>(std::string_view(*out)))
        << "a snapshot reader reads it as before";
    EXPECT_EQ(withSystem(" {} \n", exampleSummary()),
              std::string(R"( {"system":)") + kSystemJSON + "}");
}

TEST(WithSystem, RefusesWhatIsNoObjectAndLeavesAnExistingSystemKeyAlone) {
    for (const char* notAnObject : {"", "[1]", "\"text\"", "{", "{} {}", "{\"_cpu\":1,}"})
        EXPECT_FALSE(withSystem(notAnObject, exampleSummary())) << notAnObject;
    EXPECT_EQ(withSystem(R"({"system":1})", exampleSummary()), R"({"system":1})");
}

// --- snapshot --local over a window ---------------------------------------------------------

// The sampling loop over a process tree: a long window gets processes, a short one says why
// it has none. Time is the fake main queue's.
class LocalSnapshotWindow : public ::testing::Test {
protected:
    LocalSnapshotWindow() {
        for (std::int32_t pid = 100; pid < 104; ++pid)
            testing::writeProcess(dir / "proc",
                                  {pid, "worker", "/usr/bin/worker", "worker\0", 0, 0, 10});
        testing::writeProcess(dir / "proc", {200, "postgres", "/usr/bin/postgres", "", 0, 0, 5120});
        fake.platform.kernel =
            std::make_shared<platform::linux::LinuxKernel>(dir / "proc", dir / "sys", 4096);
    }

    // The values after a window of `seconds`, which must end exactly then.
    SnapshotValues window(int seconds) {
        bool done = false;
        LocalSnapshot local(seconds, [&] { done = true; });
        fake.queue->advance(seconds - 0.01);
        EXPECT_FALSE(done) << "ended early";
        fake.queue->advance(0.01);
        EXPECT_TRUE(done);
        EXPECT_EQ(fake.queue->pendingCount(), 0u) << "sampling goes on after the window";
        return local.values();
    }

    testing::TempDir dir;
    platform::fake::FakePlatform fake;
};

TEST_F(LocalSnapshotWindow, ASixSecondWindowListsProcessesReadAtBothEnds) {
    const auto values = window(kProcessWindowSeconds);
    ASSERT_TRUE(values.processes);
    EXPECT_EQ(values.processes->topByMemory.at(0).name, "postgres");
    EXPECT_EQ(values.processes->topByCPU.size(), 5u);

    const auto text = localSnapshotOutput(values, exampleSummary(), true, kProcessWindowSeconds);
    EXPECT_THAT(*text, ::testing::StartsWith("System     QEMU Standard PC, OS 12.5\n"));
    EXPECT_THAT(*text, HasSubstr("\nworker   100  0%   postgres 200  20 MB\n"));
    const auto tree = json::parse(localSnapshotOutput(values, exampleSummary(), false, 6).value());
    ASSERT_TRUE(tree);
    EXPECT_TRUE(tree->contains("_processes"));
    EXPECT_EQ((*tree)["system"]["machineName"], "QEMU Standard PC");
}

TEST_F(LocalSnapshotWindow, AShortWindowHasNoProcessesAndTheTextSaysWhy) {
    const auto values = window(1);
    EXPECT_FALSE(values.processes);
    EXPECT_THAT(*localSnapshotOutput(values, exampleSummary(), true, 1),
                HasSubstr("Processes  —  (processes need a window of 6 seconds or more: "
                          "--seconds 6)\n"));
    EXPECT_THAT(*localSnapshotOutput(values, exampleSummary(), true, 6),
                HasSubstr("Processes  —\n"))
        << "missing for another reason: nothing to suggest";
}

TEST(SnapshotCommand, OptionsAreKnownOnceEachAndSecondsAWholeNumberFromOneToAnHourWithLocal) {
    std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--local", "--seconds"}, "--seconds"},
        {{"--seconds", "6"}, "--seconds goes with --local"},
        {{"--local", "--bogus"}, "--bogus"},
        {{"--text", "--text"}, "--text once"},
        {{"--local", "--seconds", "6", "--seconds", "7"}, "--seconds once"}};
    for (const char* seconds : {"0", "3601", "1.5", "-6", "six"})
        cases.push_back({{"--local", "--seconds", seconds}, "--seconds"});
    for (const auto& [args, said] : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(runSnapshot(args, out, err), kMisuse) << ::testing::PrintToString(args);
        EXPECT_TRUE(out.str().empty());
        EXPECT_THAT(err.str(), HasSubstr(said));
    }
}

} // namespace
} // namespace quillfen::cli
