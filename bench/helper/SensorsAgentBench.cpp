#include "SensorsAgent.h"

#include "platform/fake/FakePlatform.h"
#include "sensors/SensorBridge.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

using namespace quillfen;

// One timer firing of the helper on a real file system: read control.json, sample, encode
// and replace sensors.json. The samplers report nothing, so this is the helper's own cost.
// Run once in memory (tmpfs) and once on the disk that holds the temporary folder, because
// replacing a file costs the kernel several times more on a journalling file system.
void helperTick(benchmark::State& state, const std::filesystem::path& base) {
    std::string tmpl = (base / "quillfen-bench-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) {
        state.SkipWithError(("cannot create a folder in " + base.string()).c_str());
        return;
    }
    {
        platform::fake::FakePlatform fake;
        fake.files->groupContainersRoot = tmpl;
        fake.mainBundle->info = json::Json{{"CFBundleShortVersionString", "1.0"}};
        SensorBridge::writeControl(SensorControl{false, std::nullopt});
        auto agent = std::make_shared<SensorsAgent>();
        fake.application->setDelegate(agent.get());
        fake.application->run();
        for (auto _ : state)
            fake.queue->advance(1.0);
    }
    std::filesystem::remove_all(tmpl);
}

void BM_HelperTick_Memory(benchmark::State& state) {
    helperTick(state, "/dev/shm");
}
void BM_HelperTick_Disk(benchmark::State& state) {
    helperTick(state, std::filesystem::temp_directory_path());
}

BENCHMARK(BM_HelperTick_Memory)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_HelperTick_Disk)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
