#include "FanSampler.h"
#include "SensorsAgent.h"
#include "ThermalSampler.h"
#include "platform/fake/FakePlatform.h"
#include "platform/linux/LinuxHIDEventSystem.h"
#include "platform/linux/LinuxSMC.h"
#include "sensors/SensorBridge.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

using namespace quillfen;

// The fans and sensors of a captured AMD desktop: three fans, a dozen temperature channels,
// two DIMM sensors. As tests read such a tree, every file is opened for each read; with
// `keptOpen` the files stay open between reads, as they do on the live sysfs.
struct AmdDesktop {
    explicit AmdDesktop(bool keptOpen = false) {
        const auto root = std::filesystem::path(QUILLFEN_FIXTURES) / "sysfs" / "amd-desktop";
        fake.platform.smc = std::make_shared<platform::linux::LinuxSMC>(root, keptOpen);
        fake.platform.hidEventSystem =
            std::make_shared<platform::linux::LinuxHIDEventSystem>(root, keptOpen);
    }
    platform::fake::FakePlatform fake;
};

void BM_FanSampler(benchmark::State& state) {
    AmdDesktop machine;
    FanSampler sampler;
    sampler.sample(); // count and range are read once, on the first call
    for (auto _ : state)
        benchmark::DoNotOptimize(sampler.sample());
}
BENCHMARK(BM_FanSampler)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ThermalSamplerFull(benchmark::State& state) {
    AmdDesktop machine;
    ThermalSampler sampler;
    sampler.sample(); // the memory keys are probed once, on the first call
    for (auto _ : state) {
        machine.fake.clock->advance(ThermalSampler::minimumInterval);
        benchmark::DoNotOptimize(sampler.sample());
    }
}
BENCHMARK(BM_ThermalSamplerFull)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// A second of the helper with real samplers: control from the container on the disk, fans
// every tick, temperatures every other tick, encode and replace sensors.json in the runtime
// folder, a private folder on tmpfs (/dev/shm, since /run/user/<uid> need not exist where
// the benchmark runs).
void helperTickWithSensors(benchmark::State& state, bool keptOpen) {
    AmdDesktop machine(keptOpen);
    std::string container = (std::filesystem::temp_directory_path() / "quillfen-bench-XXXXXX");
    std::string runtime = "/dev/shm/quillfen-bench-XXXXXX";
    if (!::mkdtemp(container.data()) || !::mkdtemp(runtime.data())) {
        state.SkipWithError("mkdtemp failed");
        return;
    }
    machine.fake.files->groupContainersRoot = container;
    machine.fake.files->runtimeRoot = runtime;
    machine.fake.mainBundle->info = json::Json{{"CFBundleShortVersionString", "1.0"}};
    SensorBridge::writeControl(SensorControl{false, std::nullopt});
    {
        auto agent = std::make_shared<SensorsAgent>();
        machine.fake.application->setDelegate(agent.get());
        machine.fake.application->run();
        for (auto _ : state)
            machine.fake.queue->advance(1.0);
    }
    std::filesystem::remove_all(container);
    std::filesystem::remove_all(runtime);
}

void BM_HelperTickWithSensors(benchmark::State& state) {
    helperTickWithSensors(state, false);
}
void BM_HelperTickWithSensors_KeptOpen(benchmark::State& state) {
    helperTickWithSensors(state, true);
}
BENCHMARK(BM_HelperTickWithSensors)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_HelperTickWithSensors_KeptOpen)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
