#include "model/SnapshotDocument.h"
#include "model/SystemSnapshot.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeMainQueue.h"
#include "platform/linux/LinuxPlatform.h"
#include "sampling/Sampler.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>

namespace {

using namespace quillfen;

double threadCPUMicroseconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

// Ticks of the sampling loop on this machine's own /proc and /sys, one simulated second
// apart, so the throttled samplers (GPU 2 s, volumes, processes and battery 5 s) run on the
// ticks they would run on. Reports the median CPU time of one tick.
void ticksOnThisMachine(benchmark::State& state, bool full) {
    auto system = platform::linux::makePlatform();
    const auto clock = std::make_shared<platform::fake::FakeClock>();
    const auto queue = std::make_shared<platform::fake::FakeMainQueue>(*clock);
    system.clock = clock;
    system.mainQueue = queue;
    platform::ScopedPlatform scope(system);
    SystemSnapshot snapshot;
    Sampler sampler(snapshot);
    sampler.forceFullSample = full; // otherwise the menu bar's default: CPU only
    sampler.start(1);
    queue->runUntilIdle();
    std::vector<double> ticks;
    for (auto _ : state) {
        const double before = threadCPUMicroseconds();
        queue->advance(1);
        ticks.push_back(threadCPUMicroseconds() - before);
    }
    std::nth_element(ticks.begin(), ticks.begin() + ticks.size() / 2, ticks.end());
    state.counters["median_tick_us"] = ticks[ticks.size() / 2];
}

void BM_MenuBarOnlyTickCPU(benchmark::State& state) {
    ticksOnThisMachine(state, false);
}
void BM_FullTick(benchmark::State& state) {
    ticksOnThisMachine(state, true);
}
BENCHMARK(BM_MenuBarOnlyTickCPU)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullTick)->Unit(benchmark::kMicrosecond)->Iterations(2000);

// A snapshot as full as a busy machine makes it: 24 cores, ten processes in each list,
// every history full.
SnapshotValues busySnapshot() {
    SnapshotValues s;
    s.cpu = CPUReading{std::vector<double>(24, 0.123456789), 0.3, 0.2, 0.1, 0.7};
    s.gpu = GPUReading{0.42, 0.3, 0.1, 72, "AMD Radeon RX 6800 XT"};
    s.memory = MemoryReading{64ULL << 30, 12ULL << 30, 3ULL << 30, 1ULL << 30, 40ULL << 30};
    s.network = NetworkReading{123456, 65432};
    s.disk = DiskReading{2345678, 345678};
    for (int i = 0; i < 4; ++i)
        s.diskUsage.push_back(
            {"Volume " + std::to_string(i), "/mnt/v" + std::to_string(i), 1ULL << 40, 1ULL << 39});
    ProcessReading p;
    for (int i = 0; i < 10; ++i) {
        p.topByCPU.push_back({1000 + i, "process-" + std::to_string(i),
                              std::filesystem::path("/usr/share/applications/app.desktop"),
                              12.345 * i, 123456789ULL * i});
        p.topByMemory.push_back(p.topByCPU.back());
    }
    s.processes = p;
    s.thermal = ThermalReading{61.5, 50.25, 42.5, 30.1, 38.85};
    s.fan = FanReading{1045, 3, std::vector<double>{1045, 0, 870}, 200, 2000};
    s.battery = BatteryReading{0.8, true, true, 42, 12.5, 300, 0.93};
    s.hasBattery = true;
    s.sensorsAvailable = true;
    for (int i = 0; i < 60; ++i)
        for (auto* h : {&s.cpuUserHistory, &s.cpuSystemHistory, &s.gpuHistory, &s.memoryUsedHistory,
                        &s.netInHistory, &s.netOutHistory, &s.diskReadHistory, &s.diskWriteHistory})
            h->append(0.0123456789 * i * (i % 7));
    return s;
}

void BM_SnapshotEncode(benchmark::State& state) {
    const auto s = busySnapshot();
    for (auto _ : state)
        benchmark::DoNotOptimize(json::encode(s));
}
BENCHMARK(BM_SnapshotEncode)->Unit(benchmark::kMicrosecond);

// The document of one tick as the service keeps it. While only the menu bar is shown (0) one
// reading changes; in full sampling (1) every reading, the processes and all eight histories do.
void BM_SnapshotDocumentAfterTick(benchmark::State& state) {
    using H = SystemSnapshot::History;
    const bool full = state.range(0) != 0;
    const auto busy = busySnapshot();
    SystemSnapshot snapshot;
    snapshot.apply(busy);
    SnapshotDocument document(snapshot);
    double next = 0.5;
    for (auto _ : state) {
        next += 0.0123;
        auto cpu = *busy.cpu;
        cpu.user = next;
        snapshot.setCpu(cpu);
        if (full) {
            auto memory = *busy.memory;
            memory.app += 4096;
            snapshot.setMemory(memory);
            auto processes = *busy.processes;
            processes.topByCPU.front().cpuPercent = next;
            snapshot.setProcesses(processes);
            for (const H h : {H::cpuUser, H::cpuSystem, H::gpu, H::memoryUsed, H::netIn, H::netOut,
                              H::diskRead, H::diskWrite})
                snapshot.append(h, next);
        }
        benchmark::DoNotOptimize(document.text().data());
    }
}
BENCHMARK(BM_SnapshotDocumentAfterTick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_SnapshotDecode(benchmark::State& state) {
    const auto text = *json::encode(busySnapshot());
    state.counters["bytes"] = static_cast<double>(text.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(json::decode<SnapshotValues>(std::string_view(text)));
}
BENCHMARK(BM_SnapshotDecode)->Unit(benchmark::kMicrosecond);

// The document reader against nlohmann's own parser on the same text: the reason the kit keeps
// a reader of its own (the parser's lexer copies every token into a buffer first).
void BM_SnapshotParse(benchmark::State& state) {
    const auto text = *json::encode(busySnapshot());
    for (auto _ : state)
        benchmark::DoNotOptimize(json::parse(text));
}
BENCHMARK(BM_SnapshotParse)->Unit(benchmark::kMicrosecond);

void BM_SnapshotParseGeneral(benchmark::State& state) {
    const auto text = *json::encode(busySnapshot());
    for (auto _ : state)
        benchmark::DoNotOptimize(json::Json::parse(text, nullptr, false));
}
BENCHMARK(BM_SnapshotParseGeneral)->Unit(benchmark::kMicrosecond);

} // namespace
