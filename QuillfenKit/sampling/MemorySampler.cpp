#include "sampling/MemorySampler.h"

#include "platform/Platform.h"
#include "platform/VMStatistics64.h"

#include <algorithm>
#include <cstring>

namespace quillfen {

namespace vmstat = platform::vmstat;

MemorySampler::MemorySampler()
    : kernel_(platform::current().kernel) {
    std::uint64_t size = 0;
    if (kernel_->hostPageSize(size) == platform::kKernSuccess) pageSize_ = size;
    totalBytes_ = kernel_->physicalMemory();
}

std::optional<MemoryReading> MemorySampler::sample() {
    std::uint32_t words[vmstat::kHostVMInfo64Count] = {};
    std::uint32_t count = vmstat::kHostVMInfo64Count;
    if (kernel_->hostStatistics64(vmstat::kHostVMInfo64, words, count) != platform::kKernSuccess)
        return std::nullopt;
    vmstat::VMStatistics64 vm;
    std::memcpy(&vm, words, sizeof vm);

    const std::uint64_t p = pageSize_;
    const std::uint64_t internal = vm.internalPageCount;
    const std::uint64_t purgeable = vm.purgeableCount;
    MemoryReading r;
    r.total = totalBytes_;
    r.app = (internal - std::min(purgeable, internal)) * p;
    r.wired = std::uint64_t{vm.wireCount} * p;
    r.compressed = std::uint64_t{vm.compressorPageCount} * p;
    r.available =
        (std::uint64_t{vm.freeCount} + purgeable + vm.inactiveCount + vm.speculativeCount) * p;
    return r;
}

} // namespace quillfen
