#pragma once

#include "sampling/DiskVolumeUsage.h"

#include <optional>
#include <vector>

namespace quillfen {

// The mounted local volumes with their capacity and free space, largest first; at most once
// every 5 seconds, nothing in between.
class DiskUsageSampler {
public:
    static constexpr double minimumInterval = 5.0;

    DiskUsageSampler() = default;
    std::optional<std::vector<DiskVolumeUsage>> sample();

private:
    double previousTimestamp = 0;
};

} // namespace quillfen
