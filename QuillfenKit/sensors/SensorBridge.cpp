#include "sensors/SensorBridge.h"

#include "platform/Platform.h"
#include "platform/linux/FileIO.h"
#include "support/Printable.h"
#include "support/SystemLog.h"
#include "support/VersionCompare.h"

#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace quillfen::SensorBridge {
namespace {

std::optional<std::filesystem::path> runtimeFolder() {
    const auto runtime = platform::current().fileManager->runtimeDirectory();
    if (!runtime) return std::nullopt;
    return *runtime / groupID;
}

// Where a file lives, and how its folder is made when it is missing.
struct Place {
    std::filesystem::path folder;
    bool inRuntimeFolder = false;

    std::filesystem::path operator/(std::string_view name) const { return folder / name; }
    void createFolder() const {
        if (inRuntimeFolder) {
            // The runtime folder itself is the session's; only the group's folder is ours,
            // as private as the folder it is in.
            ::mkdir(folder.c_str(), 0700);
            return;
        }
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
    }
};

Place containerPlace() {
    return {*containerURL(), false};
}

Place sensorsPlace() {
    if (auto runtime = runtimeFolder()) return {std::move(*runtime), true};
    return containerPlace();
}

template <typename Record>
bool writeRecord(const Place& place, std::string_view name, const Record& record,
                 Durability durability) {
    const auto bytes = json::encode(record);
    if (!bytes) return false;
    const auto url = place / name;
    // The folder exists on every write but the first; creating it only when a write fails
    // spares the once-a-second write a look at the folder.
    if (writeFileAtomically(url, *bytes, durability)) return true;
    place.createFolder();
    return writeFileAtomically(url, *bytes, durability);
}

template <typename Record>
std::optional<Record> readRecord(const Place& place, std::string_view name) {
    const auto bytes = readFile(place / name, json::kMaxDocumentBytes);
    if (!bytes) return std::nullopt;
    return json::decode<Record>(std::string_view(*bytes));
}

} // namespace

std::optional<std::filesystem::path> containerURL() {
    const auto& files = *platform::current().fileManager;
    if (auto url = files.containerForSecurityApplicationGroup(groupID)) return url;
    return files.homeDirectoryForCurrentUser() / "Library" / "Group Containers" / groupID;
}

std::filesystem::path sensorsFolderURL() {
    return sensorsPlace().folder;
}

void write(const SensorsPayload& payload) {
    // Rewritten every second and worthless after six: a rename without a sync is enough.
    const Place place = sensorsPlace();
    writeRecord(place, sensorsFileName, payload,
                place.inRuntimeFolder ? Durability::replaceInMemory : Durability::replaceOnly);
}

std::optional<SensorsPayload> read(double now) {
    auto payload = readRecord<SensorsPayload>(sensorsPlace(), sensorsFileName);
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
    const Place sensors = sensorsPlace();
    const Place container = containerPlace();
    removeStaleTemporaries(sensors / sensorsFileName);
    removeStaleTemporaries(container / controlFileName);
    if (sensors.inRuntimeFolder) {
        // Written there by a helper from before the file moved, or by one that ran in a
        // session without a runtime folder: stale either way, and no reader looks there.
        const auto old = container / sensorsFileName;
        ::unlink(old.c_str());
        removeStaleTemporaries(old);
    }
}

std::optional<SensorControl> readControl() {
    return readRecord<SensorControl>(containerPlace(), controlFileName);
}

bool writeControl(const SensorControl& control) {
    // The user's wish must survive a crash.
    return writeRecord(containerPlace(), controlFileName, control, Durability::synced);
}

std::filesystem::path controlURL() {
    return containerPlace() / controlFileName;
}

} // namespace quillfen::SensorBridge
