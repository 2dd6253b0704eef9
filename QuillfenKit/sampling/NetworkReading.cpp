#include "sampling/NetworkReading.h"

namespace quillfen {

void to_json(json::Json& j, const NetworkReading& r) {
    j = json::Json::object();
    j["bytesInPerSec"] = r.bytesInPerSec;
    j["bytesOutPerSec"] = r.bytesOutPerSec;
}

void write(json::Writer& w, const NetworkReading& r) {
    w.beginObject();
    w.field("bytesInPerSec", r.bytesInPerSec);
    w.field("bytesOutPerSec", r.bytesOutPerSec);
    w.endObject();
}

bool from_json(const json::Json& j, NetworkReading& r) {
    return j.is_object() && json::required(j, "bytesInPerSec", r.bytesInPerSec) &&
           json::required(j, "bytesOutPerSec", r.bytesOutPerSec);
}

} // namespace quillfen
