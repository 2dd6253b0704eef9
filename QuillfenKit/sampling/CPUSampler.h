#pragma once

#include "platform/Kernel.h"
#include "sampling/CPUReading.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace quillfen {

// CPU load by difference of the kernel's tick counters. The full and the overall-only
// variant each keep their own previous counters, so a reading covers the time since the
// same variant last ran; the first call of each variant has nothing to compare with.
class CPUSampler {
public:
    CPUSampler();

    // Per-processor and machine-wide fractions; nothing on failure, on the first call and
    // once after the number of processors changed.
    std::optional<CPUReading> sample();
    // Machine-wide fractions from the host-wide counters alone; `perCore` is empty.
    std::optional<CPUReading> sampleOverallOnly();

private:
    struct CPUTicks {
        std::uint64_t user = 0;
        std::uint64_t system = 0;
        std::uint64_t idle = 0;
        std::uint64_t nice = 0;
    };

    std::optional<std::vector<CPUTicks>> readPerCoreTicks();
    std::optional<CPUTicks> readAggregateTicks();

    std::shared_ptr<platform::Kernel> kernel_;
    std::vector<CPUTicks> previousPerCore_;
    std::optional<CPUTicks> previousAggregate_;
};

} // namespace quillfen
