#include "companions/HelperApp.h"

#include "platform/linux/LinuxUserDefaults.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using namespace quillfen;

// A temporary home with the helper installed (desktop entry and bundle), for the queries the
// settings window and `quillfen helper status` make.
class InstalledHome {
public:
    InstalledHome() {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "quillfen-bench-XXXXXX").string();
        root_ = ::mkdtemp(tmpl.data());
        const auto bundle = root_ / "lib" / "Quillfen Helper.app";
        std::filesystem::create_directories(bundle / "Contents" / "MacOS");
        std::ofstream(bundle / "Contents" / "Info.json")
            << R"({"CFBundleIdentifier":"com.brenvoll.pellgrove.helper","CFBundleShortVersionString":"1.0"})";
        std::filesystem::create_directories(root_ / "share" / "applications");
        std::ofstream(root_ / "share" / "applications" / "com.brenvoll.pellgrove.helper.desktop")
            << "[Desktop Entry]\nType=Application\nExec=\"" << bundle.string()
            << "/Contents/MacOS/quillfen-helper\"\n";
        ::setenv("XDG_DATA_HOME", (root_ / "share").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    }
    ~InstalledHome() { std::filesystem::remove_all(root_); }
    const std::filesystem::path& root() const { return root_; }

private:
    std::filesystem::path root_;
};

// One look through /proc for the helper's processes: the cost of every `isRunning`.
void BM_HelperApp_IsRunning(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(HelperApp::isRunning());
}
BENCHMARK(BM_HelperApp_IsRunning)->Unit(benchmark::kMicrosecond);

// Everything `quillfen helper status` asks.
void BM_HelperApp_Status(benchmark::State& state) {
    InstalledHome home;
    for (auto _ : state) {
        benchmark::DoNotOptimize(HelperApp::installedURL());
        benchmark::DoNotOptimize(HelperApp::installedVersion());
        benchmark::DoNotOptimize(HelperApp::isRunning());
        benchmark::DoNotOptimize(HelperApp::runningVersion());
        benchmark::DoNotOptimize(HelperApp::launchAtLogin());
        benchmark::DoNotOptimize(HelperApp::isSupported(HelperApp::effectiveVersion()));
    }
}
BENCHMARK(BM_HelperApp_Status)->Unit(benchmark::kMicrosecond);

// A read of the shared defaults, which first looks for other processes' changes.
void BM_UserDefaults_Read(benchmark::State& state) {
    InstalledHome home;
    platform::linux::LinuxUserDefaults store(home.root() / "defaults.json");
    store.setBool(true, "helperAutoStartedAfterInstall");
    for (auto _ : state)
        benchmark::DoNotOptimize(store.boolForKey("helperAutoStartedAfterInstall"));
}
BENCHMARK(BM_UserDefaults_Read)->Unit(benchmark::kMicrosecond);

} // namespace
