#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillfen::platform {

// Result of a host call; anything but kKernSuccess is a failure.
using KernReturn = int;
inline constexpr KernReturn kKernSuccess = 0;
inline constexpr KernReturn kKernInvalidArgument = 4;
inline constexpr KernReturn kKernFailure = 5;
inline constexpr KernReturn kKernResourceShortage = 6;

// Top level of numeric sysctl names that concern the kernel itself.
inline constexpr int kCtlKern = 1;

// The operating system's version as its maker numbers it.
struct OperatingSystemVersion {
    std::int64_t majorVersion = 0;
    std::int64_t minorVersion = 0;
    std::int64_t patchVersion = 0;
    // Digits the maker writes the minor number with, leading zeros included: Ubuntu's 22.04
    // is April 2022, not 22.4.
    int minorDigits = 1;

    bool operator==(const OperatingSystemVersion&) const = default;
};

// The host's processor, memory, process and configuration counters, in the formats of
// platform/CPULoadInfo.h, platform/VMStatistics64.h, platform/KinfoProc.h,
// platform/ProcTaskAllInfo.h, platform/XswUsage.h and platform/BootTime.h.
class Kernel {
public:
    virtual ~Kernel() = default;

    // Per-processor information of `flavor`. On success `info` points at `infoCount`
    // 32-bit words describing `processorCount` processors; the array then belongs to the
    // caller, who gives it back with vmDeallocate(info, infoCount * 4).
    virtual KernReturn hostProcessorInfo(int flavor, std::uint32_t& processorCount,
                                         std::uint32_t*& info, std::uint32_t& infoCount) = 0;
    virtual KernReturn vmDeallocate(std::uint32_t* address, std::size_t bytes) = 0;

    // Host-wide statistics of `flavor` written into `info`. `count` holds the capacity of
    // `info` in 32-bit words on entry and the words written on return; a buffer too small
    // for the record fails.
    virtual KernReturn hostStatistics(int flavor, std::uint32_t* info, std::uint32_t& count) = 0;
    virtual KernReturn hostStatistics64(int flavor, std::uint32_t* info, std::uint32_t& count) = 0;

    // Bytes per virtual-memory page.
    virtual KernReturn hostPageSize(std::uint64_t& pageSize) = 0;
    // Bytes of physical memory.
    virtual std::uint64_t physicalMemory() = 0;

    // Reads the configuration value `name`. With a null `oldp` only the size is reported in
    // `*oldlenp`. Otherwise up to `*oldlenp` bytes are copied and `*oldlenp` becomes the
    // number copied; a value longer than the buffer is copied in part and fails with ENOMEM.
    // Returns 0 on success, else an errno value (ENOENT for an unknown or unreadable name).
    virtual int sysctlByName(std::string_view name, void* oldp, std::size_t* oldlenp) = 0;

    // Reads the configuration value at the numeric name of `nameLength` levels, by the rules
    // of sysctlByName.
    virtual int sysctl(const int* name, unsigned nameLength, void* oldp, std::size_t* oldlenp) = 0;

    // Information of `flavor` about process `pid` written into `buffer`; the number of bytes
    // written, or 0 when the process is gone, may not be inspected or the buffer is too small.
    virtual int procPidInfo(int pid, int flavor, std::uint64_t arg, void* buffer,
                            int bufferSize) = 0;

    // CPU times of task information are in timebase units: numer ÷ denom nanoseconds.
    virtual KernReturn timebaseInfo(std::uint32_t& numer, std::uint32_t& denom) = 0;

    // Up to `count` (at most 3) run-queue averages over 1, 5 and 15 minutes; the number
    // written, or -1 when they cannot be had.
    virtual int loadAverage(double* samples, int count) = 0;

    virtual OperatingSystemVersion operatingSystemVersion() = 0;
};

// Answers a sysctl read of `value` by the rules of Kernel::sysctlByName.
int answerSysctl(std::string_view value, void* oldp, std::size_t* oldlenp);

} // namespace quillfen::platform
