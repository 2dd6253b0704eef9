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

bool from_json(const json::Json& j, CPUReading& r) {
    return j.is_object() && json::required(j, "perCore", r.perCore) &&
           json::required(j, "overall", r.overall) && json::required(j, "user", r.user) &&
           json::required(j, "system", r.system) && json::required(j, "idle", r.idle);
}

} // namespace quillfen
