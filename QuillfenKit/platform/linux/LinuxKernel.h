#pragma once

#include "platform/Kernel.h"
#include "platform/linux/KernelFile.h"
#include "platform/linux/PCBListBuilder.h"
#include "platform/linux/ProcessTable.h"

#include <array>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quillfen::platform::linux {

// Host counters from procfs and sysfs:
// - CPU load from `stat`: user and nice (guest time included), system with irq and
//   softirq, idle with iowait and steal; the low 32 bits of each. A counter lower than the
//   one reported before is held at its previous value, so no reading sees a backwards step;
//   processors that were never online report zeros.
// - VM statistics from `meminfo` and the zram devices, in pages.
// - sysctl names from `cpuinfo`, the processor lists and the device tree; the network
//   protocols' control-block lists from the interface counters (see PCBListBuilder).
// - The process table and task information from the process folders; timebase 1/1, CPU
//   times being handed over in nanoseconds.
// - Boot time and swap from `stat` and `meminfo`, the model from the firmware tables, the
//   system's version from os-release.
class LinuxKernel final : public Kernel {
public:
    // `pageSize` 0 stands for the system's page size. The first readable os-release file
    // names the system's version.
    LinuxKernel(std::filesystem::path procRoot, std::filesystem::path sysRoot,
                std::uint64_t pageSize = 0,
                std::vector<std::filesystem::path> osReleaseFiles = {"/etc/os-release",
                                                                     "/usr/lib/os-release"});

    KernReturn hostProcessorInfo(int flavor, std::uint32_t& processorCount, std::uint32_t*& info,
                                 std::uint32_t& infoCount) override;
    KernReturn vmDeallocate(std::uint32_t* address, std::size_t bytes) override;
    KernReturn hostStatistics(int flavor, std::uint32_t* info, std::uint32_t& count) override;
    KernReturn hostStatistics64(int flavor, std::uint32_t* info, std::uint32_t& count) override;
    KernReturn hostPageSize(std::uint64_t& pageSize) override;
    std::uint64_t physicalMemory() override;
    int sysctlByName(std::string_view name, void* oldp, std::size_t* oldlenp) override;
    int sysctl(const int* name, unsigned nameLength, void* oldp, std::size_t* oldlenp) override;
    int procPidInfo(int pid, int flavor, std::uint64_t arg, void* buffer, int bufferSize) override;
    KernReturn timebaseInfo(std::uint32_t& numer, std::uint32_t& denom) override;
    int loadAverage(double* samples, int count) override;
    OperatingSystemVersion operatingSystemVersion() override;

    using Counters = std::array<std::uint64_t, 4>; // user, system, idle, nice
    struct ProcessorLine {
        unsigned index;
        Counters counters;
    };

private:
    std::optional<std::string> brandString() const;
    std::optional<std::uint32_t> onlineCount() const;
    struct PerformanceLevels {
        std::uint32_t performance = 0;
        std::uint32_t efficiency = 0;
    };
    std::optional<PerformanceLevels> performanceLevels() const;
    std::uint32_t physicalCores(const std::vector<unsigned>& cpus) const;
    std::uint64_t zramBytes();
    std::optional<std::string> swapUsage() const;
    std::optional<std::uint64_t> bootSeconds() const;
    std::optional<std::string> bootTime() const;
    void letGoOfIdleStatFiles();

    std::filesystem::path procRoot_;
    std::filesystem::path sysRoot_;
    std::filesystem::path statPath_;
    std::filesystem::path meminfoPath_;
    std::filesystem::path cpuDir_;
    bool liveSys_;
    // Read every second or so: kept open where the trees are the live ones.
    KernelFile statFile_;
    KernelFile meminfoFile_;
    KernelFile loadavgFile_;
    KernelFile presentFile_;
    std::uint64_t pageSize_;
    std::vector<Counters> heldPerCPU_;
    std::vector<ProcessorLine> processorLines_; // reused by every read of stat
    // The zram devices' statistics files, and the reads since they were last looked up.
    std::vector<KernelFile> zramStats_;
    unsigned readsSinceZramLookup_;
    Counters heldHost_{};
    PCBListBuilder pcbLists_;
    ProcRoot processes_;
    // The stat lines read with the latest process table. A caller that lists the processes
    // and then asks for each one's task information, as the process sampler does, is
    // answered from them: each file is read once, not twice. A line serves once, and only
    // shortly after the table was read.
    StatLines tableStatLines_;
    // The processes' stat files, kept open between tables on the live procfs. The readers of
    // the machine's CPU and memory totals, one of which runs every second in most menu bars
    // while the process list goes unwatched, let them go once they have been idle a while.
    StatFiles statFiles_;
    std::chrono::steady_clock::time_point tableReadAt_;
    // The processes listed to answer the latest size query of the table, which the read that
    // follows it uses rather than listing them again.
    std::vector<std::int32_t> sizedPids_;
    std::chrono::steady_clock::time_point sizedAt_;
    // The long names of the processes, each looked up once in its life.
    LongNameCache longNames_;
    // Boot time as first read, the base of the processes' start times: fixed, so that a
    // process keeps its start time when the clock is set.
    std::optional<std::uint64_t> processBootTime_;
    std::vector<std::filesystem::path> osReleaseFiles_;
    std::uint64_t clockTicksPerSecond_;
};

} // namespace quillfen::platform::linux
