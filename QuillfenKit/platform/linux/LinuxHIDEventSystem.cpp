#include "platform/linux/LinuxHIDEventSystem.h"

#include "platform/linux/Hwmon.h"
#include "platform/linux/SysfsAttribute.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;

enum class Kind { cpu, gpu, battery, storage, other };

constexpr std::array<std::string_view, 5> kCPUChips = {"coretemp", "k10temp", "zenpower",
                                                       "cpu_thermal", "x86_pkg_temp"};
constexpr std::array<std::string_view, 5> kGPUChips = {"amdgpu", "nouveau", "radeon", "i915", "xe"};
constexpr std::array<std::string_view, 2> kStorageChips = {"nvme", "drivetemp"};

template <std::size_t N>
bool among(const std::array<std::string_view, N>& list, std::string_view name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

// Thermal zones and their hwmon chips spell a name with '-' where hwmon uses '_'.
std::string hwmonName(std::string name) {
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

Kind kindOfChip(std::string_view chip) {
    if (among(kCPUChips, chip)) return Kind::cpu;
    if (among(kGPUChips, chip)) return Kind::gpu;
    if (among(kStorageChips, chip)) return Kind::storage;
    return Kind::other;
}

struct Service final : HIDServiceClient {
    Service(fs::path inputPath, bool live)
        : input(std::move(inputPath), live) {}

    std::string product;
    KernelFile input;
    double divisor = 1000; // hwmon and thermal zones count millidegrees, batteries tenths
    std::unique_ptr<KernelFile> fault;
    std::shared_ptr<KernelFile> runtimeStatus; // shared by the chip's services
    bool asleep = false;                       // as of the latest listing

    std::optional<json::Json> copyProperty(std::string_view key) const override {
        if (key == "Product") return json::Json(product);
        if (key == "PrimaryUsagePage") return json::Json(kHIDPageVendorDefinedStart);
        if (key == "PrimaryUsage") return json::Json(kHIDUsageTemperatureSensor);
        return std::nullopt;
    }

    std::optional<HIDEvent> copyEvent(std::int64_t type, std::int32_t, std::uint64_t) override {
        if (type != kHIDEventTypeTemperature || asleep) return std::nullopt;
        const auto raw = readInteger(input);
        if (!raw) return std::nullopt;
        return HIDEvent{type, static_cast<double>(*raw) / divisor};
    }
};

// Names each service after its kind, counting within the kind.
class Namer {
public:
    std::string name(Kind kind, std::string_view chip, std::string_view label) {
        const int n = counts_[kind]++;
        switch (kind) {
        case Kind::cpu:
            return "PMU tdie" + std::to_string(n);
        case Kind::gpu:
            return "PMU TP" + std::to_string(n) + "g";
        case Kind::battery:
            return "Battery " + std::to_string(n);
        case Kind::storage:
            return "NAND CH" + std::to_string(n) + " temp";
        case Kind::other:
            break;
        }
        if (label.empty()) return std::string(chip);
        return std::string(chip) + " " + std::string(label);
    }

private:
    std::map<Kind, int> counts_;
};

std::vector<std::string> listing(const fs::path& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::shared_ptr<Service>> buildServices(const fs::path& sysfs, bool live) {
    std::vector<std::shared_ptr<Service>> services;
    Namer namer;
    const auto add = [&](Kind kind, std::string_view chip, std::string_view label,
                         const fs::path& input, double divisor, const fs::path& fault,
                         std::shared_ptr<KernelFile> runtimeStatus) {
        auto s = std::make_shared<Service>(input, live);
        s->product = namer.name(kind, chip, label);
        s->divisor = divisor;
        if (!fault.empty()) s->fault = std::make_unique<KernelFile>(fault, live);
        s->runtimeStatus = std::move(runtimeStatus);
        services.push_back(std::move(s));
    };

    const auto chips = scanHwmon(sysfs);
    for (const auto& chip : chips) {
        // A battery's own hwmon chip repeats what power_supply reports below.
        if (chip.deviceType == "Battery") continue;
        const Kind kind = kindOfChip(chip.name);
        const bool hasTdie = std::any_of(chip.temps.begin(), chip.temps.end(),
                                         [](const HwmonChannel& t) { return t.label == "Tdie"; });
        const auto status = chip.runtimeStatus.empty()
                                ? nullptr
                                : std::make_shared<KernelFile>(chip.runtimeStatus, live);
        for (const auto& t : chip.temps) {
            if (hasTdie && t.label == "Tctl") continue;
            const std::string label = t.label.empty() ? "temp" + std::to_string(t.index) : t.label;
            add(kind, chip.name, label, t.input, 1000, t.fault, status);
        }
    }

    const fs::path thermal = sysfs / "class" / "thermal";
    for (const auto& zone : listing(thermal)) {
        if (!numberBetween(zone, "thermal_zone", "")) continue;
        const auto type = readSysfsText(thermal / zone / "type");
        if (!type) continue;
        const std::string name = hwmonName(*type);
        const bool shownByHwmon = std::any_of(chips.begin(), chips.end(),
                                              [&](const HwmonChip& c) { return c.name == name; });
        if (shownByHwmon) continue;
        add(kindOfChip(name), *type, "", thermal / zone / "temp", 1000, {}, nullptr);
    }

    const fs::path supplies = sysfs / "class" / "power_supply";
    for (const auto& supply : listing(supplies)) {
        const fs::path dir = supplies / supply;
        if (readSysfsText(dir / "type") != "Battery") continue;
        if (readSysfsText(dir / "scope") == "Device") continue; // a mouse or headset
        std::error_code ec;
        if (!fs::exists(dir / "temp", ec)) continue;
        add(Kind::battery, supply, "", dir / "temp", 10, {}, nullptr);
    }

    return services;
}

class Client final : public HIDEventSystemClient {
public:
    Client(fs::path sysfs, bool keepOpen)
        : sysfs_(std::move(sysfs))
        , live_(keepOpen)
        , folders_{{{sysfs_ / "class" / "hwmon", live_},
                    {sysfs_ / "class" / "thermal", live_},
                    {sysfs_ / "class" / "power_supply", live_}}} {
        refreshLayout();
    }

    bool empty() const { return services_.empty(); }

    void setMatching(const json::Json& matching) override { matching_ = matching; }

    std::optional<std::vector<std::shared_ptr<HIDServiceClient>>> copyServices() override {
        refreshLayout();
        // Each chip's status is read once per listing, however many sensors it has.
        std::map<const KernelFile*, bool> asleep;
        std::vector<std::shared_ptr<HIDServiceClient>> out;
        out.reserve(services_.size());
        for (const auto& s : services_) {
            if (!matches(*s)) continue;
            if (s->fault && readInteger(*s->fault) == 1) continue;
            if (s->runtimeStatus) {
                auto [it, fresh] = asleep.try_emplace(s->runtimeStatus.get(), false);
                if (fresh) it->second = isRuntimeSuspended(*s->runtimeStatus);
                s->asleep = it->second;
            }
            out.push_back(s);
        }
        return out;
    }

private:
    bool matches(const Service& s) const {
        if (!matching_.is_object()) return true;
        for (const auto& [key, value] : matching_.items())
            if (s.copyProperty(key) != value) return false;
        return true;
    }

    // Sensors come and go with drivers and hot-plugged devices; the layout is rebuilt only
    // when the set of chips, zones or supplies changed, which one look at each folder tells.
    void refreshLayout() {
        bool same = layoutBuilt_;
        for (std::size_t i = 0; i < folders_.size(); ++i) {
            folders_[i].list(listed_[i]);
            std::sort(listed_[i].begin(), listed_[i].end());
            same = same && listed_[i] == signature_[i];
        }
        if (same) return;
        signature_ = listed_;
        services_ = buildServices(sysfs_, live_);
        layoutBuilt_ = true;
    }

    fs::path sysfs_;
    bool live_;
    // The chips, the thermal zones and the power supplies.
    std::array<KernelDirectory, 3> folders_;
    std::array<std::vector<std::string>, 3> listed_;    // reused by every look
    std::array<std::vector<std::string>, 3> signature_; // as of the latest layout
    json::Json matching_;
    bool layoutBuilt_ = false;
    std::vector<std::shared_ptr<Service>> services_;
};

} // namespace

LinuxHIDEventSystem::LinuxHIDEventSystem(std::filesystem::path sysfsRoot,
                                         std::optional<bool> keepFilesOpen)
    : sysfsRoot_(std::move(sysfsRoot))
    , keepFilesOpen_(keepFilesOpen.value_or(isLiveKernelTree(sysfsRoot_))) {}

std::shared_ptr<HIDEventSystemClient> LinuxHIDEventSystem::createClient() {
    auto client = std::make_shared<Client>(sysfsRoot_, keepFilesOpen_);
    if (client->empty()) return nullptr;
    return client;
}

} // namespace quillfen::platform::linux
