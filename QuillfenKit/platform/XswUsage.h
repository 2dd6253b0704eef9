#pragma once

// Swap usage as the sysctl "vm.swapusage" hands it over, 32 bytes.

#include <cstddef>
#include <cstdint>

namespace quillfen::platform::swapusage {

struct XswUsage {
    std::uint64_t total;     // bytes
    std::uint64_t available; // bytes
    std::uint64_t used;      // bytes
    std::uint32_t pageSize;
    bool encrypted;
};

static_assert(sizeof(XswUsage) == 32);
static_assert(offsetof(XswUsage, total) == 0);
static_assert(offsetof(XswUsage, available) == 8);
static_assert(offsetof(XswUsage, used) == 16);

} // namespace quillfen::platform::swapusage
