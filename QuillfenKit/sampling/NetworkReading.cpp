#include "sampling/NetworkReading.h"

namespace quillfen {

void to_json(json::Json& j, const NetworkReading& r) {
    j = json::Json::object();
    j["bytesInPerSec"] = r.bytesInPerSec;
    j["bytesOutPerSec"] = r.bytesOutPerSec;
}

bool from_json(const json::Json& j, NetworkReading& r) {
    return j.is_object() && json::required(j, "bytesInPerSec", r.bytesInPerSec) &&
           json::required(j, "bytesOutPerSec", r.bytesOutPerSec);
}

} // namespace quillfen
