#pragma once

#include "platform/VolumeFlags.h"

#include <map>

namespace quillfen::platform::fake {

// Volumes mounted where the test says; a path lies on the volume of its longest mounted
// prefix, and outside every volume nothing can be learned about it.
class FakeVolumeFlags final : public VolumeFlags {
public:
    std::optional<VolumeResourceValues>
    volumeResourceValues(const std::filesystem::path& path) const override {
        const std::filesystem::path* best = nullptr;
        for (const auto& [mountPoint, values] : volumes) {
            const auto rel = path.lexically_relative(mountPoint);
            if (rel.empty() || *rel.begin() == "..") continue;
            if (!best || mountPoint.native().size() > best->native().size()) best = &mountPoint;
        }
        if (!best) return std::nullopt;
        return volumes.at(*best);
    }

    std::map<std::filesystem::path, VolumeResourceValues> volumes;
};

} // namespace quillfen::platform::fake
