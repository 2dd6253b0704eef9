#pragma once

#include "platform/Kernel.h"
#include "sampling/MemoryReading.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace quillfen {

// The physical-memory breakdown from one reading of the kernel's page counters. Needs no
// previous sample: the first call already returns a reading.
class MemorySampler {
public:
    MemorySampler();

    std::optional<MemoryReading> sample();

    // Bytes per page; 0 when the kernel did not say.
    std::uint64_t pageSize() const { return pageSize_; }
    // Installed physical memory in bytes.
    std::uint64_t totalBytes() const { return totalBytes_; }

private:
    std::shared_ptr<platform::Kernel> kernel_;
    std::uint64_t pageSize_ = 0;
    std::uint64_t totalBytes_ = 0;
};

} // namespace quillfen
