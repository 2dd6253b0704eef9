#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/LinuxAlertPresenter.h"
#include "platform/linux/LinuxApplication.h"
#include "platform/linux/LinuxClock.h"
#include "platform/linux/LinuxFileManager.h"
#include "platform/linux/LinuxLoginItems.h"
#include "platform/linux/LinuxMainBundle.h"
#include "platform/linux/LinuxMainQueue.h"
#include "platform/linux/LinuxSystemLog.h"
#include "platform/linux/LinuxUserDefaults.h"
#include "platform/linux/LinuxVolumeFlags.h"
#include "platform/linux/LinuxWorkspace.h"

namespace quillfen::platform::linux {

Platform makePlatform() {
    Platform p;
    p.clock = std::make_shared<LinuxClock>();
    p.mainQueue = std::make_shared<LinuxMainQueue>();
    p.systemLog = std::make_shared<LinuxSystemLog>();
    p.application = std::make_shared<LinuxApplication>();
    p.mainBundle = std::make_shared<LinuxMainBundle>();
    p.fileManager = std::make_shared<LinuxFileManager>();
    p.workspace = std::make_shared<LinuxWorkspace>();
    p.volumeFlags = std::make_shared<LinuxVolumeFlags>();
    p.loginItems = std::make_shared<LinuxLoginItems>(p.mainBundle);
    p.alerts = std::make_shared<LinuxAlertPresenter>(p.mainBundle);
    p.userDefaults = std::make_shared<LinuxUserDefaultsSuites>(p.fileManager);
    return p;
}

} // namespace quillfen::platform::linux
