#include "sampling/CPUReading.h"

namespace quillfen {

void to_json(json::Json& j, const CPUReading& r) {
    j = json::Json::object();
    j["perCore"] = r.perCore;
    j["overall"] = r.overall;
    j["user"] = r.user;
    j["system"] = r.system;
    j["idle"] = r.idle;
}

void write(json::Writer& w, const CPUReading& r) {
    w.beginObject();
    w.field("perCore", r.perCore);
    w.field("overall", r.overall);
    w.field("user", r.user);
    w.field("system", r.system);
    w.field("idle", r.idle);
    w.endObject();
}

bool from_json(const json::Json& j, CPUReading& r) {
    return j.is_object() && json::required(j, "perCore", r.perCore) &&
           json::required(j, "overall", r.overall) && json::required(j, "user", r.user) &&
           json::required(j, "system", r.system) && json::required(j, "idle", r.idle);
}

} // namespace quillfen
