#include "SensorsAgent.h"

#include "platform/Platform.h"
#include "sensors/SensorBridge.h"

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
    static const std::optional<std::string> value = []() -> std::optional<std::string> {
        const auto info = platform::current().mainBundle->infoDictionary();
        if (!info) return std::nullopt;
        const auto it = info->find("CFBundleShortVersionString");
        if (it == info->end() || !it->is_string()) return std::nullopt;
        return it->get<std::string>();
    }();
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

void SensorsAgent::warnIfRunningFromDiskImage() {}

void SensorsAgent::applyControl() {
    const auto control = SensorBridge::readControl();
    // Only a request made after this process started counts: an old one must not stop a
    // helper that was started again later.
    if (control && control->stopRequestedAt && launchedAt < *control->stopRequestedAt) {
        platform::current().application->terminate();
        return;
    }
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
