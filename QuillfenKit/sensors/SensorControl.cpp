#include "sensors/SensorControl.h"

namespace quillfen {

void to_json(json::Json& j, const SensorControl& c) {
    j = json::Json::object();
    j["autostart"] = c.autostart;
    json::putOptional(j, "stopRequestedAt", c.stopRequestedAt);
}

bool from_json(const json::Json& j, SensorControl& c) {
    return j.is_object() && json::required(j, "autostart", c.autostart) &&
           json::optional(j, "stopRequestedAt", c.stopRequestedAt);
}

} // namespace quillfen
