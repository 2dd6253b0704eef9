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
void BM_HelperTick(benchmark::State& state) {
    std::string tmpl = (std::filesystem::temp_directory_path() / "quillfen-bench-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) {
        state.SkipWithError("mkdtemp failed");
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
BENCHMARK(BM_HelperTick)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
