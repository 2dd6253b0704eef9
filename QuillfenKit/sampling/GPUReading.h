#pragma once

#include "support/Json.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quillfen {

// GPU utilisation as fractions (the driver's percentages ÷ 100, not clamped).
struct GPUReading {
    double utilization = 0;
    double rendererUtilization = 0; // 0 in an overall-only reading
    double tilerUtilization = 0;    // 0 in an overall-only reading
    std::optional<std::int64_t> coreCount;
    std::optional<std::string> model;

    bool operator==(const GPUReading&) const = default;
};

void to_json(json::Json& j, const GPUReading& r);
void write(json::Writer& w, const GPUReading& r);
bool from_json(const json::Json& j, GPUReading& r);

} // namespace quillfen
