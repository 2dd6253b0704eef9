#pragma once

#include "platform/Kernel.h"
#include "platform/linux/PCBListBuilder.h"

#include <array>
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
class LinuxKernel final : public Kernel {
public:
    // `pageSize` 0 stands for the system's page size.
    LinuxKernel(std::filesystem::path procRoot, std::filesystem::path sysRoot,
                std::uint64_t pageSize = 0);

    KernReturn hostProcessorInfo(int flavor, std::uint32_t& processorCount, std::uint32_t*& info,
                                 std::uint32_t& infoCount) override;
    KernReturn vmDeallocate(std::uint32_t* address, std::size_t bytes) override;
    KernReturn hostStatistics(int flavor, std::uint32_t* info, std::uint32_t& count) override;
    KernReturn hostStatistics64(int flavor, std::uint32_t* info, std::uint32_t& count) override;
    KernReturn hostPageSize(std::uint64_t& pageSize) override;
    std::uint64_t physicalMemory() override;
    int sysctlByName(std::string_view name, void* oldp, std::size_t* oldlenp) override;

    using Counters = std::array<std::uint64_t, 4>; // user, system, idle, nice

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

    std::filesystem::path procRoot_;
    std::filesystem::path sysRoot_;
    std::filesystem::path statPath_;
    std::filesystem::path meminfoPath_;
    std::filesystem::path cpuDir_;
    std::uint64_t pageSize_;
    std::vector<Counters> heldPerCPU_;
    // The zram devices' statistics files, and the reads since they were last looked up.
    std::vector<std::filesystem::path> zramStats_;
    unsigned readsSinceZramLookup_;
    Counters heldHost_{};
    PCBListBuilder pcbLists_;
};

} // namespace quillfen::platform::linux
