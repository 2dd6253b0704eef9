#pragma once

#include "support/Json.h"

#include <vector>

namespace quillfen {

// CPU load as fractions from 0 to 1.
struct CPUReading {
    std::vector<double> perCore; // busy fraction per logical processor; empty when overall-only
    double overall = 0;          // user plus system
    double user = 0;             // user plus nice
    double system = 0;
    double idle = 0;

    bool operator==(const CPUReading&) const = default;
};

void to_json(json::Json& j, const CPUReading& r);
void write(json::Writer& w, const CPUReading& r);
bool from_json(const json::Json& j, CPUReading& r);

} // namespace quillfen
