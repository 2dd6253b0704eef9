#pragma once

#include "sampling/DiskReading.h"

#include <cstdint>
#include <optional>

namespace quillfen {

// Disk throughput from the cumulative byte counters of every block-storage driver: each
// reading covers the time since the previous call, so the first call has none.
class DiskSampler {
public:
    DiskSampler() = default;
    std::optional<DiskReading> sample();

private:
    struct DiskTotals {
        std::uint64_t read = 0;
        std::uint64_t written = 0;
        double timestamp = 0;
    };
    std::optional<DiskTotals> readTotals();

    std::optional<DiskTotals> previous;
};

} // namespace quillfen
