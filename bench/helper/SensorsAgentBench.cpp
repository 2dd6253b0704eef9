#include "SensorsAgent.h"

#include "platform/fake/FakePlatform.h"
#include "sensors/SensorBridge.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

using namespace quillfen;

// A private folder (mode 0700, as mkdtemp makes it) under `base`, removed at the end.
class BenchFolder {
public:
    explicit BenchFolder(const std::filesystem::path& base) {
        std::string tmpl = (base / "quillfen-bench-XXXXXX").string();
        if (::mkdtemp(tmpl.data())) path_ = tmpl;
    }
    ~BenchFolder() {
        if (path_.empty()) return;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// One timer firing of the helper on a real file system: read control.json from the
// container, sample, encode and replace sensors.json. The samplers report nothing, so this
// is the helper's own cost. The container is on the disk that holds the temporary folder;
// the runtime folder, where the helper publishes, is a private folder on tmpfs (/dev/shm,
// since /run/user/<uid> need not exist where the benchmark runs). Without a runtime folder
// the helper falls back to replacing the file in the container on the disk, which costs the
// kernel several times more on a journalling file system.
void helperTick(benchmark::State& state, bool withRuntimeFolder) {
    BenchFolder container(std::filesystem::temp_directory_path());
    BenchFolder runtime("/dev/shm");
    if (container.path().empty() || runtime.path().empty()) {
        state.SkipWithError("cannot create the benchmark's folders");
        return;
    }
    platform::fake::FakePlatform fake;
    fake.files->groupContainersRoot = container.path();
    if (withRuntimeFolder) fake.files->runtimeRoot = runtime.path();
    fake.mainBundle->info = json::Json{{"CFBundleShortVersionString", "1.0"}};
    SensorBridge::writeControl(SensorControl{false, std::nullopt});
    auto agent = std::make_shared<SensorsAgent>();
    fake.application->setDelegate(agent.get());
    fake.application->run();
    for (auto _ : state)
        fake.queue->advance(1.0);
}

void BM_HelperTick_RuntimeFolder(benchmark::State& state) {
    helperTick(state, true);
}
void BM_HelperTick_ContainerOnDisk(benchmark::State& state) {
    helperTick(state, false);
}

BENCHMARK(BM_HelperTick_RuntimeFolder)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_HelperTick_ContainerOnDisk)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
