#pragma once

// A process's task information as proc_pidinfo hands it over for the task-all flavour: the
// BSD part (identity and names) followed by the task part (memory and CPU time), 232 bytes.
// Only the fields the kit reads are named.

#include <cstddef>
#include <cstdint>

namespace quillfen::platform::procinfo {

inline constexpr int kProcPidTaskAllInfo = 2;

// Field lengths, terminating NUL included.
inline constexpr std::size_t kShortNameBytes = 16;
inline constexpr std::size_t kLongNameBytes = 32;

struct alignas(8) ProcTaskAllInfo {
    std::uint8_t reserved0[48];
    char shortName[kShortNameBytes]; // the command name
    char longName[kLongNameBytes];   // the executable's name
    std::uint8_t reserved1[24];
    // When the process started, seconds and microseconds since 1970. With the process
    // identifier it tells one process from a later one that reuses the number.
    std::uint64_t startSeconds;
    std::uint64_t startMicroseconds;
    std::uint64_t virtualSize;
    std::uint64_t residentSize; // bytes
    std::uint64_t totalUser;    // CPU time in timebase units
    std::uint64_t totalSystem;  // CPU time in timebase units
    std::uint8_t reserved2[64];
};

static_assert(sizeof(ProcTaskAllInfo) == 232);
static_assert(offsetof(ProcTaskAllInfo, shortName) == 48);
static_assert(offsetof(ProcTaskAllInfo, longName) == 64);
static_assert(offsetof(ProcTaskAllInfo, startSeconds) == 120);
static_assert(offsetof(ProcTaskAllInfo, startMicroseconds) == 128);
static_assert(offsetof(ProcTaskAllInfo, residentSize) == 144);
static_assert(offsetof(ProcTaskAllInfo, totalUser) == 152);
static_assert(offsetof(ProcTaskAllInfo, totalSystem) == 160);

} // namespace quillfen::platform::procinfo
