#pragma once

#include "platform/PowerSources.h"
#include "platform/Registry.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The kernel's power-supply class (`/sys/class/power_supply`): the machine's batteries and
// its external supplies. Drivers differ in what they report and in which units, and firmware
// fills in values it does not know; what cannot be trusted counts as unknown.
namespace quillfen::platform::linux {

// One battery's attributes in the kernel's units: µWh, µAh, µW, µA, µV, seconds.
struct PowerSupplyBattery {
    std::string status; // "Charging", "Discharging", "Full", "Not charging", "Unknown"
    std::optional<std::int64_t> capacity; // percent
    std::optional<std::int64_t> energyNow, energyFull, energyFullDesign;
    std::optional<std::int64_t> chargeNow, chargeFull, chargeFullDesign;
    std::optional<std::int64_t> powerNow, currentNow;
    std::optional<std::int64_t> voltageNow, voltageMinDesign;
    std::optional<std::int64_t> timeToEmptyNow, timeToFullNow;
    std::optional<std::int64_t> cycleCount;

    bool isCharging() const { return status == "Charging"; }
    bool isDischarging() const { return status == "Discharging"; }

    // Charge level in percent; nothing when the driver gives neither a level nor the charge
    // or energy to work it out.
    std::optional<std::int64_t> percent() const;
    // Power flowing into or out of the battery, in watts and never negative; nothing while it
    // is unknown or implausible.
    std::optional<double> watts() const;
    // Current in milliamperes, negative while discharging; nothing while unknown.
    std::optional<std::int64_t> milliamperes() const;
    // Minutes until empty while discharging, until full while charging; -1 while unknown or
    // when the battery is not going that way.
    std::int64_t minutesToEmpty() const;
    std::int64_t minutesToFull() const;
    // Design and full-charge capacities in mAh, worked out from energies where the driver
    // counts energy; nothing when they cannot be had.
    std::optional<std::int64_t> designCapacityMilliampereHours() const;
    std::optional<std::int64_t> fullCapacityMilliampereHours() const;

private:
    bool countsEnergy() const { return energyNow && energyFull; }
    // The flow in the battery's own unit (µW for energy, µA for charge), never negative.
    std::optional<double> flow() const;
    std::optional<std::int64_t> milliampereHours(std::optional<std::int64_t> charge,
                                                 std::optional<std::int64_t> energy) const;
};

// One supply with its attributes as its `uevent` file lists them, named as their files are
// ("energy_now" → "41430000"). One read of that file costs less than one read per attribute.
struct PowerSupply {
    std::filesystem::path folder;
    std::map<std::string, std::string, std::less<>> attributes;

    // The machine's own battery: type Battery, present, and not the battery of a device such
    // as a mouse or a headset.
    bool isSystemBattery() const;
};

// The attributes of the supply in `folder`; nothing when they cannot be read.
std::optional<PowerSupply> readPowerSupply(const std::filesystem::path& folder);

// Every supply under `sysRoot` in name order, or those up to the first system battery.
std::vector<PowerSupply> readPowerSupplies(const std::filesystem::path& sysRoot,
                                           bool untilASystemBattery = false);

// Whether external power is connected: a mains (or USB) supply that is online. Nothing when
// the machine reports no such supply.
std::optional<bool> externalPowerOnline(const std::vector<PowerSupply>& supplies);

PowerSupplyBattery batteryOf(const PowerSupply& supply);

// The description of a battery as a power source.
PowerSourceDescription powerSourceDescription(const PowerSupplyBattery& battery,
                                              std::optional<bool> externalPower);

// The properties of a battery as the smart-battery registry entry has them.
RegistryDictionary smartBatteryProperties(const PowerSupplyBattery& battery);

} // namespace quillfen::platform::linux
