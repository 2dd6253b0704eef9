#include "sampling/GPUReading.h"

namespace quillfen {

void to_json(json::Json& j, const GPUReading& r) {
    j = json::Json::object();
    j["utilization"] = r.utilization;
    j["rendererUtilization"] = r.rendererUtilization;
    j["tilerUtilization"] = r.tilerUtilization;
    json::putOptional(j, "coreCount", r.coreCount);
    json::putOptional(j, "model", r.model);
}

void write(json::Writer& w, const GPUReading& r) {
    w.beginObject();
    w.field("utilization", r.utilization);
    w.field("rendererUtilization", r.rendererUtilization);
    w.field("tilerUtilization", r.tilerUtilization);
    w.optionalField("coreCount", r.coreCount);
    w.optionalField("model", r.model);
    w.endObject();
}

bool from_json(const json::Json& j, GPUReading& r) {
    return j.is_object() && json::required(j, "utilization", r.utilization) &&
           json::required(j, "rendererUtilization", r.rendererUtilization) &&
           json::required(j, "tilerUtilization", r.tilerUtilization) &&
           json::optional(j, "coreCount", r.coreCount) && json::optional(j, "model", r.model);
}

} // namespace quillfen
