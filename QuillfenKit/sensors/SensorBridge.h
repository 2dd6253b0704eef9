#pragma once

#include "sensors/SensorControl.h"
#include "sensors/SensorsPayload.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace quillfen {

// The two files through which the helper and the rest of the product talk: the helper
// publishes "sensors.json" every second, the main app steers the helper with
// "control.json". Nothing here throws or reports; failures are absent results or skipped
// writes, and a reader never sees a half-written file.
//
// "control.json" lives in the shared container with the settings. "sensors.json" is
// rewritten every second and worthless six seconds later, so it lives in the group's folder
// of the user's runtime folder, which is kept in memory: rewriting it on a disk would keep
// the disk and its journal awake all day. Only a session without a runtime folder keeps it
// in the container.
namespace SensorBridge {

inline constexpr std::string_view groupID = "group.com.brenvoll.pellgrove";
inline constexpr double staleAfter = 6.0;
inline constexpr std::string_view minimumHelperVersion = "1.0";

inline constexpr std::string_view sensorsFileName = "sensors.json";
inline constexpr std::string_view controlFileName = "control.json";

// The shared container; always present although optional.
std::optional<std::filesystem::path> containerURL();
// The folder of "sensors.json": `<runtime folder>/<groupID>`, else the container.
std::filesystem::path sensorsFolderURL();

void write(const SensorsPayload& payload);
// The payload when it is at most `staleAfter` seconds old at `now` (future ones count).
std::optional<SensorsPayload> read(double now);
// As `read`, and only from a helper of at least `minimumHelperVersion`; logs refusals.
std::optional<SensorsPayload> readAccepted(double now);

// Removes the temporary files that writers of the two files left when they were killed
// between writing and renaming, and a "sensors.json" that an earlier helper left in the
// container while the file now lives in the runtime folder.
void removeLeftovers();

std::optional<SensorControl> readControl();
// False when "control.json" could not be replaced; the file then stays as it was.
bool writeControl(const SensorControl& control);
// Where "control.json" is, for telling the user which file could not be written.
std::filesystem::path controlURL();

} // namespace SensorBridge
} // namespace quillfen
