#include "platform/linux/PowerSupply.h"

#include "platform/linux/FileIO.h"
#include "platform/linux/KernelText.h"

#include <algorithm>
#include <cmath>
#include <dirent.h>
#include <memory>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;
namespace ps = powersource;

// Firmware that does not know the rate reports 0xffff, which the kernel may have scaled from
// milli- to micro-units.
constexpr std::uint64_t kUnknownRate = 0xffff;
// No laptop battery delivers or takes more; a larger figure is a misreading.
constexpr double kMaxPlausibleWatts = 100.0;
// Longer estimates come from a flow too small to mean anything.
constexpr double kMaxMinutes = 100.0 * 24 * 60;

std::optional<std::int64_t> positive(std::optional<std::int64_t> v) {
    if (!v || *v <= 0) return std::nullopt;
    return v;
}

std::int64_t minutes(double value) {
    if (!std::isfinite(value) || value < 0 || value > kMaxMinutes) return -1;
    return std::llround(value);
}

} // namespace

std::optional<std::int64_t> PowerSupplyBattery::percent() const {
    if (capacity && *capacity >= 0) return std::min<std::int64_t>(*capacity, 100);
    const auto ratio = [](std::optional<std::int64_t> now,
                          std::optional<std::int64_t> full) -> std::optional<std::int64_t> {
        if (!now || !full || *now < 0 || *full <= 0) return std::nullopt;
        return std::llround(100.0 * static_cast<double>(std::min(*now, *full)) /
                            static_cast<double>(*full));
    };
    if (auto p = ratio(energyNow, energyFull)) return p;
    return ratio(chargeNow, chargeFull);
}

std::optional<double> PowerSupplyBattery::flow() const {
    // Batteries that count energy report their flow in power_now; some drivers put it in
    // current_now instead, which then holds µW. Batteries that count charge report µA in
    // current_now.
    std::optional<std::int64_t> raw;
    bool inWatts = true;
    if (countsEnergy()) {
        raw = powerNow ? powerNow : currentNow;
    } else if (currentNow) {
        raw = currentNow;
        inWatts = false;
    } else {
        raw = powerNow;
    }
    if (!raw) return std::nullopt;
    // Some drivers sign the flow by its direction; the status says that anyway. Taken
    // unsigned, so that even the most negative number has a magnitude.
    const std::uint64_t magnitude =
        *raw < 0 ? 0 - static_cast<std::uint64_t>(*raw) : static_cast<std::uint64_t>(*raw);
    if (magnitude == kUnknownRate || magnitude == kUnknownRate * 1000) return std::nullopt;
    double value = static_cast<double>(magnitude);
    if (!countsEnergy() && inWatts) {
        // power_now on a battery that counts charge: µW ÷ V gives µA.
        if (!voltageNow || *voltageNow <= 0) return std::nullopt;
        value = value / (static_cast<double>(*voltageNow) / 1e6);
    }
    return value;
}

std::optional<double> PowerSupplyBattery::watts() const {
    const auto f = flow();
    if (!f) return std::nullopt;
    double w = 0;
    if (countsEnergy()) {
        w = *f / 1e6;
    } else {
        if (!voltageNow || *voltageNow <= 0) return std::nullopt;
        w = *f * static_cast<double>(*voltageNow) / 1e12;
    }
    if (!std::isfinite(w) || w > kMaxPlausibleWatts) return std::nullopt;
    return w;
}

std::optional<std::int64_t> PowerSupplyBattery::milliamperes() const {
    const auto w = watts();
    if (!w) return std::nullopt;
    double mA = 0;
    if (countsEnergy()) {
        if (!voltageNow || *voltageNow <= 0) return std::nullopt;
        mA = *w / (static_cast<double>(*voltageNow) / 1e6) * 1000.0;
    } else {
        mA = *flow() / 1000.0;
    }
    const auto value = std::llround(mA);
    return isDischarging() ? -value : value;
}

std::int64_t PowerSupplyBattery::minutesToEmpty() const {
    if (!isDischarging()) return -1;
    if (const auto seconds = positive(timeToEmptyNow)) return minutes(*seconds / 60.0);
    const auto stored = countsEnergy() ? energyNow : chargeNow;
    const auto f = flow();
    if (!stored || *stored < 0 || !f || *f <= 0 || !watts()) return -1;
    return minutes(static_cast<double>(*stored) / *f * 60.0);
}

std::int64_t PowerSupplyBattery::minutesToFull() const {
    if (!isCharging()) return -1;
    if (const auto seconds = positive(timeToFullNow)) return minutes(*seconds / 60.0);
    const auto stored = countsEnergy() ? energyNow : chargeNow;
    const auto full = countsEnergy() ? energyFull : chargeFull;
    const auto f = flow();
    // Negative amounts are no amounts; the difference of two others cannot overflow.
    if (!stored || !full || *stored < 0 || *full <= 0 || !f || *f <= 0 || !watts()) return -1;
    return minutes(static_cast<double>(std::max<std::int64_t>(*full - *stored, 0)) / *f * 60.0);
}

std::optional<std::int64_t>
PowerSupplyBattery::milliampereHours(std::optional<std::int64_t> charge,
                                     std::optional<std::int64_t> energy) const {
    if (charge && *charge > 0) return *charge / 1000;
    // µWh ÷ µV = Ah. Both capacities are divided by the same voltage, so their ratio, the
    // battery's health, is the drivers' own.
    const auto volts = positive(voltageMinDesign) ? voltageMinDesign : positive(voltageNow);
    if (!energy || *energy <= 0 || !volts) return std::nullopt;
    return std::llround(static_cast<double>(*energy) / static_cast<double>(*volts) * 1000.0);
}

std::optional<std::int64_t> PowerSupplyBattery::designCapacityMilliampereHours() const {
    return milliampereHours(chargeFullDesign, energyFullDesign);
}

std::optional<std::int64_t> PowerSupplyBattery::fullCapacityMilliampereHours() const {
    return milliampereHours(chargeFull, energyFull);
}

namespace {

// A supply's uevent lists a few dozen short lines.
constexpr std::size_t kMaxUeventBytes = 16 << 10;

std::optional<std::string_view> attribute(const PowerSupply& supply, std::string_view name) {
    const auto it = supply.attributes.find(name);
    if (it == supply.attributes.end()) return std::nullopt;
    return it->second;
}

std::optional<std::int64_t> integer(const PowerSupply& supply, std::string_view name) {
    const auto text = attribute(supply, name);
    return text ? parseSigned(*text) : std::nullopt;
}

// Supplies of attached devices (a wireless mouse, a headset) say so in their scope.
bool belongsToADevice(const PowerSupply& supply) {
    return attribute(supply, "scope") == "Device";
}

PowerSupply parseUevent(const fs::path& folder, std::string_view text) {
    PowerSupply supply{folder, {}};
    constexpr std::string_view prefix = "POWER_SUPPLY_";
    forEachKeyedLine(text, '=', [&](std::string_view key, std::string_view value) {
        if (!key.starts_with(prefix)) return;
        std::string name(key.substr(prefix.size()));
        std::transform(name.begin(), name.end(), name.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
        supply.attributes.try_emplace(std::move(name), value);
    });
    return supply;
}

} // namespace

bool PowerSupply::isSystemBattery() const {
    // A bay without its battery says present 0; drivers without the attribute have theirs.
    return attribute(*this, "type") == "Battery" && !belongsToADevice(*this) &&
           integer(*this, "present").value_or(1) == 1;
}

std::optional<PowerSupply> readPowerSupply(const fs::path& folder) {
    const auto text = readFile(folder / "uevent", kMaxUeventBytes);
    if (!text) return std::nullopt;
    return parseUevent(folder, *text);
}

std::vector<PowerSupply> readPowerSupplies(const fs::path& sysRoot, bool untilASystemBattery) {
    const fs::path classFolder = sysRoot / "class/power_supply";
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(classFolder.c_str()), ::closedir);
    if (!dir) return {};
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir.get()))
        if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
    std::sort(names.begin(), names.end());
    std::vector<PowerSupply> supplies;
    for (const auto& name : names) {
        // Read relative to the class folder: its path is resolved once, not once a supply.
        const auto text =
            readFileAt(::dirfd(dir.get()), (name + "/uevent").c_str(), kMaxUeventBytes);
        if (!text) continue;
        supplies.push_back(parseUevent(classFolder / name, *text));
        if (untilASystemBattery && supplies.back().isSystemBattery()) break;
    }
    return supplies;
}

std::optional<bool> externalPowerOnline(const std::vector<PowerSupply>& supplies) {
    std::optional<bool> online;
    for (const auto& supply : supplies) {
        const auto type = attribute(supply, "type");
        if (!type || (*type != "Mains" && !type->starts_with("USB")) || belongsToADevice(supply))
            continue;
        online = online.value_or(false) || integer(supply, "online") == 1;
    }
    return online;
}

PowerSupplyBattery batteryOf(const PowerSupply& supply) {
    PowerSupplyBattery b;
    b.status = attribute(supply, "status").value_or("Unknown");
    const auto read = [&](std::string_view name) { return integer(supply, name); };
    b.capacity = read("capacity");
    b.energyNow = read("energy_now");
    b.energyFull = read("energy_full");
    b.energyFullDesign = read("energy_full_design");
    b.chargeNow = read("charge_now");
    b.chargeFull = read("charge_full");
    b.chargeFullDesign = read("charge_full_design");
    b.powerNow = read("power_now");
    b.currentNow = read("current_now");
    b.voltageNow = read("voltage_now");
    b.voltageMinDesign = read("voltage_min_design");
    b.timeToEmptyNow = read("time_to_empty_now");
    b.timeToFullNow = read("time_to_full_now");
    b.cycleCount = read("cycle_count");
    return b;
}

PowerSourceDescription powerSourceDescription(const PowerSupplyBattery& battery,
                                              std::optional<bool> externalPower) {
    PowerSourceDescription d;
    d[std::string(ps::kTypeKey)] = std::string(ps::kInternalBatteryType);
    if (const auto p = battery.percent()) d[std::string(ps::kCurrentCapacityKey)] = *p;
    d[std::string(ps::kMaxCapacityKey)] = std::int64_t{100};
    d[std::string(ps::kIsChargingKey)] = battery.isCharging();
    // Without a supply to ask, a battery that is not discharging is being fed.
    const bool onAC = externalPower.value_or(!battery.isDischarging());
    d[std::string(ps::kPowerSourceStateKey)] =
        std::string(onAC ? ps::kACPowerValue : ps::kBatteryPowerValue);
    d[std::string(ps::kTimeToEmptyKey)] = battery.minutesToEmpty();
    d[std::string(ps::kTimeToFullChargeKey)] = battery.minutesToFull();
    return d;
}

RegistryDictionary smartBatteryProperties(const PowerSupplyBattery& battery) {
    RegistryDictionary props;
    // Drivers that do not count cycles report 0.
    if (const auto cycles = positive(battery.cycleCount)) props["CycleCount"] = *cycles;
    if (const auto design = battery.designCapacityMilliampereHours())
        props["DesignCapacity"] = *design;
    if (const auto full = battery.fullCapacityMilliampereHours()) props["MaxCapacity"] = *full;
    if (const auto mA = battery.milliamperes()) props["Amperage"] = *mA;
    if (const auto uV = positive(battery.voltageNow)) props["Voltage"] = *uV / 1000;
    return props;
}

} // namespace quillfen::platform::linux
