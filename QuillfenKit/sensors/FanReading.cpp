#include "sensors/FanReading.h"

#include <cmath>
#include <cstdio>

namespace quillfen {

std::vector<double> FanReading::perFanRPMs() const {
    if (rpms && !rpms->empty()) return *rpms;
    return {rpm};
}

std::optional<RPMRange> FanReading::range() const {
    if (minRPM && maxRPM && *minRPM < *maxRPM) return RPMRange{*minRPM, *maxRPM};
    return std::nullopt;
}

std::string FanReading::shortDescription() const {
    if (std::isnan(rpm)) return "—";
    if (!(rpm > 0)) return "Off";
    if (std::isinf(rpm)) return "—";
    // std::round rounds halves away from zero; %.0f of a whole number prints it exactly,
    // however large, where a conversion to an integer could overflow.
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.0f rpm", std::round(rpm));
    return buf;
}

void to_json(json::Json& j, const FanReading& r) {
    j = json::Json::object();
    j["rpm"] = r.rpm;
    j["fanCount"] = r.fanCount;
    json::putOptional(j, "rpms", r.rpms);
    json::putOptional(j, "minRPM", r.minRPM);
    json::putOptional(j, "maxRPM", r.maxRPM);
}

void write(json::Writer& w, const FanReading& r) {
    w.beginObject();
    w.field("rpm", r.rpm);
    w.field("fanCount", r.fanCount);
    w.optionalField("rpms", r.rpms);
    w.optionalField("minRPM", r.minRPM);
    w.optionalField("maxRPM", r.maxRPM);
    w.endObject();
}

bool from_json(const json::Json& j, FanReading& r) {
    return j.is_object() && json::required(j, "rpm", r.rpm) &&
           json::required(j, "fanCount", r.fanCount) && json::optional(j, "rpms", r.rpms) &&
           json::optional(j, "minRPM", r.minRPM) && json::optional(j, "maxRPM", r.maxRPM);
}

} // namespace quillfen
