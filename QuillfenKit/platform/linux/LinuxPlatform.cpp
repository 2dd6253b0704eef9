#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/LinuxAlertPresenter.h"
#include "platform/linux/LinuxApplication.h"
#include "platform/linux/LinuxClock.h"
#include "platform/linux/LinuxFileManager.h"
#include "platform/linux/LinuxHIDEventSystem.h"
#include "platform/linux/LinuxKernel.h"
#include "platform/linux/LinuxLoginItems.h"
#include "platform/linux/LinuxMainBundle.h"
#include "platform/linux/LinuxMainQueue.h"
#include "platform/linux/LinuxPowerSources.h"
#include "platform/linux/LinuxRegistry.h"
#include "platform/linux/LinuxSMC.h"
#include "platform/linux/LinuxSystemLog.h"
#include "platform/linux/LinuxUserDefaults.h"
#include "platform/linux/LinuxVolumeFlags.h"
#include "platform/linux/LinuxVolumes.h"
#include "platform/linux/LinuxWorkspace.h"

#include <cstdlib>
#include <filesystem>

namespace quillfen::platform::linux {
namespace {

// Where procfs and sysfs are mounted. Pointing these elsewhere replays a tree captured on
// another machine: QUILLFEN_SYSFS_ROOT=/path/to/sys, QUILLFEN_PROCFS_ROOT=/path/to/proc.
std::filesystem::path rootFromEnvironment(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (!value || !*value) return fallback;
    std::error_code ec;
    auto root = std::filesystem::absolute(value, ec);
    return ec ? std::filesystem::path(fallback) : root;
}

} // namespace

Platform makePlatform() {
    const auto proc = rootFromEnvironment("QUILLFEN_PROCFS_ROOT", "/proc");
    const auto sys = rootFromEnvironment("QUILLFEN_SYSFS_ROOT", "/sys");
    Platform p;
    p.clock = std::make_shared<LinuxClock>();
    p.mainQueue = std::make_shared<LinuxMainQueue>();
    p.systemLog = std::make_shared<LinuxSystemLog>();
    p.application = std::make_shared<LinuxApplication>();
    p.mainBundle = std::make_shared<LinuxMainBundle>();
    p.fileManager = std::make_shared<LinuxFileManager>();
    p.smc = std::make_shared<LinuxSMC>(sys);
    p.hidEventSystem = std::make_shared<LinuxHIDEventSystem>(sys);
    p.kernel = std::make_shared<LinuxKernel>(proc, sys);
    p.registry = std::make_shared<LinuxRegistry>(sys);
    p.workspace = std::make_shared<LinuxWorkspace>(std::vector<std::filesystem::path>{}, proc);
    p.volumeFlags = std::make_shared<LinuxVolumeFlags>(sys);
    p.volumes = std::make_shared<LinuxVolumes>(proc, sys);
    p.loginItems = std::make_shared<LinuxLoginItems>(p.mainBundle);
    p.alerts = std::make_shared<LinuxAlertPresenter>(p.mainBundle);
    p.userDefaults = std::make_shared<LinuxUserDefaultsSuites>(p.fileManager);
    p.powerSources = std::make_shared<LinuxPowerSources>(sys);
    return p;
}

} // namespace quillfen::platform::linux
