#include "sensors/ThermalReading.h"

namespace quillfen {

void to_json(json::Json& j, const ThermalReading& r) {
    j = json::Json::object();
    json::putOptional(j, "cpuTemperatureC", r.cpuTemperatureC);
    json::putOptional(j, "gpuTemperatureC", r.gpuTemperatureC);
    json::putOptional(j, "memoryTemperatureC", r.memoryTemperatureC);
    json::putOptional(j, "batteryTemperatureC", r.batteryTemperatureC);
    json::putOptional(j, "storageTemperatureC", r.storageTemperatureC);
}

void write(json::Writer& w, const ThermalReading& r) {
    w.beginObject();
    w.optionalField("cpuTemperatureC", r.cpuTemperatureC);
    w.optionalField("gpuTemperatureC", r.gpuTemperatureC);
    w.optionalField("memoryTemperatureC", r.memoryTemperatureC);
    w.optionalField("batteryTemperatureC", r.batteryTemperatureC);
    w.optionalField("storageTemperatureC", r.storageTemperatureC);
    w.endObject();
}

bool from_json(const json::Json& j, ThermalReading& r) {
    return j.is_object() && json::optional(j, "cpuTemperatureC", r.cpuTemperatureC) &&
           json::optional(j, "gpuTemperatureC", r.gpuTemperatureC) &&
           json::optional(j, "memoryTemperatureC", r.memoryTemperatureC) &&
           json::optional(j, "batteryTemperatureC", r.batteryTemperatureC) &&
           json::optional(j, "storageTemperatureC", r.storageTemperatureC);
}

} // namespace quillfen
