#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/LinuxApplication.h"
#include "platform/linux/LinuxClock.h"
#include "platform/linux/LinuxFileManager.h"
#include "platform/linux/LinuxMainBundle.h"
#include "platform/linux/LinuxMainQueue.h"
#include "platform/linux/LinuxSystemLog.h"

namespace quillfen::platform::linux {

Platform makePlatform() {
    Platform p;
    p.clock = std::make_shared<LinuxClock>();
    p.mainQueue = std::make_shared<LinuxMainQueue>();
    p.systemLog = std::make_shared<LinuxSystemLog>();
    p.application = std::make_shared<LinuxApplication>();
    p.mainBundle = std::make_shared<LinuxMainBundle>();
    p.fileManager = std::make_shared<LinuxFileManager>();
    return p;
}

} // namespace quillfen::platform::linux
