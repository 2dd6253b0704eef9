#pragma once

#include "support/Json.h"

#include <cstdint>

namespace quillfen {

// Physical memory broken down in bytes.
struct MemoryReading {
    std::uint64_t total = 0;      // installed memory
    std::uint64_t app = 0;        // anonymous pages that cannot be purged
    std::uint64_t wired = 0;      // pinned by the kernel
    std::uint64_t compressed = 0; // held by the memory compressor
    std::uint64_t available = 0;  // free, purgeable, inactive and speculative

    bool operator==(const MemoryReading&) const = default;

    std::uint64_t used() const { return app + wired + compressed; }
    // used ÷ total, from 0 to 1; 0 when the total is unknown.
    double usedRatio() const;
};

void to_json(json::Json& j, const MemoryReading& r);
void write(json::Writer& w, const MemoryReading& r);
bool from_json(const json::Json& j, MemoryReading& r);

} // namespace quillfen
