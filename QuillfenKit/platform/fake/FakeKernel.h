#pragma once

#include "platform/CPULoadInfo.h"
#include "platform/Kernel.h"
#include "platform/VMStatistics64.h"

#include <array>
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
