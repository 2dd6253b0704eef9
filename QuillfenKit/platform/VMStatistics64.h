#pragma once

// The 64-bit virtual-memory statistics record (160 bytes), as host_statistics64 fills it.
// Page counts are 32-bit; event counters are 64-bit.

#include <cstddef>
#include <cstdint>

namespace quillfen::platform::vmstat {

inline constexpr int kHostVMInfo64 = 4;
// Length of the record in 32-bit words.
inline constexpr std::uint32_t kHostVMInfo64Count = 40;

struct alignas(8) VMStatistics64 {
    std::uint32_t freeCount;
    std::uint32_t activeCount;
    std::uint32_t inactiveCount;
    std::uint32_t wireCount;
    std::uint64_t zeroFillCount;
    std::uint64_t reactivations;
    std::uint64_t pageins;
    std::uint64_t pageouts;
    std::uint64_t faults;
    std::uint64_t cowFaults;
    std::uint64_t lookups;
    std::uint64_t hits;
    std::uint64_t purges;
    std::uint32_t purgeableCount;
    std::uint32_t speculativeCount;
    std::uint64_t decompressions;
    std::uint64_t compressions;
    std::uint64_t swapins;
    std::uint64_t swapouts;
    std::uint32_t compressorPageCount;
    std::uint32_t throttledCount;
    std::uint32_t externalPageCount;
    std::uint32_t internalPageCount;
    std::uint64_t totalUncompressedPagesInCompressor;
    std::uint64_t reserved;
};

static_assert(sizeof(VMStatistics64) == 160);
static_assert(sizeof(VMStatistics64) == kHostVMInfo64Count * 4);
static_assert(offsetof(VMStatistics64, freeCount) == 0);
static_assert(offsetof(VMStatistics64, inactiveCount) == 8);
static_assert(offsetof(VMStatistics64, wireCount) == 12);
static_assert(offsetof(VMStatistics64, purgeableCount) == 88);
static_assert(offsetof(VMStatistics64, speculativeCount) == 92);
static_assert(offsetof(VMStatistics64, compressorPageCount) == 128);
static_assert(offsetof(VMStatistics64, internalPageCount) == 140);

} // namespace quillfen::platform::vmstat
