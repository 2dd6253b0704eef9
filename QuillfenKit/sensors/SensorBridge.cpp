#include "sensors/SensorBridge.h"

#include "platform/Platform.h"
#include "support/FileIO.h"
#include "support/Printable.h"
#include "support/SystemLog.h"
#include "support/VersionCompare.h"

#include <string>

namespace quillfen::SensorBridge {
namespace {

std::filesystem::path fileURL(std::string_view name) {
    return *containerURL() / name;
}

template <typename Record>
void writeRecord(std::string_view name, const Record& record, Durability durability) {
    const auto bytes = json::encode(record);
    if (!bytes) return;
    const auto url = fileURL(name);
    // The container exists on every write but the first; creating it only when a write
    // fails spares the once-a-second write a look at the folder.
    if (writeFileAtomically(url, *bytes, durability)) return;
    std::error_code ignored;
    std::filesystem::create_directories(url.parent_path(), ignored);
    writeFileAtomically(url, *bytes, durability);
}

template <typename Record> std::optional<Record> readRecord(std::string_view name) {
    const auto bytes = readFile(fileURL(name), json::kMaxDocumentBytes);
    if (!bytes) return std::nullopt;
    return json::decode<Record>(std::string_view(*bytes));
}

} // namespace

std::optional<std::filesystem::path> containerURL() {
    const auto& files = *platform::current().fileManager;
    if (auto url = files.containerForSecurityApplicationGroup(groupID)) return url;
    return files.homeDirectoryForCurrentUser() / "Library" / "Group Containers" / groupID;
}

void write(const SensorsPayload& payload) {
    // Rewritten every second and worthless after six: a rename without a sync is enough.
    writeRecord(sensorsFileName, payload, Durability::replaceOnly);
}

std::optional<SensorsPayload> read(double now) {
    auto payload = readRecord<SensorsPayload>(sensorsFileName);
    if (!payload) return std::nullopt;
    const double age = now - payload->sampledAt;
    if (!(age <= staleAfter)) return std::nullopt;
    return payload;
}

std::optional<SensorsPayload> readAccepted(double now) {
    auto payload = read(now);
    if (!payload) return std::nullopt;
    if (!payload->helperVersion ||
        compareNumeric(*payload->helperVersion, minimumHelperVersion) < 0) {
        // The version comes from a file any process of the user may write: one short line.
        const std::string shown =
            payload->helperVersion ? printable(*payload->helperVersion, 64) : "unversioned";
        systemLog("Quillfen: refusing readings from helper " + shown + " (need " +
                  std::string(minimumHelperVersion) + ")");
        return std::nullopt;
    }
    return payload;
}

void removeLeftovers() {
    removeStaleTemporaries(fileURL(sensorsFileName));
    removeStaleTemporaries(fileURL(controlFileName));
}

std::optional<SensorControl> readControl() {
    return readRecord<SensorControl>(controlFileName);
}

void writeControl(const SensorControl& control) {
    // The user's wish must survive a crash.
    writeRecord(controlFileName, control, Durability::synced);
}

} // namespace quillfen::SensorBridge
