#include "platform/linux/LinuxMainBundle.h"

#include "platform/linux/BundleLayout.h"

namespace quillfen::platform::linux {

LinuxMainBundle::LinuxMainBundle(std::filesystem::path executable)
    : executable_(std::move(executable)) {}

void LinuxMainBundle::load() const {
    std::call_once(loaded_, [this] {
        std::filesystem::path exe = executable_;
        if (exe.empty()) {
            std::error_code ec;
            exe = std::filesystem::read_symlink("/proc/self/exe", ec);
            if (ec) return;
        }
        bundle_ = bundleContaining(exe);
        if (bundle_) info_ = readInfoDictionary(*bundle_);
    });
}

std::optional<std::filesystem::path> LinuxMainBundle::bundlePath() const {
    load();
    return bundle_;
}

std::optional<json::Json> LinuxMainBundle::infoDictionary() const {
    load();
    return info_;
}

} // namespace quillfen::platform::linux
