#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/LinuxApplication.h"
#include "platform/linux/LinuxClock.h"
#include "platform/linux/LinuxFileManager.h"
#include "platform/linux/LinuxKernel.h"
#include "platform/linux/LinuxMainBundle.h"
#include "platform/linux/LinuxMainQueue.h"
#include "platform/linux/LinuxRegistry.h"
#include "platform/linux/LinuxSystemLog.h"

#include <cstdlib>
#include <filesystem>

namespace quillfen::platform::linux {
namespace {

// Where procfs and sysfs are mounted; tests and captured machines point these elsewhere.
std::filesystem::path rootFromEnvironment(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    return value && *value ? value : fallback;
}

std::filesystem::path procfsRoot() {
    return rootFromEnvironment("QUILLFEN_PROCFS_ROOT", "/proc");
}

std::filesystem::path sysfsRoot() {
    return rootFromEnvironment("QUILLFEN_SYSFS_ROOT", "/sys");
}

} // namespace

Platform makePlatform() {
    Platform p;
    p.clock = std::make_shared<LinuxClock>();
    p.mainQueue = std::make_shared<LinuxMainQueue>();
    p.systemLog = std::make_shared<LinuxSystemLog>();
    p.application = std::make_shared<LinuxApplication>();
    p.mainBundle = std::make_shared<LinuxMainBundle>();
    p.fileManager = std::make_shared<LinuxFileManager>();
    const auto sys = sysfsRoot();
    p.kernel = std::make_shared<LinuxKernel>(procfsRoot(), sys);
    p.registry = std::make_shared<LinuxRegistry>(sys);
    return p;
}

} // namespace quillfen::platform::linux
