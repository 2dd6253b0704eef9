#include "sensors/SensorsPayload.h"

namespace quillfen {

void to_json(json::Json& j, const SensorsPayload& p) {
    j = json::Json::object();
    json::putOptional(j, "thermal", p.thermal);
    json::putOptional(j, "fan", p.fan);
    j["sampledAt"] = p.sampledAt;
    json::putOptional(j, "helperVersion", p.helperVersion);
}

void write(json::Writer& w, const SensorsPayload& p) {
    w.beginObject();
    w.optionalField("thermal", p.thermal);
    w.optionalField("fan", p.fan);
    w.field("sampledAt", p.sampledAt);
    w.optionalField("helperVersion", p.helperVersion);
    w.endObject();
}

bool from_json(const json::Json& j, SensorsPayload& p) {
    return j.is_object() && json::optional(j, "thermal", p.thermal) &&
           json::optional(j, "fan", p.fan) && json::required(j, "sampledAt", p.sampledAt) &&
           json::optional(j, "helperVersion", p.helperVersion);
}

} // namespace quillfen
