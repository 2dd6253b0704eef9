#pragma once

// The process table as the kernel hands it over: one 648-byte record per process. Only the
// fields the kit reads are named; the rest of each record is opaque.

#include <cstddef>
#include <cstdint>

namespace quillfen::platform::kinfo {

// The sysctl name {kCtlKern, kKernProc, kKernProcAll} lists every process.
inline constexpr int kKernProc = 14;
inline constexpr int kKernProcAll = 0;

// Length of the command-name field, its terminating NUL included.
inline constexpr std::size_t kCommandNameBytes = 17;

struct KinfoProc {
    std::uint8_t reserved0[40];
    std::int32_t pid;
    std::uint8_t reserved1[199];
    char comm[kCommandNameBytes]; // NUL-terminated unless it fills the field
    std::uint8_t reserved2[388];
};

static_assert(sizeof(KinfoProc) == 648);
static_assert(offsetof(KinfoProc, pid) == 40);
static_assert(offsetof(KinfoProc, comm) == 243);

} // namespace quillfen::platform::kinfo
