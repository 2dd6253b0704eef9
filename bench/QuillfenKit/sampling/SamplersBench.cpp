#include "ProcTree.h"
#include "TempDir.h"
#include "platform/fake/FakePlatform.h"
#include "platform/linux/FileIO.h"
#include "platform/linux/LinuxKernel.h"
#include "platform/linux/LinuxPowerSources.h"
#include "platform/linux/LinuxRegistry.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/ProcessTable.h"
#include "sampling/BatterySampler.h"
#include "sampling/CPUSampler.h"
#include "sampling/GPUSampler.h"
#include "sampling/MemorySampler.h"
#include "sampling/ProcessSampler.h"

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

// --- Processes ------------------------------------------------------------------------------

// A procfs tree of 1,000 processes, a third of them kernel threads, as a desktop has them.
struct ProcessTree {
    ProcessTree() {
        for (std::int32_t pid = 1; pid <= 1000; ++pid) {
            const bool kernelThread = pid % 3 == 0;
            const std::string name = "proc" + std::to_string(pid);
            testing::writeProcess(
                dir.path(),
                {pid, name, kernelThread ? std::nullopt : std::optional("/usr/bin/" + name),
                 kernelThread ? "" : "/usr/bin/" + name + std::string(1, '\0'),
                 static_cast<std::uint64_t>(pid) * 7, 3, static_cast<std::uint64_t>(pid) * 11});
        }
    }
    testing::TempDir dir;
};

// The sampler on a procfs tree with the Linux kernel and workspace; every call is a full read.
void sampleProcesses(benchmark::State& state, const fs::path& proc) {
    platform::fake::FakePlatform fake;
    fake.platform.kernel = std::make_shared<platform::linux::LinuxKernel>(proc, "/sys");
    fake.platform.workspace =
        std::make_shared<platform::linux::LinuxWorkspace>(std::vector<fs::path>{}, proc);
    ProcessSampler sampler;
    sampler.sample();
    run(state, [&] {
        fake.clock->advance(5);
        return sampler.sample();
    });
    state.counters["processes"] =
        static_cast<double>(platform::linux::listProcesses(platform::linux::ProcRoot(proc)).size());
}

// The least any reader can do: list the processes and read each one's stat once.
void readStatFiles(benchmark::State& state, const fs::path& proc) {
    const platform::linux::ProcRoot root(proc);
    run(state, [&] {
        std::size_t bytes = 0;
        for (const auto pid : platform::linux::listProcesses(root))
            if (const auto text = readFile(proc / std::to_string(pid) / "stat", 4096))
                bytes += text->size();
        return bytes;
    });
}

void BM_ProcessSampler_1000Processes(benchmark::State& state) {
    ProcessTree tree;
    sampleProcesses(state, tree.dir.path());
}
BENCHMARK(BM_ProcessSampler_1000Processes)->Unit(benchmark::kMillisecond);

void BM_ProcessStatFloor_1000Processes(benchmark::State& state) {
    ProcessTree tree;
    readStatFiles(state, tree.dir.path());
}
BENCHMARK(BM_ProcessStatFloor_1000Processes)->Unit(benchmark::kMillisecond);

void BM_ProcessSampler_ThisMachine(benchmark::State& state) {
    sampleProcesses(state, "/proc");
}
BENCHMARK(BM_ProcessSampler_ThisMachine)->Unit(benchmark::kMillisecond);

void BM_ProcessStatFloor_ThisMachine(benchmark::State& state) {
    readStatFiles(state, "/proc");
}
BENCHMARK(BM_ProcessStatFloor_ThisMachine)->Unit(benchmark::kMillisecond);

// --- Battery --------------------------------------------------------------------------------

// Every call lands outside the 5-second window, so each one reads the supplies.
void BM_BatterySampler_Laptop(benchmark::State& state) {
    const fs::path sys = fs::path(QUILLFEN_FIXTURES) / "power_supply/laptop-charging";
    platform::fake::FakePlatform fake;
    fake.platform.powerSources = std::make_shared<platform::linux::LinuxPowerSources>(sys);
    fake.platform.registry = std::make_shared<platform::linux::LinuxRegistry>(sys);
    BatterySampler sampler;
    run(state, [&] {
        fake.clock->advance(5);
        return sampler.sample();
    });
}
BENCHMARK(BM_BatterySampler_Laptop);

} // namespace
