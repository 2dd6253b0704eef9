#include "platform/fake/FakePlatform.h"
#include "platform/linux/LinuxKernel.h"
#include "platform/linux/LinuxRegistry.h"
#include "platform/linux/LinuxVolumes.h"
#include "sampling/DiskSampler.h"
#include "sampling/DiskUsageSampler.h"
#include "sampling/NetworkSampler.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using namespace quillfen;
namespace fs = std::filesystem;

void write(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p) << text;
}

// A machine with 8 network interfaces (4 physical), 4 disks and 30 mounts, in memory.
struct Machine {
    Machine() {
        std::string tmpl = "/dev/shm/quillfen-bench-XXXXXX";
        root = ::mkdtemp(tmpl.data());
        std::string netdev = "Inter-| Receive | Transmit\n face |bytes packets|bytes packets\n";
        for (int i = 0; i < 8; ++i) {
            const std::string name = (i < 4 ? "eth" : "veth") + std::to_string(i);
            netdev += "  " + name + ": 58231764512 41876543 0 412 0 0 0 20012 4123456789 " +
                      "12876543 0 0 0 0 0 0\n";
            write(root / "sys/class/net" / name / "type", "1\n");
            if (i < 4) write(root / "sys/class/net" / name / "device/vendor", "0x8086\n");
        }
        write(root / "proc/net/dev", netdev);
        for (const char* disk : {"nvme0n1", "nvme1n1", "sda", "sdb"})
            write(root / "sys/block" / disk / "stat",
                  "  182377 3621 29893762 63140 421900 338171 91422208 1119542 0 346336 "
                  "1198021 0 0 0 0 49384 15338\n");
        std::string mounts;
        for (int i = 0; i < 30; ++i) {
            const bool disk = i % 5 == 0;
            mounts += std::to_string(30 + i) + " 1 " + (disk ? "259:" : "0:") + std::to_string(i) +
                      " / " + (i == 0 ? "/" : "/mnt/m" + std::to_string(i)) +
                      " rw,relatime shared:1 - " + (disk ? "ext4 /dev/nvme0n1p" : "tmpfs tmpfs") +
                      std::to_string(i) + " rw\n";
        }
        write(root / "proc/self/mountinfo", mounts);
        write(root / "etc/os-release", "NAME=\"Debian GNU/Linux\"\n");
        fake.platform.kernel =
            std::make_shared<platform::linux::LinuxKernel>(root / "proc", root / "sys");
        fake.platform.registry =
            std::make_shared<platform::linux::LinuxRegistry>(root / "sys", root);
        fake.platform.volumes =
            std::make_shared<platform::linux::LinuxVolumes>(root / "proc", root / "sys", root);
    }
    ~Machine() { fs::remove_all(root); }

    fs::path root;
    platform::fake::FakePlatform fake;
};

void BM_NetworkSampler(benchmark::State& state) {
    Machine machine;
    NetworkSampler sampler;
    for (auto _ : state) {
        machine.fake.clock->advance(1);
        benchmark::DoNotOptimize(sampler.sample());
    }
}
BENCHMARK(BM_NetworkSampler)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_DiskSampler(benchmark::State& state) {
    Machine machine;
    DiskSampler sampler;
    for (auto _ : state) {
        machine.fake.clock->advance(1);
        benchmark::DoNotOptimize(sampler.sample());
    }
}
BENCHMARK(BM_DiskSampler)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_DiskUsageSampler(benchmark::State& state) {
    Machine machine;
    DiskUsageSampler sampler;
    for (auto _ : state) {
        machine.fake.clock->advance(DiskUsageSampler::minimumInterval);
        benchmark::DoNotOptimize(sampler.sample());
    }
}
BENCHMARK(BM_DiskUsageSampler)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The same samplers on this machine's own /proc and /sys.
void BM_NetworkSamplerThisMachine(benchmark::State& state) {
    platform::fake::FakePlatform fake;
    fake.platform.kernel = std::make_shared<platform::linux::LinuxKernel>("/proc", "/sys");
    NetworkSampler sampler;
    for (auto _ : state) {
        fake.clock->advance(1);
        benchmark::DoNotOptimize(sampler.sample());
    }
}
BENCHMARK(BM_NetworkSamplerThisMachine)->Unit(benchmark::kMicrosecond);

void BM_DiskUsageSamplerThisMachine(benchmark::State& state) {
    platform::fake::FakePlatform fake;
    fake.platform.volumes = std::make_shared<platform::linux::LinuxVolumes>("/proc", "/sys");
    DiskUsageSampler sampler;
    for (auto _ : state) {
        fake.clock->advance(DiskUsageSampler::minimumInterval);
        benchmark::DoNotOptimize(sampler.sample());
    }
}
BENCHMARK(BM_DiskUsageSamplerThisMachine)->Unit(benchmark::kMicrosecond);

} // namespace
