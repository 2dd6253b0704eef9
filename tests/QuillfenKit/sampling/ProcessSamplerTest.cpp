#include "sampling/ProcessSampler.h"

#include "platform/fake/FakePlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

namespace quillfen {
namespace {

using ::testing::ElementsAre;

constexpr std::uint64_t kSecond = 1'000'000'000;

std::vector<std::int32_t> pids(const std::vector<ProcessRow>& rows) {
    std::vector<std::int32_t> out;
    for (const auto& r : rows)
        out.push_back(r.pid);
    return out;
}

class ProcessSamplerTest : public ::testing::Test {
protected:
    void add(std::int32_t pid, std::uint64_t cpuNanos, std::uint64_t rss) {
        fake.kernel->processes->push_back(
            {pid, "comm" + std::to_string(pid), true, "short", "long", rss, cpuNanos, 0});
    }
    platform::fake::FakeKernel::Process& process(std::int32_t pid) {
        auto& all = *fake.kernel->processes;
        return *std::find_if(all.begin(), all.end(), [&](const auto& p) { return p.pid == pid; });
    }
    // Primes the sampler, applies `change`, and returns the read 5 seconds later.
    std::optional<ProcessReading> secondReading(const std::function<void()>& change = [] {}) {
        EXPECT_FALSE(sampler->sample());
        change();
        fake.clock->advance(5);
        return sampler->sample();
    }

    platform::fake::FakePlatform fake;
    std::optional<ProcessSampler> sampler{std::in_place};
};

TEST_F(ProcessSamplerTest, TheFirstCallPrimesAndACallWithinFiveSecondsReadsNothing) {
    fake.kernel->timebaseNumer = 125;
    fake.kernel->timebaseDenom = 3;
    sampler.emplace();
    add(1, 0, 100);
    EXPECT_FALSE(sampler->sample());
    process(1).userTime = 48'000'000; // 2 s in units of 125/3 ns
    fake.clock->advance(4);
    EXPECT_FALSE(sampler->sample());
    EXPECT_EQ(fake.kernel->processTableReads, 1) << "a throttled call reads nothing";
    fake.clock->advance(1);
    const auto r = sampler->sample();
    ASSERT_TRUE(r);
    // Measured from the priming read five seconds ago, not from the throttled call.
    EXPECT_EQ(r->topByCPU, (std::vector<ProcessRow>{{1, "long", std::nullopt, 40.0, 100}}));
    EXPECT_EQ(r->topByMemory, r->topByCPU);
}

TEST_F(ProcessSamplerTest, ListsHoldTheTenHeaviestInOrderWithTiesInProcessOrder) {
    for (std::int32_t pid = 30; pid >= 1; --pid)
        add(pid, 0, 1000 + static_cast<std::uint64_t>(pid % 4));
    const auto r = secondReading([&] {
        process(7).userTime = 10 * kSecond; // 200 %: several cores
        process(3).systemTime = kSecond / 2;
        process(12).userTime = kSecond / 2;
        process(5).userTime = kSecond / 4;
    });
    ASSERT_TRUE(r);
    EXPECT_THAT(pids(r->topByCPU), ElementsAre(7, 3, 12, 5, 1, 2, 4, 6, 8, 9));
    EXPECT_DOUBLE_EQ(r->topByCPU[0].cpuPercent, 200.0);
    EXPECT_THAT(pids(r->topByMemory), ElementsAre(3, 7, 11, 15, 19, 23, 27, 2, 6, 10));
}

TEST_F(ProcessSamplerTest, ANewProcessIsListedByMemoryAloneUntilItHasAPreviousRead) {
    add(1, 0, 10);
    add(2, 0, 20);
    add(9, 30 * kSecond, 30);
    const auto r = secondReading([&] {
        add(3, 50 * kSecond, 1 << 30);  // started since the priming read
        process(2).inspectable = false; // ended between listing and reading
        process(9).userTime = kSecond;  // a reused number: another process, less time
    });
    ASSERT_TRUE(r);
    EXPECT_THAT(pids(r->topByMemory), ElementsAre(3, 9, 1));
    EXPECT_EQ(r->topByMemory[0].cpuPercent, 0.0) << "no share without a previous read";
    EXPECT_THAT(pids(r->topByCPU), ElementsAre(1, 9));
    EXPECT_EQ(r->topByCPU[1].cpuPercent, 0.0) << "less time than before";

    process(3).userTime += 5 * kSecond;
    fake.clock->advance(5);
    EXPECT_EQ(sampler->sample().value().topByCPU.at(0),
              (ProcessRow{3, "long", std::nullopt, 100.0, 1 << 30}));
}

TEST_F(ProcessSamplerTest, NamesComeFromTheRunningAppThenTheLongThenTheShortThenTheTable) {
    for (std::int32_t pid = 1; pid <= 6; ++pid)
        add(pid, 0, 60 - 10 * static_cast<std::uint64_t>(pid));
    process(2).longName = "bare-helper";
    process(4).longName = "";
    process(5).longName = process(5).shortName = "";
    process(6).longName = process(6).shortName = process(6).comm = "";
    fake.workspace->running = {
        {"org.mozilla.firefox", "Firefox", "/usr/share/applications/firefox.desktop", 1},
        {"com.example.bare", "", "", 2}};
    EXPECT_THAT(
        secondReading().value().topByMemory,
        ElementsAre(ProcessRow{1, "Firefox", "/usr/share/applications/firefox.desktop", 0, 50},
                    ProcessRow{2, "bare-helper", std::nullopt, 0, 40},
                    ProcessRow{3, "long", std::nullopt, 0, 30},
                    ProcessRow{4, "short", std::nullopt, 0, 20},
                    ProcessRow{5, "comm5", std::nullopt, 0, 10}));
}

TEST_F(ProcessSamplerTest, AProcessIsNamedOnceUntilItsNumberIsReusedOrItRunsAnotherProgram) {
    for (std::int32_t pid = 1; pid <= 3; ++pid)
        add(pid, 0, 10 * static_cast<std::uint64_t>(pid));
    fake.workspace->running = {{"org.example.app", "App", "/apps/app.desktop", 2}};
    const auto names = [](const ProcessReading& r) {
        std::map<std::int32_t, std::string> out;
        for (const auto& row : r.topByMemory)
            out[row.pid] = row.name;
        return out;
    };
    auto r = secondReading([&] {
        EXPECT_THAT(fake.workspace->asked, ElementsAre(1, 2, 3));
        fake.workspace->asked.clear();
        process(1).longName = "renamed";
        fake.workspace->running.clear();
    });
    ASSERT_TRUE(r);
    EXPECT_EQ(names(*r),
              (std::map<std::int32_t, std::string>{{1, "long"}, {2, "App"}, {3, "long"}}));
    EXPECT_EQ(r->topByMemory[1].bundleURL, std::filesystem::path("/apps/app.desktop"));
    EXPECT_THAT(fake.workspace->asked, ::testing::IsEmpty());

    process(2).startSeconds = 99; // a later process with the same number
    process(2).longName = "successor";
    process(2).userTime = 5 * kSecond;
    process(3).shortName = "exec"; // the same process, running another program
    process(3).longName = "other-program";
    process(3).userTime = kSecond;
    fake.clock->advance(5);
    r = sampler->sample();
    ASSERT_TRUE(r);
    EXPECT_EQ(names(*r), (std::map<std::int32_t, std::string>{
                             {1, "long"}, {2, "successor"}, {3, "other-program"}}));
    EXPECT_THAT(fake.workspace->asked, ElementsAre(2, 3));
    EXPECT_THAT(pids(r->topByCPU), ElementsAre(3, 1)) << "2 is new: no share yet";
}

TEST_F(ProcessSamplerTest, TheTableHasRoomForFourProcessesStartedDuringTheRead) {
    add(1, 0, 10);
    int next = 100, started = 4;
    fake.kernel->afterProcessTableSizeQuery = [&] {
        for (int i = 0; i < started; ++i)
            add(next++, 0, 1);
    };
    EXPECT_EQ(secondReading().value().topByCPU.size(), 5u) << "the first one and four more";
    started = 5; // the table no longer fits: nothing is read this time
    fake.clock->advance(5);
    EXPECT_THAT(sampler->sample().value().topByCPU, ::testing::IsEmpty());
}

TEST_F(ProcessSamplerTest, AWallClockSetBackPrimesAgainRatherThanFallingSilent) {
    add(1, 0, 10);
    sampler->sample();
    fake.clock->setNow(fake.clock->now() - 3600);
    EXPECT_FALSE(sampler->sample());
    EXPECT_EQ(fake.kernel->processTableReads, 2);
    fake.clock->advance(5);
    EXPECT_TRUE(sampler->sample());
}

} // namespace
} // namespace quillfen
