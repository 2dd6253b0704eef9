#include "ThermalSampler.h"

#include "platform/Platform.h"
#include "support/Throttle.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <numeric>

namespace quillfen {
namespace {

std::shared_ptr<platform::HIDEventSystemClient> makeClient() {
    auto client = platform::current().hidEventSystem->createClient();
    if (client)
        client->setMatching(json::Json{{"PrimaryUsagePage", platform::kHIDPageVendorDefinedStart},
                                       {"PrimaryUsage", platform::kHIDUsageTemperatureSensor}});
    return client;
}

// TRD0…TRD9, TRDX, TRDa…TRDj: where machines keep memory temperatures.
const std::array<std::string, 21>& memoryKeyCandidates() {
    static const auto keys = [] {
        std::array<std::string, 21> k;
        std::size_t i = 0;
        for (char c = '0'; c <= '9'; ++c)
            k[i++] = std::string("TRD") + c;
        k[i++] = "TRDX";
        for (char c = 'a'; c <= 'j'; ++c)
            k[i++] = std::string("TRD") + c;
        return k;
    }();
    return keys;
}

std::optional<double> maximum(const std::vector<double>& v) {
    if (v.empty()) return std::nullopt;
    return *std::max_element(v.begin(), v.end());
}

std::optional<double> mean(const std::vector<double>& v) {
    if (v.empty()) return std::nullopt;
    return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

} // namespace

ThermalSampler::ThermalSampler()
    : client(makeClient()) {}

std::optional<ThermalSampler::Category> ThermalSampler::category(std::string_view name) {
    if (name.find("tdie") != std::string_view::npos) return Category::cpu;
    if (name.find(" TP") != std::string_view::npos) {
        if (name.ends_with('s')) return Category::cpu;
        if (name.ends_with('g')) return Category::gpu;
    }
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.find("battery") != std::string::npos) return Category::battery;
    if (name.find("NAND") != std::string_view::npos) return Category::storage;
    return std::nullopt;
}

std::optional<ThermalReading> ThermalSampler::sample() {
    const double now = platform::current().clock->now();
    if (!isDue(previousTimestamp, now, minimumInterval)) return std::nullopt;
    // Moved before the checks below, so a machine without sensors is not asked every second.
    previousTimestamp = now;
    if (!client) return std::nullopt;
    const auto services = client->copyServices();
    if (!services) return std::nullopt;

    std::vector<double> cpu, gpu, battery, storage;
    for (const auto& service : *services) {
        const auto product = service->copyProperty("Product");
        if (!product || !product->is_string()) continue;
        const auto kind = category(product->get_ref<const std::string&>());
        if (!kind) continue;
        const auto event = service->copyEvent(platform::kHIDEventTypeTemperature, 0, 0);
        if (!event) continue;
        const double celsius = event->floatValue(platform::kHIDTemperatureLevelField);
        if (!std::isfinite(celsius) || celsius <= 0) continue;
        switch (*kind) {
        case Category::cpu:
            cpu.push_back(celsius);
            break;
        case Category::gpu:
            gpu.push_back(celsius);
            break;
        case Category::battery:
            battery.push_back(celsius);
            break;
        case Category::storage:
            storage.push_back(celsius);
            break;
        }
    }
    return ThermalReading{maximum(cpu), maximum(gpu), readMemoryTemperature(), mean(battery),
                          mean(storage)};
}

std::optional<double> ThermalSampler::readMemoryTemperature() {
    if (!smc.isOpen()) return std::nullopt;
    if (!memoryKeysProbed) {
        memoryKeysProbed = true;
        for (const auto& key : memoryKeyCandidates())
            if (decodeFlt(smc.readKey(key))) memoryKeys.push_back(key);
    }
    if (memoryKeys.empty()) return std::nullopt;
    double hottest = 0;
    for (const auto& key : memoryKeys)
        // A key holding no number must not become the maximum: the payload could not carry it.
        if (const auto v = decodeFlt(smc.readKey(key)); v && std::isfinite(*v) && *v > hottest)
            hottest = *v;
    if (hottest > 0) return hottest;
    return std::nullopt;
}

} // namespace quillfen
