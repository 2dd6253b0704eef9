#pragma once

#include "platform/BootTime.h"
#include "platform/CPULoadInfo.h"
#include "platform/Kernel.h"
#include "platform/VMStatistics64.h"

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quillfen::platform::fake {

// Counters set by the test. An absent value makes its call fail.
class FakeKernel final : public Kernel {
public:
    using Ticks = std::array<std::uint32_t, cpuload::kStateCount>; // user, system, idle, nice

    ~FakeKernel() override;

    KernReturn hostProcessorInfo(int flavor, std::uint32_t& processorCount, std::uint32_t*& info,
                                 std::uint32_t& infoCount) override;
    KernReturn vmDeallocate(std::uint32_t* address, std::size_t bytes) override;
    KernReturn hostStatistics(int flavor, std::uint32_t* info, std::uint32_t& count) override;
    KernReturn hostStatistics64(int flavor, std::uint32_t* info, std::uint32_t& count) override;
    KernReturn hostPageSize(std::uint64_t& pageSize) override;
    std::uint64_t physicalMemory() override { return physicalMemoryBytes; }
    int sysctlByName(std::string_view name, void* oldp, std::size_t* oldlenp) override;
    int sysctl(const int* name, unsigned nameLength, void* oldp, std::size_t* oldlenp) override;
    int procPidInfo(int pid, int flavor, std::uint64_t arg, void* buffer, int bufferSize) override;
    KernReturn timebaseInfo(std::uint32_t& numer, std::uint32_t& denom) override;
    int loadAverage(double* samples, int count) override;
    OperatingSystemVersion operatingSystemVersion() override { return osVersion; }

    void setSysctlString(const std::string& name, std::string_view text);
    void setSysctlInt32(const std::string& name, std::int32_t value);

    std::optional<std::vector<Ticks>> perProcessor;
    // Reported by hostProcessorInfo instead of the length of `perProcessor`.
    std::optional<std::uint32_t> claimedProcessorCount;
    std::optional<Ticks> host;
    std::optional<vmstat::VMStatistics64> vmStatistics;
    std::optional<std::uint64_t> pageSize;
    std::uint64_t physicalMemoryBytes = 0;
    // Raw bytes of each readable sysctl name.
    std::map<std::string, std::string, std::less<>> sysctls;

    // One entry of the process table with its task information.
    struct Process {
        std::int32_t pid = 0;
        std::string comm; // the table's command name
        // False makes procPidInfo refuse the process, as for one that has just ended.
        bool inspectable = true;
        std::string shortName;
        std::string longName;
        std::uint64_t residentSize = 0;
        std::uint64_t userTime = 0; // timebase units
        std::uint64_t systemTime = 0;
        std::uint64_t startSeconds = 0;
        std::uint64_t startMicroseconds = 0;
    };
    // Nothing makes the process table unreadable.
    std::optional<std::vector<Process>> processes = std::vector<Process>{};
    // Runs after a size query of the process table, before the caller reads it.
    std::function<void()> afterProcessTableSizeQuery;
    std::uint32_t timebaseNumer = 1;
    std::uint32_t timebaseDenom = 1;
    std::optional<boottime::Timeval> bootTime;
    std::optional<std::array<double, 3>> loadAverages;
    OperatingSystemVersion osVersion;
    int processTableReads = 0;

    // Arrays handed out by hostProcessorInfo and not yet given back.
    std::size_t outstandingArrays() const { return outstanding_.size(); }
    // vmDeallocate calls for an address or length that was never handed out.
    int badDeallocations = 0;
    int hostProcessorInfoCalls = 0;
    int hostStatisticsCalls = 0;

private:
    std::map<std::uint32_t*, std::size_t> outstanding_;
};

} // namespace quillfen::platform::fake
