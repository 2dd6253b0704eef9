#pragma once

#include "platform/Registry.h"
#include "platform/linux/KernelFile.h"
#include "platform/linux/Nvml.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quillfen::platform::linux {

// The registry's accelerators ("IOAccelerator") are the DRM cards of sysfs that have a
// busy-percent source: `gpu_busy_percent` (amdgpu) or, for the NVIDIA driver, NVML. Each
// has "PerformanceStatistics" ("Device Utilization %" and "Renderer Utilization %", the one
// figure the driver gives; no tiler), "model" and, where known, "gpu-core-count". A card
// that is runtime-suspended reports 0 % without being woken.
//
// The block-storage drivers ("IOBlockStorageDriver") are the whole disks of /sys/block,
// each with "Statistics" → "Bytes (Read)" and "Bytes (Write)"; encrypted and LVM volumes
// are counted through the disks they sit on. The smart battery ("AppleSmartBattery") is the
// machine's first battery of the power-supply class, and "IODeviceTree:/product" names the
// machine ("product-name") from the device tree or DMI.
class LinuxRegistry final : public Registry {
public:
    using NvmlLoader = std::function<std::shared_ptr<Nvml>()>;

    // `dataRoot` holds the PCI and amdgpu name tables (misc/ or hwdata/pci.ids,
    // libdrm/amdgpu.ids). NVML is loaded only once an NVIDIA card is found.
    explicit LinuxRegistry(
        std::filesystem::path sysRoot, std::filesystem::path dataRoot = "/usr/share",
        NvmlLoader loadNvml = [] { return linux::loadNvml(); });

    std::optional<std::vector<std::unique_ptr<RegistryService>>>
    servicesMatching(std::string_view className) override;
    std::unique_ptr<RegistryService> entryFromPath(std::string_view path) override;

private:
    std::shared_ptr<Nvml> nvml();

    std::filesystem::path sysRoot_;
    std::filesystem::path dataRoot_;
    bool liveSys_;
    NvmlLoader loadNvml_;
    // The disks are listed every second, for the disk sampler: the folder, and the statistics
    // files of the disks of the latest listing, are kept from one listing to the next.
    KernelDirectory blockFolder_;
    std::vector<std::string> blockNames_;
    std::map<std::string, std::shared_ptr<KernelFile>> diskStats_;
    // Shared by the services that use it, and unloaded after the last of them.
    std::weak_ptr<Nvml> nvml_;
};

} // namespace quillfen::platform::linux
