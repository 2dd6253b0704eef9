#pragma once

#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/FileManager.h"
#include "platform/HIDEventSystem.h"
#include "platform/Kernel.h"
#include "platform/LoginItems.h"
#include "platform/MainBundle.h"
#include "platform/MainQueue.h"
#include "platform/Messaging.h"
#include "platform/PowerSources.h"
#include "platform/Registry.h"
#include "platform/SMC.h"
#include "platform/SystemLog.h"
#include "platform/UserDefaults.h"
#include "platform/VolumeFlags.h"
#include "platform/Volumes.h"
#include "platform/Workspace.h"

#include <memory>

namespace quillfen::platform {

// Everything the kit asks of the operating system, one port per concern.
struct Platform {
    std::shared_ptr<Clock> clock;
    std::shared_ptr<MainQueue> mainQueue;
    std::shared_ptr<SystemLog> systemLog;
    std::shared_ptr<Application> application;
    std::shared_ptr<MainBundle> mainBundle;
    std::shared_ptr<FileManager> fileManager;
    std::shared_ptr<SMC> smc;
    std::shared_ptr<HIDEventSystem> hidEventSystem;
    std::shared_ptr<Kernel> kernel;
    std::shared_ptr<Registry> registry;
    std::shared_ptr<Workspace> workspace;
    std::shared_ptr<VolumeFlags> volumeFlags;
    std::shared_ptr<Volumes> volumes;
    // Present in processes that talk to the monitoring service (see linux::enableDBus).
    std::shared_ptr<Messaging> messaging;
    std::shared_ptr<LoginItems> loginItems;
    std::shared_ptr<AlertPresenter> alerts;
    std::shared_ptr<UserDefaultsSuites> userDefaults;
    std::shared_ptr<PowerSources> powerSources;
};

// The process's platform: the Linux one unless a scope has installed another.
Platform& current();

// Installs a platform for the lifetime of the scope (tests install fakes), restoring the
// previous one afterwards. The platform must outlive the scope.
class ScopedPlatform {
public:
    explicit ScopedPlatform(Platform& platform);
    ~ScopedPlatform();
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;

private:
    Platform* previous_;
};

} // namespace quillfen::platform
