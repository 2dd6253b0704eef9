#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillfen {

// How the rest of the product manages the separately installed sensor helper: where it is
// installed and in which version, whether it runs and in which version, starting and
// stopping it, restarting it once after an update, stopping an outdated one, starting it
// once after installation, its launch at login and the download page. It never talks to the
// helper directly: it looks at the installed bundle and the running processes, reads the
// helper's published payload for the running version, and steers it through "control.json".
// Main thread only.
namespace HelperApp {

inline constexpr std::string_view bundleID = "com.brenvoll.pellgrove.helper";
inline constexpr std::string_view minVersion = "1.0";

// Keys of the shared defaults store.
inline constexpr std::string_view autoStartedAfterInstallKey = "helperAutoStartedAfterInstall";
inline constexpr std::string_view staleVersionSwapKey = "helperStaleVersionSwap";
inline constexpr std::string_view stoppedUnsupportedKey = "helperStoppedUnsupported";

// The product's download page.
const std::string& downloadURL();
// The download page with the query items "app" (this program's version: its bundle's, else
// the product version it was built as) and, when given,
// "helper" (the helper version it needs) appended to those it already has.
std::string downloadURL(const std::optional<std::string>& needing);

// --- Queries -------------------------------------------------------------------------------

// The installed helper's bundle; a bundle found only on a read-only or removable volume (a
// mounted disk image) does not count.
std::optional<std::filesystem::path> installedURL();
bool isInstalled();
// Whether this process runs from a read-only or removable volume.
bool isRunningFromDiskImage();
bool isRunning();
// The installed bundle's version, else the version of a fresh payload.
std::optional<std::string> installedVersion();
// The version of a fresh payload, while the helper runs.
std::optional<std::string> runningVersion();
std::optional<std::string> effectiveVersion();
bool needsUpdate();
bool isSupported(const std::optional<std::string>& version);
bool isMidUpdate();
bool unsupportedHelperIsRunning();
// Whether "control.json" asks for the helper to start at login.
bool launchAtLogin();

// False on a read-only or removable volume; true when the volume cannot be examined.
bool isOnPersistentVolume(const std::filesystem::path& url);

// --- Actions -------------------------------------------------------------------------------

// Records the wish in "control.json"; a helper is started for it only once it is recorded, as
// one started without it could not be asked to stop.
void setLaunchAtLogin(bool value);

// Clears any stop request and launches the installed helper without bringing it to the
// front. `completion`, if given, runs on the main queue with the error's description when
// the helper is not installed or could not be launched, or with nothing once it runs.
void start(std::function<void(std::optional<std::string> error)> completion = {});
// False when the stop request could not be written.
bool stop();
// Stops a running helper so the update can replace it, then opens the download page for the
// version needed. False when the page could not be handed to a browser.
bool beginUpdate();
// False when the page could not be handed to a browser.
bool openDownloadPage();
void autoStartAfterInstallIfNeeded();
void restartIfStaleVersionRunning();
void stopUnsupportedHelperIfNeeded();

} // namespace HelperApp
} // namespace quillfen
