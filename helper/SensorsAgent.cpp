#include "SensorsAgent.h"

#include "companions/HelperApp.h"
#include "platform/Platform.h"
#include "sensors/SensorBridge.h"
#include "support/SystemLog.h"

namespace quillfen {

SensorsAgent::SensorsAgent()
    : SensorsAgent(std::make_unique<ThermalSampler>(), std::make_unique<FanSampler>()) {}

SensorsAgent::SensorsAgent(std::unique_ptr<ThermalSampler> thermal, std::unique_ptr<FanSampler> fan)
    : thermal(std::move(thermal))
    , fan(std::move(fan))
    , launchedAt(platform::current().clock->now()) {}

SensorsAgent::~SensorsAgent() {
    if (timer) timer->cancel();
}

const std::optional<std::string>& SensorsAgent::version() {
    static const std::optional<std::string> value = json::textIn(
        platform::current().mainBundle->infoDictionary(), "CFBundleShortVersionString");
    return value;
}

bool SensorsAgent::terminating() const {
    return platform::current().application->isTerminating();
}

void SensorsAgent::applicationDidFinishLaunching() {
    // Modal, and the user may quit there: nothing else runs before it returns.
    warnIfRunningFromDiskImage();
    if (terminating()) return;
    applyControl();
    if (terminating()) return;
    // A helper killed between writing and renaming left its temporary file behind.
    SensorBridge::removeLeftovers();
    sampleAndWrite();

    std::weak_ptr<SensorsAgent> weak = weak_from_this();
    timer = platform::current().mainQueue->repeating(1.0, [weak] {
        const auto agent = weak.lock();
        if (!agent) return;
        agent->applyControl();
        // A stop request ends the process before another payload is written.
        if (agent->terminating()) return;
        agent->sampleAndWrite();
    });
}

void SensorsAgent::warnIfRunningFromDiskImage() {
    if (!HelperApp::isRunningFromDiskImage()) return;
    const platform::Alert alert{
        platform::AlertStyle::warning,
        "Please move Quillfen Helper to Applications",
        "It's running from the disk image, so it will stop the moment you eject it — and "
        "starting it at login won't work.\n\nDrag it onto the Applications folder in the disk "
        "image window, then open it from there.",
        {"Quit", "Run Anyway"},
    };
    auto& app = *platform::current().application;
    // An accessory application's alert would otherwise open behind whatever the user is at.
    app.activateIgnoringOtherApps();
    if (platform::current().alerts->runModal(alert) == platform::alertFirstButtonReturn)
        app.terminate();
}

void SensorsAgent::applyControl() {
    const auto control = SensorBridge::readControl();
    // Only a request made after this process started counts: an old one must not stop a
    // helper that was started again later.
    if (control && control->stopRequestedAt && launchedAt < *control->stopRequestedAt) {
        platform::current().application->terminate();
        return;
    }
    const bool wish = control && control->autostart;
    // The login item is touched once per process and then only when the wish changes.
    if (lastAutostart == wish) return;
    // Recorded first: a call that fails is not repeated every second.
    lastAutostart = wish;
    auto& loginItems = *platform::current().loginItems;
    if (const auto error = wish ? loginItems.registerMainApp() : loginItems.unregisterMainApp())
        systemLog("Quillfen Helper: login-item update failed: " + *error);
}

SensorsPayload SensorsAgent::takeSample() {
    if (auto reading = thermal->sample()) lastThermal = std::move(reading);
    auto fanReading = fan->sample();
    const double now = platform::current().clock->now();
    return SensorsPayload{lastThermal, std::move(fanReading), now, version()};
}

void SensorsAgent::sampleAndWrite() {
    SensorBridge::write(takeSample());
}

} // namespace quillfen
