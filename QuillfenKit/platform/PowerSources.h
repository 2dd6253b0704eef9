#pragma once

#include "platform/Registry.h"

#include <optional>
#include <string_view>
#include <vector>

namespace quillfen::platform {

// What the system says about one power source, under the keys below; values are texts,
// integers and booleans.
using PowerSourceDescription = RegistryDictionary;

// The power-source information as taken at one moment.
struct PowerSourcesInfo {
    // The sources in the system's order, each with its description or nothing where that
    // cannot be read; nothing when the list itself is unavailable.
    std::optional<std::vector<std::optional<PowerSourceDescription>>> sources;
};

// The machine's power sources: its batteries and whether it runs on external power.
class PowerSources {
public:
    virtual ~PowerSources() = default;
    // Nothing when the power-source information is unavailable.
    virtual std::optional<PowerSourcesInfo> copyPowerSourcesInfo() = 0;
};

namespace powersource {

inline constexpr std::string_view kTypeKey = "Type";
inline constexpr std::string_view kInternalBatteryType = "InternalBattery";
inline constexpr std::string_view kCurrentCapacityKey = "Current Capacity"; // percent
inline constexpr std::string_view kMaxCapacityKey = "Max Capacity";
inline constexpr std::string_view kIsChargingKey = "Is Charging";
inline constexpr std::string_view kPowerSourceStateKey = "Power Source State";
inline constexpr std::string_view kACPowerValue = "AC Power";
inline constexpr std::string_view kBatteryPowerValue = "Battery Power";
// Minutes; -1 while the system is still estimating.
inline constexpr std::string_view kTimeToFullChargeKey = "Time to Full Charge";
inline constexpr std::string_view kTimeToEmptyKey = "Time to Empty";

} // namespace powersource

} // namespace quillfen::platform
