#include "companions/HelperApp.h"

#include "platform/Platform.h"
#include "sensors/SensorBridge.h"
#include "support/ProductVersion.h"
#include "support/SystemLog.h"
#include "support/URLQuery.h"
#include "support/VersionCompare.h"

namespace quillfen::HelperApp {
namespace {

platform::Platform& os() {
    return platform::current();
}

// The product's shared defaults, or the process's own when the group's cannot be opened.
std::shared_ptr<platform::UserDefaults> store() {
    auto& suites = *os().userDefaults;
    if (auto shared = suites.suiteNamed(SensorBridge::groupID)) return shared;
    return suites.standardUserDefaults();
}

// The bundle's version, else the version the program was built as: a program that does not
// run from a bundle (the command-line client) is still a known version of the product.
std::string appVersion() {
    return json::textIn(os().mainBundle->infoDictionary(), "CFBundleShortVersionString")
        .value_or(std::string(productVersion()));
}

bool isBelowMinimum(const std::string& version) {
    return compareNumeric(version, minVersion) < 0;
}

// The version in "sensors.json" while it is fresh, whatever that version is.
std::optional<std::string> freshPayloadVersion() {
    auto payload = SensorBridge::read(os().clock->now());
    if (!payload) return std::nullopt;
    return std::move(payload->helperVersion);
}

bool currentAutostart() {
    const auto control = SensorBridge::readControl();
    return control && control->autostart;
}

bool writeStopRequest() {
    return SensorBridge::writeControl(SensorControl{currentAutostart(), os().clock->now()});
}

} // namespace

const std::string& downloadURL() {
    static const std::string url = "https://brenvoll.com/quillfen/download";
    return url;
}

std::string downloadURL(const std::optional<std::string>& needing) {
    std::vector<std::pair<std::string, std::string>> items{{"app", appVersion()}};
    if (needing) items.emplace_back("helper", *needing);
    return appendingQueryItems(downloadURL(), items).value_or(downloadURL());
}

bool isOnPersistentVolume(const std::filesystem::path& url) {
    const auto values = os().volumeFlags->volumeResourceValues(url);
    if (!values) return true;
    if (values->isReadOnly.value_or(false)) return false;
    if (values->isRemovable.value_or(false)) return false;
    return true;
}

std::optional<std::filesystem::path> installedURL() {
    auto url = os().workspace->urlForApplicationWithBundleIdentifier(bundleID);
    if (!url || !isOnPersistentVolume(*url)) return std::nullopt;
    return url;
}

bool isInstalled() {
    return installedURL().has_value();
}

bool isRunningFromDiskImage() {
    const auto bundle = os().mainBundle->bundlePath();
    return bundle && !isOnPersistentVolume(*bundle);
}

bool isRunning() {
    return !os().workspace->runningApplicationsWithBundleIdentifier(bundleID).empty();
}

std::optional<std::string> installedVersion() {
    if (const auto url = installedURL()) {
        if (auto version = json::textIn(os().workspace->infoDictionaryOfBundle(*url),
                                        "CFBundleShortVersionString"))
            return version;
    }
    return freshPayloadVersion();
}

std::optional<std::string> runningVersion() {
    if (!isRunning()) return std::nullopt;
    return freshPayloadVersion();
}

std::optional<std::string> effectiveVersion() {
    if (auto running = runningVersion()) return running;
    return installedVersion();
}

bool needsUpdate() {
    const auto installed = installedVersion();
    return installed && isBelowMinimum(*installed);
}

bool isSupported(const std::optional<std::string>& version) {
    return version && !isBelowMinimum(*version);
}

bool isMidUpdate() {
    if (!isInstalled() || isRunning()) return false;
    const auto installed = installedVersion();
    return !installed || isBelowMinimum(*installed);
}

bool unsupportedHelperIsRunning() {
    if (!isRunning()) return false;
    const auto running = runningVersion();
    return !running || isBelowMinimum(*running);
}

bool launchAtLogin() {
    return currentAutostart();
}

void setLaunchAtLogin(bool value) {
    const auto current = SensorBridge::readControl();
    const bool recorded = SensorBridge::writeControl(
        SensorControl{value, value || !current ? std::nullopt : current->stopRequestedAt});
    if (value && recorded && isInstalled() && !isRunning()) start();
    // A running helper withdraws its own login item within a second. One that is not running
    // would learn of the wish only when the login item starts it, at the very login the user
    // has just declined.
    if (!value && !isRunning()) {
        if (const auto error = os().loginItems->unregisterApp(bundleID))
            systemLog("Quillfen: login-item update failed: " + *error);
    }
}

void start(std::function<void(std::optional<std::string> error)> completion) {
    auto queue = os().mainQueue;
    const auto finish = [queue, completion](std::optional<std::string> error) {
        if (completion) queue->async([completion, error] { completion(error); });
    };
    const auto url = installedURL();
    if (!url) return finish("Quillfen Helper is not installed");
    // An earlier stop request must not stop the process about to start.
    SensorBridge::writeControl(SensorControl{currentAutostart(), std::nullopt});
    os().workspace->openApplication(
        *url, platform::OpenConfiguration{.activates = false},
        [finish](std::optional<std::string> error) {
            if (error) systemLog("Quillfen: failed to start Quillfen Helper: " + *error);
            finish(std::move(error));
        });
}

bool stop() {
    return writeStopRequest();
}

bool beginUpdate() {
    if (isRunning()) {
        systemLog("Quillfen: stopping helper " + runningVersion().value_or("?") +
                  " so the update installs cleanly");
        writeStopRequest();
    }
    return os().workspace->openURL(downloadURL(std::string(minVersion)));
}

bool openDownloadPage() {
    return os().workspace->openURL(downloadURL(std::nullopt));
}

void autoStartAfterInstallIfNeeded() {
    const auto defaults = store();
    if (!isInstalled()) {
        defaults->setBool(false, autoStartedAfterInstallKey);
        return;
    }
    const auto installed = installedVersion();
    if (!installed || isBelowMinimum(*installed)) return;
    if (defaults->boolForKey(autoStartedAfterInstallKey)) return;
    defaults->setBool(true, autoStartedAfterInstallKey);
    if (isRunning()) return;
    systemLog("Quillfen: helper newly installed — starting it once");
    start();
}

void restartIfStaleVersionRunning() {
    const auto installed = installedVersion();
    const auto running = runningVersion();
    if (!installed || !running || *installed == *running) return;
    const std::string swap = *running + "->" + *installed;
    const auto defaults = store();
    if (defaults->stringForKey(staleVersionSwapKey) == swap) return;
    defaults->setObject(swap, staleVersionSwapKey);
    systemLog("Quillfen: helper " + *running + " is running but " + *installed +
              " is installed — restarting it");
    writeStopRequest();
    os().mainQueue->asyncAfter(2.5, [] { start(); });
}

void stopUnsupportedHelperIfNeeded() {
    if (!isRunning()) return;
    const auto running = runningVersion();
    if (!running || !isBelowMinimum(*running)) return;
    const auto defaults = store();
    if (defaults->stringForKey(stoppedUnsupportedKey) == *running) return;
    defaults->setObject(*running, stoppedUnsupportedKey);
    systemLog("Quillfen: helper " + *running + " is below the required " + std::string(minVersion) +
              " — stopping it");
    writeStopRequest();
}

} // namespace quillfen::HelperApp
