#pragma once

#include "support/Json.h"

#include <cstdint>

namespace quillfen {

// Network throughput of the whole machine.
struct NetworkReading {
    std::uint64_t bytesInPerSec = 0;
    std::uint64_t bytesOutPerSec = 0;

    bool operator==(const NetworkReading&) const = default;
};

void to_json(json::Json& j, const NetworkReading& r);
void write(json::Writer& w, const NetworkReading& r);
bool from_json(const json::Json& j, NetworkReading& r);

} // namespace quillfen
