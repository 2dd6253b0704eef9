#include "SystemSummary.h"

#include "support/Json.h"

#include <algorithm>

namespace quillfen::cli {

SystemSummary readSystemSummary() {
    SystemSummary s;
    s.machineName = SystemInfo::machineName();
    s.osVersion = SystemInfo::osVersionString();
    s.uptimeSeconds = static_cast<std::uint64_t>(std::min(SystemInfo::uptimeSeconds(), 1e15));
    s.uptime = SystemInfo::uptimeString();
    s.loadAverage = SystemInfo::loadAverage();
    s.swapUsage = SystemInfo::swapUsage();
    return s;
}

std::optional<std::string> systemJSON(const SystemSummary& s) {
    json::Writer w;
    w.beginObject();
    w.field("machineName", s.machineName);
    w.field("osVersion", s.osVersion);
    w.field("uptimeSeconds", s.uptimeSeconds);
    w.field("uptime", s.uptime);
    w.key("loadAverage");
    w.beginObject();
    w.field("one", s.loadAverage.one);
    w.field("five", s.loadAverage.five);
    w.field("fifteen", s.loadAverage.fifteen);
    w.endObject();
    w.key("swapUsage");
    w.beginObject();
    w.field("used", s.swapUsage.used);
    w.field("total", s.swapUsage.total);
    w.endObject();
    w.endObject();
    return std::move(w).finish();
}

std::optional<std::string> withSystem(std::string_view document, const SystemSummary& summary) {
    const auto tree = json::parse(document);
    if (!tree || !tree->is_object()) return std::nullopt;
    if (tree->contains("system")) return std::string(document);
    const auto system = systemJSON(summary);
    if (!system) return std::nullopt;
    // A JSON object ends with its closing brace, perhaps followed by white space.
    const std::size_t close = document.rfind('}');
    std::string out(document.substr(0, close));
    if (!tree->empty()) out += ',';
    out += "\"system\":";
    out += *system;
    out += '}';
    return out;
}

} // namespace quillfen::cli
