#include "platform/fake/FakePlatform.h"
#include "platform/linux/LinuxKernel.h"
#include "platform/linux/LinuxRegistry.h"
#include "sampling/CPUSampler.h"
#include "sampling/GPUSampler.h"
#include "sampling/MemorySampler.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace quillfen;
namespace fs = std::filesystem;

const fs::path kDesktop = fs::path(QUILLFEN_FIXTURES) / "machines/desktop-24thread";

// The Linux ports on the 24-thread desktop's captured files, or on this machine.
struct Machine {
    explicit Machine(const fs::path& proc, const fs::path& sys) {
        fake.platform.kernel = std::make_shared<platform::linux::LinuxKernel>(proc, sys);
        fake.platform.registry = std::make_shared<platform::linux::LinuxRegistry>(
            sys, fs::path(QUILLFEN_FIXTURES) / "share");
    }
    platform::fake::FakePlatform fake;
};

template <typename Sample> void run(benchmark::State& state, Sample sample) {
    for (auto _ : state) {
        auto reading = sample();
        benchmark::DoNotOptimize(reading);
    }
}

void BM_CPUSampler_OverallOnly(benchmark::State& state) {
    Machine m(kDesktop / "proc", kDesktop / "sys");
    CPUSampler sampler;
    run(state, [&] { return sampler.sampleOverallOnly(); });
}
BENCHMARK(BM_CPUSampler_OverallOnly);

void BM_CPUSampler_Full24Threads(benchmark::State& state) {
    Machine m(kDesktop / "proc", kDesktop / "sys");
    CPUSampler sampler;
    run(state, [&] { return sampler.sample(); });
}
BENCHMARK(BM_CPUSampler_Full24Threads);

void BM_MemorySampler(benchmark::State& state) {
    Machine m(kDesktop / "proc", kDesktop / "sys");
    MemorySampler sampler;
    run(state, [&] { return sampler.sample(); });
}
BENCHMARK(BM_MemorySampler);

// Every call lands outside the 2-second window, so each one reads the card.
void BM_GPUSampler_AMD(benchmark::State& state) {
    Machine m(kDesktop / "proc", kDesktop / "sys");
    GPUSampler sampler;
    run(state, [&] {
        m.fake.clock->advance(2);
        return sampler.sample();
    });
}
BENCHMARK(BM_GPUSampler_AMD);

// The same on this machine's own /proc and /sys, for comparison.
void BM_CPUSampler_OverallOnly_ThisMachine(benchmark::State& state) {
    Machine m("/proc", "/sys");
    CPUSampler sampler;
    run(state, [&] { return sampler.sampleOverallOnly(); });
}
BENCHMARK(BM_CPUSampler_OverallOnly_ThisMachine);

void BM_CPUSampler_Full_ThisMachine(benchmark::State& state) {
    Machine m("/proc", "/sys");
    CPUSampler sampler;
    run(state, [&] { return sampler.sample(); });
}
BENCHMARK(BM_CPUSampler_Full_ThisMachine);

void BM_MemorySampler_ThisMachine(benchmark::State& state) {
    Machine m("/proc", "/sys");
    MemorySampler sampler;
    run(state, [&] { return sampler.sample(); });
}
BENCHMARK(BM_MemorySampler_ThisMachine);

} // namespace
