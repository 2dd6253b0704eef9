#include "platform/linux/Nvml.h"

#include <cstring>
#include <dlfcn.h>

namespace quillfen::platform::linux {
namespace {

// The parts of the library's C interface in use, declared here so that nothing of it is
// needed to build.
using nvmlReturn_t = int;
constexpr nvmlReturn_t kNvmlSuccess = 0;
using nvmlDevice_t = void*;
struct nvmlUtilization_t {
    unsigned int gpu;
    unsigned int memory;
};
constexpr unsigned kNameBufferSize = 96;

class LoadedNvml final : public Nvml {
public:
    explicit LoadedNvml(void* handle)
        : handle_(handle) {}

    // Resolves every symbol and initialises the library; false leaves nothing to undo but
    // the dlclose of the destructor.
    bool start() {
        bind(init_, "nvmlInit_v2");
        bind(shutdown_, "nvmlShutdown");
        bind(byBusID_, "nvmlDeviceGetHandleByPciBusId_v2");
        bind(name_, "nvmlDeviceGetName");
        bind(utilization_, "nvmlDeviceGetUtilizationRates");
        // Only recent drivers report the number of cores.
        bind(cores_, "nvmlDeviceGetNumGpuCores");
        if (!init_ || !shutdown_ || !byBusID_ || !name_ || !utilization_) return false;
        initialised_ = init_() == kNvmlSuccess;
        return initialised_;
    }

    ~LoadedNvml() override {
        if (initialised_) shutdown_();
        ::dlclose(handle_);
    }

    std::optional<Device> deviceByPCIBusID(const std::string& busID) override {
        nvmlDevice_t device = nullptr;
        if (byBusID_(busID.c_str(), &device) != kNvmlSuccess || !device) return std::nullopt;
        return device;
    }

    std::optional<std::string> name(Device device) override {
        char buffer[kNameBufferSize] = {};
        if (name_(device, buffer, kNameBufferSize) != kNvmlSuccess) return std::nullopt;
        // Never trust the terminator to be there.
        return std::string(buffer, ::strnlen(buffer, kNameBufferSize));
    }

    std::optional<unsigned> utilizationPercent(Device device) override {
        nvmlUtilization_t rates{};
        if (utilization_(device, &rates) != kNvmlSuccess) return std::nullopt;
        return rates.gpu;
    }

    std::optional<unsigned> coreCount(Device device) override {
        unsigned cores = 0;
        if (!cores_ || cores_(device, &cores) != kNvmlSuccess) return std::nullopt;
        return cores;
    }

private:
    template <typename F> void bind(F*& function, const char* symbol) {
        function = reinterpret_cast<F*>(::dlsym(handle_, symbol));
    }

    void* handle_;
    bool initialised_ = false;
    nvmlReturn_t (*init_)() = nullptr;
    nvmlReturn_t (*shutdown_)() = nullptr;
    nvmlReturn_t (*byBusID_)(const char*, nvmlDevice_t*) = nullptr;
    nvmlReturn_t (*name_)(nvmlDevice_t, char*, unsigned) = nullptr;
    nvmlReturn_t (*utilization_)(nvmlDevice_t, nvmlUtilization_t*) = nullptr;
    nvmlReturn_t (*cores_)(nvmlDevice_t, unsigned*) = nullptr;
};

} // namespace

std::shared_ptr<Nvml> loadNvml(const char* library) {
    void* handle = ::dlopen(library, RTLD_NOW | RTLD_LOCAL);
    if (!handle) return nullptr;
    auto nvml = std::make_shared<LoadedNvml>(handle);
    if (!nvml->start()) return nullptr;
    return nvml;
}

} // namespace quillfen::platform::linux
