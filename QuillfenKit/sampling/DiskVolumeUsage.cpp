#include "sampling/DiskVolumeUsage.h"

namespace quillfen {

void to_json(json::Json& j, const DiskVolumeUsage& v) {
    j = json::Json::object();
    j["name"] = v.name;
    j["path"] = v.path;
    j["totalBytes"] = v.totalBytes;
    j["availableBytes"] = v.availableBytes;
}

void write(json::Writer& w, const DiskVolumeUsage& v) {
    w.beginObject();
    w.field("name", v.name);
    w.field("path", v.path);
    w.field("totalBytes", v.totalBytes);
    w.field("availableBytes", v.availableBytes);
    w.endObject();
}

bool from_json(const json::Json& j, DiskVolumeUsage& v) {
    return j.is_object() && json::required(j, "name", v.name) &&
           json::required(j, "path", v.path) && json::required(j, "totalBytes", v.totalBytes) &&
           json::required(j, "availableBytes", v.availableBytes);
}

} // namespace quillfen
