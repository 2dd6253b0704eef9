#include "sampling/ProcessReading.h"

#include <QString>
#include <QUrl>

#include <unordered_map>

namespace quillfen {
namespace {

std::string fileURL(const std::filesystem::path& path) {
    // The same few bundles and desktop entries are written every second: each one's URL is
    // made once. The memo is per thread and stays small.
    thread_local std::unordered_map<std::string, std::string> made;
    if (const auto it = made.find(path.native()); it != made.end()) return it->second;
    if (made.size() >= 256) made.clear();
    std::string url = QUrl::fromLocalFile(QString::fromStdString(path.string()))
                          .toString(QUrl::FullyEncoded)
                          .toStdString();
    made.emplace(path.native(), url);
    return url;
}

bool decodeFileURL(const json::Json& j, std::optional<std::filesystem::path>& out) {
    std::optional<std::string> text;
    if (!json::optional(j, "bundleURL", text)) return false;
    if (!text) {
        out.reset();
        return true;
    }
    const QUrl url(QString::fromStdString(*text), QUrl::StrictMode);
    if (!url.isValid() || !url.isLocalFile()) return false;
    out = url.toLocalFile().toStdString();
    return true;
}

} // namespace

void to_json(json::Json& j, const ProcessRow& r) {
    j = json::Json::object();
    j["pid"] = r.pid;
    j["name"] = r.name;
    if (r.bundleURL) j["bundleURL"] = fileURL(*r.bundleURL);
    j["cpuPercent"] = r.cpuPercent;
    j["residentMemoryBytes"] = r.residentMemoryBytes;
}

void write(json::Writer& w, const ProcessRow& r) {
    w.beginObject();
    w.field("pid", r.pid);
    w.field("name", r.name);
    if (r.bundleURL) w.field("bundleURL", fileURL(*r.bundleURL));
    w.field("cpuPercent", r.cpuPercent);
    w.field("residentMemoryBytes", r.residentMemoryBytes);
    w.endObject();
}

bool from_json(const json::Json& j, ProcessRow& r) {
    return j.is_object() && json::required(j, "pid", r.pid) && json::required(j, "name", r.name) &&
           decodeFileURL(j, r.bundleURL) && json::required(j, "cpuPercent", r.cpuPercent) &&
           json::required(j, "residentMemoryBytes", r.residentMemoryBytes);
}

void to_json(json::Json& j, const ProcessReading& r) {
    j = json::Json::object();
    j["topByCPU"] = r.topByCPU;
    j["topByMemory"] = r.topByMemory;
}

void write(json::Writer& w, const ProcessReading& r) {
    w.beginObject();
    w.field("topByCPU", r.topByCPU);
    w.field("topByMemory", r.topByMemory);
    w.endObject();
}

bool from_json(const json::Json& j, ProcessReading& r) {
    return j.is_object() && json::required(j, "topByCPU", r.topByCPU) &&
           json::required(j, "topByMemory", r.topByMemory);
}

} // namespace quillfen
