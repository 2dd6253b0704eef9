#pragma once

#include "support/Json.h"

#include <optional>

namespace quillfen {

// The contents of "control.json": how the main app steers the helper.
struct SensorControl {
    bool autostart = false;                // register the helper to start at login
    std::optional<double> stopRequestedAt; // seconds since 1970; stops a helper launched earlier

    bool operator==(const SensorControl&) const = default;
};

void to_json(json::Json& j, const SensorControl& c);
bool from_json(const json::Json& j, SensorControl& c);

} // namespace quillfen
