#include "sampling/DiskReading.h"

namespace quillfen {

void to_json(json::Json& j, const DiskReading& r) {
    j = json::Json::object();
    j["bytesReadPerSec"] = r.bytesReadPerSec;
    j["bytesWrittenPerSec"] = r.bytesWrittenPerSec;
}

void write(json::Writer& w, const DiskReading& r) {
    w.beginObject();
    w.field("bytesReadPerSec", r.bytesReadPerSec);
    w.field("bytesWrittenPerSec", r.bytesWrittenPerSec);
    w.endObject();
}

bool from_json(const json::Json& j, DiskReading& r) {
    return j.is_object() && json::required(j, "bytesReadPerSec", r.bytesReadPerSec) &&
           json::required(j, "bytesWrittenPerSec", r.bytesWrittenPerSec);
}

} // namespace quillfen
