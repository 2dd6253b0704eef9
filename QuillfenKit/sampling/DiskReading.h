#pragma once

#include "support/Json.h"

#include <cstdint>

namespace quillfen {

// Disk throughput summed over all disks.
struct DiskReading {
    std::uint64_t bytesReadPerSec = 0;
    std::uint64_t bytesWrittenPerSec = 0;

    bool operator==(const DiskReading&) const = default;
};

void to_json(json::Json& j, const DiskReading& r);
void write(json::Writer& w, const DiskReading& r);
bool from_json(const json::Json& j, DiskReading& r);

} // namespace quillfen
