#pragma once

#include "support/Json.h"

#include <cstdint>
#include <string>

namespace quillfen {

// Capacity and free space of one mounted volume, identified by its path.
struct DiskVolumeUsage {
    std::string name;
    std::string path;
    std::uint64_t totalBytes = 0;
    std::uint64_t availableBytes = 0;

    const std::string& id() const { return path; }
    // 0 when the volume reports more available than its capacity.
    std::uint64_t usedBytes() const {
        return totalBytes > availableBytes ? totalBytes - availableBytes : 0;
    }

    bool operator==(const DiskVolumeUsage&) const = default;
};

void to_json(json::Json& j, const DiskVolumeUsage& v);
void write(json::Writer& w, const DiskVolumeUsage& v);
bool from_json(const json::Json& j, DiskVolumeUsage& v);

} // namespace quillfen
