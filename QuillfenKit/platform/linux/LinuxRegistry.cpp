#include "platform/linux/LinuxRegistry.h"

#include "platform/linux/FileIO.h"
#include "platform/linux/KernelText.h"
#include "platform/linux/MachineIdentity.h"
#include "platform/linux/PowerSupply.h"
#include "platform/linux/SysfsAttribute.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxSmallFileBytes = 64 << 10;
constexpr std::size_t kMaxNameTableBytes = 16 << 20;

// A PCI identifier file such as "0x73bf"; 0 (never a valid identifier) when unreadable.
std::uint64_t readID(const fs::path& path) {
    const auto text = readFile(path, kMaxSmallFileBytes);
    if (!text) return 0;
    return parseHex(trim(*text)).value_or(0);
}

// A number of a "key value" file; 0 when missing or malformed.
std::uint64_t keyedNumber(std::string_view text, std::string_view key) {
    const auto value = keyedValue(text, key, ' ');
    if (!value) return 0;
    return parseUnsigned(*value).value_or(0);
}

std::string hex4(std::uint64_t id) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%04llx", static_cast<unsigned long long>(id));
    return buffer;
}

// Names of a PCI vendor and device from the pci.ids table.
struct PCINames {
    std::optional<std::string> vendor;
    std::optional<std::string> device;
};

PCINames lookUpPCINames(const fs::path& dataRoot, std::uint64_t vendor, std::uint64_t device) {
    PCINames names;
    for (const char* table : {"misc/pci.ids", "hwdata/pci.ids"}) {
        const auto text = readFile(dataRoot / table, kMaxNameTableBytes);
        if (!text) continue;
        std::string vendorKey = hex4(vendor);
        vendorKey += "  ";
        std::string deviceKey = "\t";
        deviceKey += hex4(device);
        deviceKey += "  ";
        std::string_view rest = *text;
        bool inVendor = false;
        while (!rest.empty()) {
            const std::string_view line = nextLine(rest);
            if (line.empty() || line.front() == '#') continue;
            if (line.front() != '\t') {
                if (inVendor) break;
                if (line.starts_with(vendorKey)) {
                    inVendor = true;
                    names.vendor = std::string(trim(line.substr(vendorKey.size())));
                }
            } else if (inVendor && line.starts_with(deviceKey)) {
                names.device = std::string(trim(line.substr(deviceKey.size())));
                break;
            }
        }
        return names;
    }
    return names;
}

// "AMD Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]" from the PCI ids, or "AMD device 73bf"
// where no table names the device.
std::optional<std::string> pciModel(const fs::path& device, const fs::path& dataRoot) {
    const std::uint64_t vendor = readID(device / "vendor");
    const std::uint64_t product = readID(device / "device");
    if (vendor == 0 || product == 0) return std::nullopt;
    const PCINames names = lookUpPCINames(dataRoot, vendor, product);
    std::string vendorName;
    switch (vendor) {
    case 0x1002:
        vendorName = "AMD";
        break;
    case 0x10de:
        vendorName = "NVIDIA";
        break;
    case 0x8086:
        vendorName = "Intel";
        break;
    default:
        vendorName = names.vendor.value_or("PCI vendor " + hex4(vendor));
    }
    return vendorName + " " + names.device.value_or("device " + hex4(product));
}

// A card put to sleep by runtime power management must not be woken just to be sampled.
bool isAsleep(KernelFile& runtimeStatus) {
    const auto status = runtimeStatus.read(kMaxSmallFileBytes);
    if (!status) return false;
    const auto text = trim(*status);
    return text == "suspended" || text == "suspending";
}

RegistryDictionary statistics(std::int64_t busyPercent) {
    return RegistryDictionary{{"Device Utilization %", busyPercent},
                              {"Renderer Utilization %", busyPercent}};
}

// A DRM card with a busy-percent source; `device` is its PCI device folder.
class CardService : public RegistryService {
public:
    CardService(fs::path device, fs::path dataRoot, bool live)
        : device_(std::move(device))
        , dataRoot_(std::move(dataRoot))
        , runtimeStatus_(device_ / "power/runtime_status", live) {}

    std::optional<RegistryDictionary> properties() const override {
        RegistryDictionary props;
        props["PerformanceStatistics"] = performanceStatistics().value_or(RegistryDictionary{});
        if (auto model = driverModel(); model && !model->empty())
            props["model"] = std::move(*model);
        else if (auto pci = pciModel(device_, dataRoot_))
            props["model"] = std::move(*pci);
        if (const auto cores = coreCount()) props["gpu-core-count"] = *cores;
        return props;
    }

    std::optional<RegistryValue> property(std::string_view key) const override {
        if (key == "PerformanceStatistics") {
            auto stats = performanceStatistics();
            if (!stats) return std::nullopt;
            return RegistryValue(std::move(*stats));
        }
        auto props = properties();
        const auto it = props->find(key);
        if (it == props->end()) return std::nullopt;
        return std::move(it->second);
    }

protected:
    virtual std::optional<std::int64_t> busyPercent() const = 0;
    virtual std::optional<std::string> driverModel() const = 0;
    virtual std::optional<std::int64_t> coreCount() const = 0;

    const fs::path device_;
    const fs::path dataRoot_;

private:
    std::optional<RegistryDictionary> performanceStatistics() const {
        if (isAsleep(runtimeStatus_)) return statistics(0);
        const auto busy = busyPercent();
        if (!busy) return std::nullopt;
        return statistics(*busy);
    }

    // Read every other second for as long as the GPU sampler keeps the service.
    mutable KernelFile runtimeStatus_;
};

// amdgpu: `gpu_busy_percent`, the board's product name or libdrm's marketing name, and the
// compute units from the compute driver's topology.
class BusyPercentService final : public CardService {
public:
    BusyPercentService(fs::path device, fs::path dataRoot, fs::path sysRoot, bool live)
        : CardService(std::move(device), std::move(dataRoot), live)
        , sysRoot_(std::move(sysRoot))
        , busyPercent_(device_ / "gpu_busy_percent", live) {}

protected:
    std::optional<std::int64_t> busyPercent() const override {
        const auto text = busyPercent_.read(kMaxSmallFileBytes);
        if (!text) return std::nullopt;
        const auto value = parseUnsigned(trim(*text));
        if (!value || *value > INT64_MAX) return std::nullopt;
        return static_cast<std::int64_t>(*value);
    }

    std::optional<std::string> driverModel() const override {
        if (auto name = readSysfsText(device_ / "product_name"); name && !name->empty())
            return name;
        const std::uint64_t deviceID = readID(device_ / "device");
        if (deviceID == 0) return std::nullopt;
        const auto revisionText = readSysfsText(device_ / "revision");
        const auto revisionID = revisionText ? parseHex(*revisionText) : std::nullopt;
        if (!revisionID) return std::nullopt;
        const auto table = readFile(dataRoot_ / "libdrm/amdgpu.ids", kMaxNameTableBytes);
        if (!table) return std::nullopt;
        // Lines "73BF,\tC1,\tAMD Radeon RX 6800 XT".
        std::string_view rest = *table;
        while (!rest.empty()) {
            const std::string_view line = nextLine(rest);
            const std::size_t first = line.find(',');
            if (line.starts_with('#') || first == std::string_view::npos) continue;
            const std::size_t second = line.find(',', first + 1);
            if (second == std::string_view::npos) continue;
            if (parseHex(trim(line.substr(0, first))) != deviceID ||
                parseHex(trim(line.substr(first + 1, second - first - 1))) != revisionID)
                continue;
            return std::string(trim(line.substr(second + 1)));
        }
        return std::nullopt;
    }

    // The compute driver lists each GPU as a topology node with the render node it belongs
    // to; compute units = SIMDs ÷ SIMDs per unit.
    std::optional<std::int64_t> coreCount() const override {
        std::optional<std::string> renderMinor;
        std::error_code ec;
        for (fs::directory_iterator it(device_ / "drm", ec), end; !ec && it != end;
             it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.starts_with("renderD")) renderMinor = name.substr(7);
        }
        if (!renderMinor) return std::nullopt;
        for (fs::directory_iterator it(sysRoot_ / "class/kfd/kfd/topology/nodes", ec), end;
             !ec && it != end; it.increment(ec)) {
            const auto text = readFile(it->path() / "properties", kMaxSmallFileBytes);
            if (!text || keyedValue(*text, "drm_render_minor", ' ') != renderMinor) continue;
            const std::uint64_t simds = keyedNumber(*text, "simd_count");
            const std::uint64_t perCU = keyedNumber(*text, "simd_per_cu");
            if (perCU == 0 || simds / perCU == 0 || simds / perCU > INT64_MAX) return std::nullopt;
            return static_cast<std::int64_t>(simds / perCU);
        }
        return std::nullopt;
    }

private:
    const fs::path sysRoot_;
    mutable KernelFile busyPercent_;
};

// The NVIDIA driver, asked through NVML.
class NvmlService final : public CardService {
public:
    NvmlService(fs::path device, fs::path dataRoot, bool live, std::shared_ptr<Nvml> nvml,
                Nvml::Device handle)
        : CardService(std::move(device), std::move(dataRoot), live)
        , nvml_(std::move(nvml))
        , handle_(handle) {}

protected:
    std::optional<std::int64_t> busyPercent() const override {
        return nvml_->utilizationPercent(handle_);
    }
    std::optional<std::string> driverModel() const override { return nvml_->name(handle_); }
    std::optional<std::int64_t> coreCount() const override {
        const auto cores = nvml_->coreCount(handle_);
        if (!cores || *cores == 0) return std::nullopt;
        return *cores;
    }

private:
    std::shared_ptr<Nvml> nvml_;
    Nvml::Device handle_;
};

// An entry whose properties are read afresh on every call.
class ReadingService final : public RegistryService {
public:
    using Read = std::function<std::optional<RegistryDictionary>()>;
    explicit ReadingService(Read read)
        : read_(std::move(read)) {}

    std::optional<RegistryDictionary> properties() const override { return read_(); }
    std::optional<RegistryValue> property(std::string_view key) const override {
        auto props = read_();
        if (!props) return std::nullopt;
        const auto it = props->find(key);
        if (it == props->end()) return std::nullopt;
        return std::move(it->second);
    }

private:
    Read read_;
};

// The bytes read and written by a whole disk since boot, from the sector counts of its
// `stat` file (in 512-byte units whatever the disk's own sector size).
std::optional<RegistryDictionary> diskStatistics(KernelFile& stat) {
    const auto text = stat.read(kMaxSmallFileBytes);
    if (!text) return std::nullopt;
    // read I/Os, read merges, sectors read, read ticks, write I/Os, write merges,
    // sectors written, ...
    std::string_view rest = *text;
    std::uint64_t field[7] = {};
    for (auto& f : field) {
        const auto v = parseUnsigned(nextField(rest));
        if (!v) return std::nullopt;
        f = *v;
    }
    // Kept as the registry's signed integers bit for bit; readers take them unsigned.
    const auto bytes = [](std::uint64_t sectors) {
        return static_cast<std::int64_t>(sectors * 512);
    };
    return RegistryDictionary{
        {"Statistics", RegistryDictionary{{"Bytes (Read)", bytes(field[2])},
                                          {"Bytes (Write)", bytes(field[6])}}}};
}

// Disks that are real hardware: not loop devices, RAM disks, compressed swap, or the
// device-mapper and software-RAID layers, whose traffic the disks beneath them count.
bool isPhysicalDisk(std::string_view name) {
    for (std::string_view layer : {"loop", "ram", "zram", "dm-", "md"})
        if (name.starts_with(layer)) return false;
    return !name.empty() && name.front() != '.';
}

// The cards of class/drm ("card0", not its connectors "card0-DP-1") in number order.
std::vector<std::pair<unsigned, fs::path>> drmCards(const fs::path& sysRoot) {
    std::vector<std::pair<unsigned, fs::path>> cards;
    std::error_code ec;
    for (fs::directory_iterator it(sysRoot / "class/drm", ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with("card")) continue;
        const auto number = parseUnsigned(std::string_view(name).substr(4));
        if (number && *number <= UINT32_MAX)
            cards.emplace_back(static_cast<unsigned>(*number), it->path());
    }
    std::sort(cards.begin(), cards.end());
    return cards;
}

} // namespace

LinuxRegistry::LinuxRegistry(fs::path sysRoot, fs::path dataRoot, NvmlLoader loadNvml)
    : sysRoot_(std::move(sysRoot))
    , dataRoot_(std::move(dataRoot))
    , liveSys_(isLiveKernelTree(sysRoot_))
    , loadNvml_(std::move(loadNvml))
    , blockFolder_(sysRoot_ / "block", liveSys_) {}

std::shared_ptr<Nvml> LinuxRegistry::nvml() {
    auto nvml = nvml_.lock();
    if (!nvml && loadNvml_) {
        nvml = loadNvml_();
        nvml_ = nvml;
    }
    return nvml;
}

std::optional<std::vector<std::unique_ptr<RegistryService>>>
LinuxRegistry::servicesMatching(std::string_view className) {
    std::vector<std::unique_ptr<RegistryService>> services;
    if (className == "IOBlockStorageDriver") {
        // /sys/block lists whole disks only; their partitions are folders inside them.
        blockFolder_.list(blockNames_);
        std::erase_if(blockNames_, [](const std::string& name) { return !isPhysicalDisk(name); });
        std::sort(blockNames_.begin(), blockNames_.end());
        std::map<std::string, std::shared_ptr<KernelFile>> listed;
        for (const auto& disk : blockNames_) {
            auto& stat = listed[disk];
            if (const auto kept = diskStats_.find(disk); kept != diskStats_.end())
                stat = std::move(kept->second);
            else
                stat = std::make_shared<KernelFile>(sysRoot_ / "block" / disk / "stat", liveSys_);
            services.push_back(
                std::make_unique<ReadingService>([stat] { return diskStatistics(*stat); }));
        }
        diskStats_ = std::move(listed);
        return services;
    }
    if (className == "AppleSmartBattery") {
        for (const auto& supply : readPowerSupplies(sysRoot_, true)) {
            if (!supply.isSystemBattery()) continue;
            services.push_back(std::make_unique<ReadingService>(
                [folder = supply.folder]() -> std::optional<RegistryDictionary> {
                    const auto battery = readPowerSupply(folder);
                    if (!battery) return std::nullopt;
                    return smartBatteryProperties(batteryOf(*battery));
                }));
            break;
        }
        return services;
    }
    if (className != "IOAccelerator") return services;
    // Loaded at most once per lookup, even when it turns out to be missing.
    std::optional<std::shared_ptr<Nvml>> nvmlOfLookup;
    for (const auto& [number, card] : drmCards(sysRoot_)) {
        const fs::path device = card / "device";
        std::error_code ec;
        if (fs::exists(device / "gpu_busy_percent", ec)) {
            services.push_back(
                std::make_unique<BusyPercentService>(device, dataRoot_, sysRoot_, liveSys_));
            continue;
        }
        const auto uevent = readFile(device / "uevent", kMaxSmallFileBytes);
        if (!uevent || keyedValue(*uevent, "DRIVER", '=') != "nvidia") continue;
        const auto busID = keyedValue(*uevent, "PCI_SLOT_NAME", '=');
        if (!busID) continue;
        if (!nvmlOfLookup) nvmlOfLookup = nvml();
        if (!*nvmlOfLookup) continue;
        if (const auto handle = (*nvmlOfLookup)->deviceByPCIBusID(*busID))
            services.push_back(
                std::make_unique<NvmlService>(device, dataRoot_, liveSys_, *nvmlOfLookup, *handle));
    }
    return services;
}

std::unique_ptr<RegistryService> LinuxRegistry::entryFromPath(std::string_view path) {
    if (path != "IODeviceTree:/product") return nullptr;
    if (!marketingName(sysRoot_)) return nullptr;
    return std::make_unique<ReadingService>([sysRoot = sysRoot_] {
        RegistryDictionary props;
        if (auto name = marketingName(sysRoot)) {
            if (name->isRawBytes)
                props["product-name"] = RegistryBytes(name->text.begin(), name->text.end());
            else
                props["product-name"] = std::move(name->text);
        }
        return std::optional(std::move(props));
    });
}

} // namespace quillfen::platform::linux
