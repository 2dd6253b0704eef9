#include "sampling/Sampler.h"

#include "PCBListBytes.h"
#include "Table.h"
#include "TempDir.h"
#include "model/AppState.h"
#include "platform/fake/FakePlatform.h"
#include "sensors/SensorBridge.h"
#include "settings/AppSettings.h"

#include <gtest/gtest.h>

#include <set>

namespace quillfen {
namespace {

using platform::RegistryDictionary;

// A machine on which every sampler has something to report, so each stage shows in the
// snapshot when it runs: counters move between the first and second tick.
class SamplerTest : public ::testing::Test {
protected:
    SamplerTest() {
        fake.files->groupContainersRoot = dir.path();
        fake.kernel->pageSize = 4096;
        fake.kernel->physicalMemoryBytes = 16ull << 30;
        fake.registry->add("IOAccelerator",
                           RegistryDictionary{{"PerformanceStatistics",
                                               RegistryDictionary{{"Device Utilization %", 40}}}});
        fake.registry->add("IOBlockStorageDriver", disk(0));
        fake.volumes->add("/",
                          platform::MountedVolumeValues{"Linux", 1000, 400, 500, true, true, true});
        fake.powerSources->info =
            platform::PowerSourcesInfo{std::vector<std::optional<platform::PowerSourceDescription>>{
                platform::PowerSourceDescription{{"Type", std::string("InternalBattery")},
                                                 {"Current Capacity", 80}}}};
        feed(0);
        // Made last: the GPU sampler finds its accelerator when it is created.
        sampler = std::make_unique<Sampler>(snapshot);
        sampler->didTick = [this] { ++ticks; };
    }

    static RegistryDictionary disk(std::int64_t bytes) {
        return {
            {"Statistics", RegistryDictionary{{"Bytes (Read)", bytes}, {"Bytes (Write)", bytes}}}};
    }

    // The machine's counters at step n.
    void feed(std::uint32_t n) {
        const platform::fake::FakeKernel::Ticks cpu{100 + 50 * n, 50 + 25 * n, 1000 + 25 * n, 0};
        fake.kernel->perProcessor = std::vector{cpu};
        fake.kernel->host = cpu;
        platform::vmstat::VMStatistics64 vm{};
        vm.freeCount = 1000;
        vm.wireCount = 500;
        vm.internalPageCount = 2000 + n;
        fake.kernel->vmStatistics = vm;
        fake.kernel->sysctls["net.inet.tcp.pcblist_n"] =
            testing::PCBListBytes().stats(1, 1000 * n, 500 * n).end().bytes;
        fake.kernel->sysctls["net.inet.udp.pcblist_n"] =
            testing::PCBListBytes().stats(1, 0, 0).end().bytes;
        fake.registry->add("IOBlockStorageDriver", disk(10'000 * n));
        fake.kernel->processes = std::vector<platform::fake::FakeKernel::Process>{
            {7, "worker", true, "worker", "worker", 1 << 20, 1'000'000'000ull * n, 0}};
        SensorBridge::write(
            SensorsPayload{ThermalReading{55}, FanReading{900, 1}, fake.clock->now(), "1.0"});
    }

    // Two ticks five seconds apart, long enough for every throttle.
    void twoTicks() {
        sampler->start(5);
        fake.queue->runUntilIdle();
        feed(1);
        fake.queue->advance(5);
    }

    testing::TempDir dir;
    platform::fake::FakePlatform fake;
    AppSettings& settings = AppSettings::shared();
    SystemSnapshot snapshot;
    std::unique_ptr<Sampler> sampler;
    int ticks = 0;
};

struct StageCase : testing::Row {
    std::vector<MenuBarMetric> metrics;
    std::set<std::string> stages;
};

class MenuBarOnlyTick : public SamplerTest, public ::testing::WithParamInterface<StageCase> {};

TEST_P(MenuBarOnlyTick, SamplesOnlyWhatTheMenuBarShowsWithoutHistory) {
    settings.setMenuBarMetrics(GetParam().metrics);
    snapshot.setThermal(ThermalReading{1}); // cleared only if the sensors stage runs
    twoTicks();
    const auto& want = GetParam().stages;
    EXPECT_EQ(snapshot.cpu().has_value(), want.contains("cpu"));
    EXPECT_TRUE(!snapshot.cpu() || snapshot.cpu()->perCore.empty()) << "the overall-only variant";
    EXPECT_EQ(snapshot.gpu().has_value(), want.contains("gpu"));
    EXPECT_EQ(snapshot.memory().has_value(), want.contains("memory"));
    EXPECT_EQ(snapshot.network().has_value(), want.contains("network"));
    EXPECT_EQ(snapshot.thermal() == ThermalReading{55}, want.contains("sensors"));
    EXPECT_EQ(snapshot.battery().has_value(), want.contains("battery"));
    EXPECT_FALSE(snapshot.disk());
    EXPECT_TRUE(snapshot.diskUsage().empty());
    EXPECT_FALSE(snapshot.processes());
    const auto& v = snapshot.values();
    EXPECT_EQ(v.cpuUserHistory.count() + v.gpuHistory.count() + v.memoryUsedHistory.count() +
                  v.netInHistory.count() + v.diskReadHistory.count(),
              0);
    EXPECT_EQ(ticks, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MenuBarOnlyTick,
    ::testing::Values(StageCase{"Nothing", {}, {}}, StageCase{"Cpu", {MenuBarMetric::cpu}, {"cpu"}},
                      StageCase{"Gpu", {MenuBarMetric::gpu}, {"gpu"}},
                      StageCase{"Memory", {MenuBarMetric::memory}, {"memory"}},
                      StageCase{"NetUp", {MenuBarMetric::netUp}, {"network"}},
                      StageCase{"NetDown", {MenuBarMetric::netDown}, {"network"}},
                      StageCase{"Temperature", {MenuBarMetric::temperature}, {"sensors"}},
                      StageCase{"Battery", {MenuBarMetric::battery}, {"battery"}},
                      StageCase{"All",
                                {MenuBarMetric::cpu, MenuBarMetric::gpu, MenuBarMetric::memory,
                                 MenuBarMetric::temperature, MenuBarMetric::battery,
                                 MenuBarMetric::netDown},
                                {"cpu", "gpu", "memory", "network", "sensors", "battery"}}),
    ::testing::PrintToStringParamName());

enum class FullBecause { popoverOpen, forced, pausingOff };

class FullTick : public SamplerTest, public ::testing::WithParamInterface<FullBecause> {};

TEST_P(FullTick, SamplesEverythingWithHistories) {
    settings.setMenuBarMetrics({});
    if (GetParam() == FullBecause::popoverOpen) AppState::shared().setPopoverIsOpen(true);
    if (GetParam() == FullBecause::forced) sampler->forceFullSample = true;
    if (GetParam() == FullBecause::pausingOff) settings.setPauseSamplingWhenClosed(false);
    twoTicks();
    ASSERT_TRUE(snapshot.cpu());
    EXPECT_EQ(snapshot.cpu()->perCore.size(), 1u);
    EXPECT_TRUE(snapshot.gpu() && snapshot.memory() && snapshot.network() && snapshot.disk() &&
                snapshot.processes() && snapshot.battery());
    EXPECT_EQ(snapshot.thermal(), ThermalReading{55});
    EXPECT_TRUE(snapshot.sensorsAvailable());
    EXPECT_EQ(snapshot.hasBattery(), true);
    EXPECT_EQ(snapshot.diskUsage().size(), 1u);
    const auto& v = snapshot.values();
    // Difference-based samplers have a reading from the second tick on.
    EXPECT_EQ(v.cpuUserHistory.values(), std::vector<double>{snapshot.cpu()->user});
    EXPECT_EQ(v.cpuSystemHistory.values(), std::vector<double>{snapshot.cpu()->system});
    EXPECT_EQ(v.gpuHistory.values(), (std::vector<double>{0.4, 0.4}));
    EXPECT_EQ(v.memoryUsedHistory.count(), 2);
    EXPECT_EQ(v.netInHistory.values(), std::vector<double>{200});
    EXPECT_EQ(v.netOutHistory.values(), std::vector<double>{100});
    EXPECT_EQ(v.diskReadHistory.values(), std::vector<double>{2000});
    EXPECT_EQ(v.diskWriteHistory.values(), std::vector<double>{2000});
    EXPECT_TRUE(GetParam() != FullBecause::forced || sampler->forceFullSample)
        << "no tick clears it";
}

INSTANTIATE_TEST_SUITE_P(Reasons, FullTick,
                         ::testing::Values(FullBecause::popoverOpen, FullBecause::forced,
                                           FullBecause::pausingOff));

TEST_F(SamplerTest, AStaleHelperPayloadClearsTemperaturesAndFans) {
    sampler->forceFullSample = true;
    sampler->start(5);
    fake.queue->runUntilIdle();
    EXPECT_TRUE(snapshot.sensorsAvailable());
    fake.queue->advance(10); // the helper stopped writing: its file is 10 s old at the next tick
    EXPECT_FALSE(snapshot.thermal());
    EXPECT_FALSE(snapshot.fan());
    EXPECT_FALSE(snapshot.sensorsAvailable());
}

TEST_F(SamplerTest, MemoryOfUnknownTotalAppendsZero) {
    fake.kernel->physicalMemoryBytes = 0;
    SystemSnapshot s;
    Sampler fresh(s);
    fresh.forceFullSample = true;
    fresh.start(1);
    fake.queue->runUntilIdle();
    EXPECT_EQ(s.values().memoryUsedHistory.values(), std::vector<double>{0});
}

TEST_F(SamplerTest, BatteryPresenceStaysUnknownUntilTheSamplerKnows) {
    fake.powerSources->info.reset();
    snapshot.setHasBattery(true);
    sampler->forceFullSample = true;
    twoTicks();
    EXPECT_EQ(snapshot.hasBattery(), true);
}

TEST_F(SamplerTest, StartingAgainLeavesOneLoopAndStopEndsIt) {
    sampler->stop(); // harmless when idle
    sampler->start(1);
    sampler->start(1);
    fake.queue->runUntilIdle();
    EXPECT_EQ(ticks, 1);
    fake.queue->advance(3);
    EXPECT_EQ(ticks, 4);
    sampler->stop();
    fake.queue->advance(3);
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(fake.queue->pendingCount(), 0u);
}

TEST_F(SamplerTest, TheIntervalCountsFromTheEndOfTheTickAndItsCallback) {
    std::vector<double> at;
    sampler->didTick = [&] {
        at.push_back(fake.clock->monotonic());
        fake.clock->advance(0.5); // a slow tick
    };
    sampler->start(1);
    fake.queue->advance(4);
    ASSERT_GE(at.size(), 3u);
    EXPECT_DOUBLE_EQ(at[1] - at[0], 1.5);
    EXPECT_DOUBLE_EQ(at[2] - at[1], 1.5);
}

TEST_F(SamplerTest, ASamplerReleasedWhileItsNextTickIsDueLeavesNothingBehind) {
    sampler->start(1);
    fake.queue->runUntilIdle();
    sampler.reset();
    fake.queue->advance(3); // would touch freed memory if the loop outlived its sampler
    EXPECT_EQ(ticks, 1);
}

TEST_F(SamplerTest, StoppingFromDidTickEndsTheLoop) {
    sampler->didTick = [this] {
        ++ticks;
        sampler->stop();
    };
    sampler->start(1);
    fake.queue->advance(5);
    EXPECT_EQ(ticks, 1);
}

} // namespace
} // namespace quillfen
