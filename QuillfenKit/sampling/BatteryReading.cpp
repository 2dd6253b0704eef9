#include "sampling/BatteryReading.h"

namespace quillfen {

void to_json(json::Json& j, const BatteryReading& r) {
    j = json::Json::object();
    j["chargePercent"] = r.chargePercent;
    j["isCharging"] = r.isCharging;
    j["isOnAC"] = r.isOnAC;
    json::putOptional(j, "timeRemainingMinutes", r.timeRemainingMinutes);
    json::putOptional(j, "watts", r.watts);
    json::putOptional(j, "cycleCount", r.cycleCount);
    json::putOptional(j, "healthPercent", r.healthPercent);
}

void write(json::Writer& w, const BatteryReading& r) {
    w.beginObject();
    w.field("chargePercent", r.chargePercent);
    w.field("isCharging", r.isCharging);
    w.field("isOnAC", r.isOnAC);
    w.optionalField("timeRemainingMinutes", r.timeRemainingMinutes);
    w.optionalField("watts", r.watts);
    w.optionalField("cycleCount", r.cycleCount);
    w.optionalField("healthPercent", r.healthPercent);
    w.endObject();
}

bool from_json(const json::Json& j, BatteryReading& r) {
    return j.is_object() && json::required(j, "chargePercent", r.chargePercent) &&
           json::required(j, "isCharging", r.isCharging) && json::required(j, "isOnAC", r.isOnAC) &&
           json::optional(j, "timeRemainingMinutes", r.timeRemainingMinutes) &&
           json::optional(j, "watts", r.watts) && json::optional(j, "cycleCount", r.cycleCount) &&
           json::optional(j, "healthPercent", r.healthPercent);
}

} // namespace quillfen
