#pragma once

#include "SMCBridge.h"
#include "platform/HIDEventSystem.h"
#include "sensors/ThermalReading.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// One ThermalReading from the temperature sensor services, sorted into CPU, GPU, battery
// and storage by their names, plus the memory temperature from the controller's keys.
// Samples at most every two seconds; in between it answers nothing and the caller keeps
// its previous reading.
class ThermalSampler {
public:
    static constexpr double minimumInterval = 2.0;

    ThermalSampler();
    virtual ~ThermalSampler() = default;
    ThermalSampler(const ThermalSampler&) = delete;
    ThermalSampler& operator=(const ThermalSampler&) = delete;

    // Absent while throttled or when the sensor services cannot be listed.
    virtual std::optional<ThermalReading> sample();

private:
    enum class Category { cpu, gpu, battery, storage };
    static std::optional<Category> category(std::string_view sensorName);
    std::optional<double> readMemoryTemperature();

    const std::shared_ptr<platform::HIDEventSystemClient> client;
    double previousTimestamp = 0;
    SMCBridge smc;
    bool memoryKeysProbed = false;
    std::vector<std::string> memoryKeys;
};

} // namespace quillfen
