#pragma once

#include <memory>
#include <optional>
#include <string>

namespace quillfen::platform::linux {

// NVIDIA's management library, for the few questions the registry asks about a GPU.
class Nvml {
public:
    using Device = void*;

    virtual ~Nvml() = default;
    // The GPU at a PCI address such as "0000:01:00.0".
    virtual std::optional<Device> deviceByPCIBusID(const std::string& busID) = 0;
    virtual std::optional<std::string> name(Device device) = 0;
    // Percent of the last sample period in which a kernel ran on the GPU.
    virtual std::optional<unsigned> utilizationPercent(Device device) = 0;
    virtual std::optional<unsigned> coreCount(Device device) = 0;
};

// The library loaded at run time and initialised; nothing when it is not installed or does
// not initialise. It is shut down and unloaded when the last holder lets go.
std::shared_ptr<Nvml> loadNvml(const char* library = "libnvidia-ml.so.1");

} // namespace quillfen::platform::linux
