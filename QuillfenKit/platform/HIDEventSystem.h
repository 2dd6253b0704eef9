#pragma once

#include "support/Json.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace quillfen::platform {

inline constexpr std::int64_t kHIDEventTypeTemperature = 15;
// The temperature level field of a temperature event: its type shifted into the high half.
inline constexpr std::uint32_t kHIDTemperatureLevelField =
    static_cast<std::uint32_t>(kHIDEventTypeTemperature) << 16;
inline constexpr std::int64_t kHIDPageVendorDefinedStart = 0xff00;
inline constexpr std::int64_t kHIDUsageTemperatureSensor = 5;

// One reading of a sensor service.
struct HIDEvent {
    std::int64_t type = 0;
    double level = 0; // the temperature level, degrees Celsius, for temperature events

    double floatValue(std::uint32_t field) const {
        return field == (static_cast<std::uint32_t>(type) << 16) ? level : 0.0;
    }
};

// A sensor service: named by its "Product" property, read by copying its current event.
class HIDServiceClient {
public:
    virtual ~HIDServiceClient() = default;
    virtual std::optional<json::Json> copyProperty(std::string_view key) const = 0;
    virtual std::optional<HIDEvent> copyEvent(std::int64_t type, std::int32_t options,
                                              std::uint64_t timestamp) = 0;
};

class HIDEventSystemClient {
public:
    virtual ~HIDEventSystemClient() = default;
    // Restricts the services to those whose properties match, e.g.
    // {"PrimaryUsagePage": 65280, "PrimaryUsage": 5} for temperature sensors.
    virtual void setMatching(const json::Json& matching) = 0;
    // The matching services as they are now, or nothing when they cannot be listed.
    virtual std::optional<std::vector<std::shared_ptr<HIDServiceClient>>> copyServices() = 0;
};

// The system's sensor services.
class HIDEventSystem {
public:
    virtual ~HIDEventSystem() = default;
    // A client of the event system, or nothing when the system offers none.
    virtual std::shared_ptr<HIDEventSystemClient> createClient() = 0;
};

} // namespace quillfen::platform
