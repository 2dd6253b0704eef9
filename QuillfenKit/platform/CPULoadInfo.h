#pragma once

// CPU load counters as the host calls hand them over: four 32-bit tick counters per
// processor (and once for the whole host), indexed by CPU state.

#include <cstddef>
#include <cstdint>

namespace quillfen::platform::cpuload {

// Flavours of the host calls.
inline constexpr int kProcessorCPULoadInfo = 2; // per processor, host_processor_info
inline constexpr int kHostCPULoadInfo = 3;      // whole host, host_statistics

// Indices of the counters within one record.
inline constexpr std::size_t kStateUser = 0;
inline constexpr std::size_t kStateSystem = 1;
inline constexpr std::size_t kStateIdle = 2;
inline constexpr std::size_t kStateNice = 3;
inline constexpr std::size_t kStateCount = 4;

// Length of one record in 32-bit words, and of the host-wide answer.
inline constexpr std::uint32_t kHostCPULoadInfoCount = kStateCount;

struct CPULoadInfo {
    std::uint32_t cpuTicks[kStateCount];
};

static_assert(sizeof(CPULoadInfo) == 16);
static_assert(offsetof(CPULoadInfo, cpuTicks) == 0);
static_assert(kStateUser * 4 == 0 && kStateSystem * 4 == 4 && kStateIdle * 4 == 8 &&
              kStateNice * 4 == 12);

} // namespace quillfen::platform::cpuload
