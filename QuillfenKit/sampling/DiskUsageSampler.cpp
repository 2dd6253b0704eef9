#include "sampling/DiskUsageSampler.h"

#include "platform/Platform.h"
#include "support/Throttle.h"

#include <algorithm>

namespace quillfen {

std::optional<std::vector<DiskVolumeUsage>> DiskUsageSampler::sample() {
    const double now = platform::current().clock->now();
    if (!isDue(previousTimestamp, now, minimumInterval)) return std::nullopt;
    previousTimestamp = now;

    auto& volumes = *platform::current().volumes;
    std::vector<DiskVolumeUsage> list;
    const auto urls = volumes.mountedVolumeURLs(/*skipHiddenVolumes=*/true);
    if (!urls) return list;
    for (const auto& url : *urls) {
        const auto v = volumes.resourceValues(url);
        if (!v || v->isLocal != true || v->isBrowsable != true) continue;
        if (!v->totalCapacity || *v->totalCapacity < 1) continue;
        std::int64_t available = 0;
        if (v->availableCapacityForImportantUsage && *v->availableCapacityForImportantUsage >= 1)
            available = *v->availableCapacityForImportantUsage;
        else if (v->availableCapacity && *v->availableCapacity >= 1)
            available = *v->availableCapacity;
        else
            continue;
        std::string name = v->localizedName.value_or(url.filename().string());
        list.push_back(DiskVolumeUsage{std::move(name), url.string(),
                                       static_cast<std::uint64_t>(*v->totalCapacity),
                                       static_cast<std::uint64_t>(available)});
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const auto& a, const auto& b) { return a.totalBytes > b.totalBytes; });
    return list;
}

} // namespace quillfen
