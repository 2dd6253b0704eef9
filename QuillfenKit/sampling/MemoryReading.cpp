#include "sampling/MemoryReading.h"

#include <algorithm>

namespace quillfen {

double MemoryReading::usedRatio() const {
    if (total == 0) return 0;
    // Counters from different sources are not taken at one instant; a ratio is kept within
    // its range even when their sum overtakes the total.
    return std::min(1.0, static_cast<double>(used()) / static_cast<double>(total));
}

void to_json(json::Json& j, const MemoryReading& r) {
    j = json::Json::object();
    j["total"] = r.total;
    j["app"] = r.app;
    j["wired"] = r.wired;
    j["compressed"] = r.compressed;
    j["available"] = r.available;
}

void write(json::Writer& w, const MemoryReading& r) {
    w.beginObject();
    w.field("total", r.total);
    w.field("app", r.app);
    w.field("wired", r.wired);
    w.field("compressed", r.compressed);
    w.field("available", r.available);
    w.endObject();
}

bool from_json(const json::Json& j, MemoryReading& r) {
    return j.is_object() && json::required(j, "total", r.total) &&
           json::required(j, "app", r.app) && json::required(j, "wired", r.wired) &&
           json::required(j, "compressed", r.compressed) &&
           json::required(j, "available", r.available);
}

} // namespace quillfen
