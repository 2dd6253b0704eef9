#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/LinuxApplication.h"
#include "platform/linux/LinuxClock.h"
#include "platform/linux/LinuxFileManager.h"
#include "platform/linux/LinuxHIDEventSystem.h"
#include "platform/linux/LinuxMainBundle.h"
#include "platform/linux/LinuxMainQueue.h"
#include "platform/linux/LinuxSMC.h"
#include "platform/linux/LinuxSystemLog.h"

#include <cstdlib>

namespace quillfen::platform::linux {
namespace {

// A kernel file tree read from elsewhere than its usual place, so that a tree captured on
// another machine can be replayed: QUILLFEN_SYSFS_ROOT=/path/to/sys.
std::filesystem::path rootFromEnvironment(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (!value || !*value) return fallback;
    std::error_code ec;
    auto root = std::filesystem::absolute(value, ec);
    return ec ? std::filesystem::path(fallback) : root;
}

} // namespace

Platform makePlatform() {
    const auto sysfs = rootFromEnvironment("QUILLFEN_SYSFS_ROOT", "/sys");
    Platform p;
    p.clock = std::make_shared<LinuxClock>();
    p.mainQueue = std::make_shared<LinuxMainQueue>();
    p.systemLog = std::make_shared<LinuxSystemLog>();
    p.application = std::make_shared<LinuxApplication>();
    p.mainBundle = std::make_shared<LinuxMainBundle>();
    p.fileManager = std::make_shared<LinuxFileManager>();
    p.smc = std::make_shared<LinuxSMC>(sysfs);
    p.hidEventSystem = std::make_shared<LinuxHIDEventSystem>(sysfs);
    return p;
}

} // namespace quillfen::platform::linux
