#include "sampling/ProcessSampler.h"

#include "platform/fake/FakePlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using platform::fake::FakeKernel;
using platform::fake::FakePlatform;
using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::IsEmpty;
using ::testing::SizeIs;

constexpr std::uint64_t kSecond = 1'000'000'000;

auto pids(const std::vector<ProcessRow>& rows) {
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
    FakeKernel::Process& process(std::int32_t pid) {
        for (auto& p : *fake.kernel->processes)
            if (p.pid == pid) return p;
        throw std::out_of_range("no such process");
    }
    // Primes a sampler and returns the reading of the second read, 5 seconds later.
    std::optional<ProcessReading> secondReading(ProcessSampler& sampler,
                                                const std::function<void()>& change = {}) {
        EXPECT_FALSE(sampler.sample());
        if (change) change();
        fake.clock->advance(5);
        return sampler.sample();
    }

    FakePlatform fake;
};

TEST_F(ProcessSamplerTest, TheFirstCallPrimesAndACallWithinFiveSecondsReadsNothing) {
    add(1, 0, 100);
    ProcessSampler sampler;
    EXPECT_FALSE(sampler.sample());
    EXPECT_EQ(fake.kernel->processTableReads, 1);
    process(1).userTime = 2 * kSecond;
    fake.clock->advance(4);
    EXPECT_FALSE(sampler.sample());
    EXPECT_EQ(fake.kernel->processTableReads, 1) << "a throttled call reads nothing";
    fake.clock->advance(1);
    const auto r = sampler.sample();
    ASSERT_TRUE(r);
    // Measured from the priming read five seconds ago, not from the throttled call.
    EXPECT_DOUBLE_EQ(r->topByCPU.at(0).cpuPercent, 40.0);
    EXPECT_EQ(r->topByMemory.at(0).residentMemoryBytes, 100u);
}

TEST_F(ProcessSamplerTest, ListsHoldTheTenHeaviestInOrderWithTiesInProcessOrder) {
    for (std::int32_t pid = 30; pid >= 1; --pid)
        add(pid, 0, 1000 + static_cast<std::uint64_t>(pid % 4));
    ProcessSampler sampler;
    const auto r = secondReading(sampler, [&] {
        process(7).userTime = 10 * kSecond; // 200 %: several cores
        process(3).systemTime = kSecond / 2;
        process(12).userTime = kSecond / 2;
        process(5).userTime = kSecond / 4;
    });
    ASSERT_TRUE(r);
    EXPECT_THAT(pids(r->topByCPU), ElementsAre(7, 3, 12, 5, 1, 2, 4, 6, 8, 9));
    EXPECT_DOUBLE_EQ(r->topByCPU[0].cpuPercent, 200.0);
    EXPECT_DOUBLE_EQ(r->topByCPU[1].cpuPercent, 10.0);
    EXPECT_THAT(pids(r->topByMemory), ElementsAre(3, 7, 11, 15, 19, 23, 27, 2, 6, 10));

    fake.kernel->processes->resize(3);
    fake.clock->advance(5);
    const auto few = sampler.sample();
    ASSERT_TRUE(few);
    EXPECT_THAT(few->topByCPU, SizeIs(3));
    EXPECT_THAT(few->topByMemory, SizeIs(3));
}

TEST_F(ProcessSamplerTest, OnlyProcessesSeenByBothReadsGetARow) {
    add(1, 0, 10);
    add(2, 0, 20);
    ProcessSampler sampler;
    const auto r = secondReading(sampler, [&] {
        add(3, 50 * kSecond, 1 << 30);  // started since the priming read
        process(2).inspectable = false; // ended between listing and reading
    });
    ASSERT_TRUE(r);
    EXPECT_THAT(pids(r->topByCPU), ElementsAre(1));
    EXPECT_THAT(pids(r->topByMemory), ElementsAre(1));
}

TEST_F(ProcessSamplerTest, AReusedProcessNumberWithLessCPUTimeShowsZero) {
    add(9, 30 * kSecond, 10);
    ProcessSampler sampler;
    const auto r = secondReading(sampler, [&] { process(9).userTime = kSecond; });
    ASSERT_TRUE(r);
    EXPECT_EQ(r->topByCPU.at(0).cpuPercent, 0.0);
}

TEST_F(ProcessSamplerTest, TimesAreConvertedWithTheTimebase) {
    fake.kernel->timebaseNumer = 125;
    fake.kernel->timebaseDenom = 3;
    add(1, 0, 10);
    ProcessSampler sampler;
    const auto r = secondReading(sampler, [&] { process(1).userTime = 24'000'000; });
    ASSERT_TRUE(r);
    EXPECT_DOUBLE_EQ(r->topByCPU.at(0).cpuPercent, 20.0); // 1 s of 5
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
        {"com.example.bare", "", "", 2},
    };
    ProcessSampler sampler;
    const auto r = secondReading(sampler);
    ASSERT_TRUE(r);
    EXPECT_THAT(
        r->topByMemory,
        ElementsAre(ProcessRow{1, "Firefox", "/usr/share/applications/firefox.desktop", 0, 50},
                    ProcessRow{2, "bare-helper", std::nullopt, 0, 40},
                    ProcessRow{3, "long", std::nullopt, 0, 30},
                    ProcessRow{4, "short", std::nullopt, 0, 20},
                    ProcessRow{5, "comm5", std::nullopt, 0, 10}));
}

TEST_F(ProcessSamplerTest, TheTableHasRoomForFourProcessesStartedDuringTheRead) {
    add(1, 0, 10);
    int next = 100;
    int started = 4;
    fake.kernel->afterProcessTableSizeQuery = [&] {
        for (int i = 0; i < started; ++i)
            add(next++, 0, 1);
    };
    ProcessSampler sampler;
    const auto r = secondReading(sampler);
    ASSERT_TRUE(r);
    EXPECT_THAT(r->topByCPU, SizeIs(5)) << "the first process and the four of the first read";

    started = 5; // the table no longer fits: nothing is read this time
    fake.clock->advance(5);
    const auto overflow = sampler.sample();
    ASSERT_TRUE(overflow);
    EXPECT_THAT(overflow->topByCPU, IsEmpty());
}

TEST_F(ProcessSamplerTest, AWallClockSetBackPrimesAgainRatherThanFallingSilent) {
    add(1, 0, 10);
    ProcessSampler sampler;
    sampler.sample();
    fake.clock->setNow(fake.clock->now() - 3600);
    EXPECT_FALSE(sampler.sample()) << "primes";
    EXPECT_EQ(fake.kernel->processTableReads, 2);
    fake.clock->advance(5);
    EXPECT_TRUE(sampler.sample());
}

TEST_F(ProcessSamplerTest, AnUnreadableTableGivesEmptyListsOncePrimed) {
    add(1, 0, 10);
    ProcessSampler sampler;
    sampler.sample();
    fake.kernel->processes.reset();
    fake.clock->advance(5);
    EXPECT_EQ(sampler.sample(), ProcessReading{});
}

} // namespace
} // namespace quillfen
