#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What the machine is and how it is doing: names, versions, uptime, load, memory and swap.
// Nothing is cached; every call asks the system afresh, and every call falls back to a plain
// value instead of failing.
namespace quillfen::SystemInfo {

struct LoadAverage {
    double one = 0;
    double five = 0;
    double fifteen = 0;
    bool operator==(const LoadAverage&) const = default;
};

struct SwapUsage {
    std::uint64_t used = 0;
    std::uint64_t total = 0;
    bool operator==(const SwapUsage&) const = default;
};

// The marketing name made compact: "MacBook Pro (14-inch, 2021)" → "MacBook Pro 14\"",
// "QEMU Standard PC (Q35 + ICH9, 2009)" → "QEMU Standard PC"; the model identifier when
// there is no marketing name.
std::string machineName();
// The name the machine is sold under, as the device tree or the firmware gives it.
std::optional<std::string> marketingName();
// The model as its maker identifies it; "Mac" when the system does not say.
std::string modelIdentifier();
// "14.2.1", or "14.2" when the patch number is 0.
std::string osVersionString();
// Seconds since the system started; 0 when unknown.
double uptimeSeconds();
// "42m", "5h 7m", "3d 4h".
std::string uptimeString();
// Run-queue averages over 1, 5 and 15 minutes; all 0 when unknown.
LoadAverage loadAverage();
std::uint64_t physicalMemoryBytes();
// Swap in use and in total, in bytes; both 0 when unknown.
SwapUsage swapUsage();

} // namespace quillfen::SystemInfo
