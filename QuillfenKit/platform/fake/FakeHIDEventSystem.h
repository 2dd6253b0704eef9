#pragma once

#include "platform/HIDEventSystem.h"

#include <memory>
#include <vector>

namespace quillfen::platform::fake {

// A sensor service with a scripted name and reading; counts how often it is read.
class FakeHIDService final : public HIDServiceClient {
public:
    std::optional<json::Json> copyProperty(std::string_view key) const override {
        if (key == "Product") return product;
        return std::nullopt;
    }
    std::optional<HIDEvent> copyEvent(std::int64_t type, std::int32_t, std::uint64_t) override {
        ++eventCopies;
        if (!temperature || type != kHIDEventTypeTemperature) return std::nullopt;
        return HIDEvent{type, *temperature};
    }

    std::optional<json::Json> product;
    std::optional<double> temperature;
    int eventCopies = 0;
};

class FakeHIDEventSystem final : public HIDEventSystem {
public:
    std::shared_ptr<HIDEventSystemClient> createClient() override;

    // A service named `product` reading `celsius` (none: it has no event).
    std::shared_ptr<FakeHIDService> addSensor(json::Json product, std::optional<double> celsius);

    bool available = true; // whether a client can be created
    bool listable = true;  // whether the services can be listed
    std::vector<std::shared_ptr<FakeHIDService>> services;
    json::Json lastMatching;
    int listings = 0;
};

} // namespace quillfen::platform::fake
