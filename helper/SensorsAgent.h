#pragma once

#include "FanSampler.h"
#include "ThermalSampler.h"
#include "platform/Application.h"
#include "platform/MainQueue.h"
#include "sensors/SensorsPayload.h"

#include <memory>
#include <optional>
#include <string>

namespace quillfen {

// The helper's application delegate: once launching has finished it publishes one sensor
// payload at once and then one every second, obeying the control file before each.
// Create it with std::make_shared: the timer holds it weakly.
class SensorsAgent final : public platform::ApplicationDelegate,
                           public std::enable_shared_from_this<SensorsAgent> {
public:
    SensorsAgent();
    // With samplers of the caller's choosing (tests script what the sensors report).
    SensorsAgent(std::unique_ptr<ThermalSampler> thermal, std::unique_ptr<FanSampler> fan);
    ~SensorsAgent() override;
    SensorsAgent(const SensorsAgent&) = delete;
    SensorsAgent& operator=(const SensorsAgent&) = delete;

    void applicationDidFinishLaunching() override;

    // One payload from the samplers as they answer now, as the loop publishes it.
    SensorsPayload takeSample();

    // The helper's own short version from its bundle's information dictionary; read once.
    static const std::optional<std::string>& version();

private:
    void warnIfRunningFromDiskImage();
    void applyControl();
    void sampleAndWrite();
    bool terminating() const;

    const std::unique_ptr<ThermalSampler> thermal;
    const std::unique_ptr<FanSampler> fan;
    std::optional<platform::Cancellable> timer;
    std::optional<ThermalReading> lastThermal; // never cleared once set
    double launchedAt;
    std::optional<bool> lastAutostart;
};

} // namespace quillfen
