#pragma once

#include "platform/Platform.h"
#include "platform/fake/FakeAlertPresenter.h"
#include "platform/fake/FakeApplication.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeFileManager.h"
#include "platform/fake/FakeHIDEventSystem.h"
#include "platform/fake/FakeKernel.h"
#include "platform/fake/FakeLoginItems.h"
#include "platform/fake/FakeMainBundle.h"
#include "platform/fake/FakeMainQueue.h"
#include "platform/fake/FakeMessaging.h"
#include "platform/fake/FakePowerSources.h"
#include "platform/fake/FakeRegistry.h"
#include "platform/fake/FakeSMC.h"
#include "platform/fake/FakeSystemLog.h"
#include "platform/fake/FakeUserDefaults.h"
#include "platform/fake/FakeVolumeFlags.h"
#include "platform/fake/FakeVolumes.h"
#include "platform/fake/FakeWorkspace.h"

#include <optional>

namespace quillfen::platform::fake {

// A complete platform of fakes, installed as the current platform for its lifetime.
class FakePlatform {
public:
    FakePlatform();
    ~FakePlatform();
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    const std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    const std::shared_ptr<FakeMainQueue> queue = std::make_shared<FakeMainQueue>(*clock);
    const std::shared_ptr<FakeSystemLog> log = std::make_shared<FakeSystemLog>();
    const std::shared_ptr<FakeApplication> application = std::make_shared<FakeApplication>();
    const std::shared_ptr<FakeMainBundle> mainBundle = std::make_shared<FakeMainBundle>();
    const std::shared_ptr<FakeFileManager> files = std::make_shared<FakeFileManager>();
    const std::shared_ptr<FakeSMC> smc = std::make_shared<FakeSMC>();
    const std::shared_ptr<FakeHIDEventSystem> hid = std::make_shared<FakeHIDEventSystem>();
    const std::shared_ptr<FakeKernel> kernel = std::make_shared<FakeKernel>();
    const std::shared_ptr<FakeRegistry> registry = std::make_shared<FakeRegistry>();
    const std::shared_ptr<FakeWorkspace> workspace = std::make_shared<FakeWorkspace>();
    const std::shared_ptr<FakeVolumeFlags> volumeFlags = std::make_shared<FakeVolumeFlags>();
    const std::shared_ptr<FakeVolumes> volumes = std::make_shared<FakeVolumes>();
    const std::shared_ptr<FakeMessaging> messaging = std::make_shared<FakeMessaging>();
    const std::shared_ptr<FakeLoginItems> loginItems = std::make_shared<FakeLoginItems>();
    const std::shared_ptr<FakeAlertPresenter> alerts = std::make_shared<FakeAlertPresenter>();
    const std::shared_ptr<FakeUserDefaultsSuites> defaults =
        std::make_shared<FakeUserDefaultsSuites>();
    const std::shared_ptr<FakePowerSources> powerSources = std::make_shared<FakePowerSources>();

    Platform platform;

private:
    static void resetShared();

    std::optional<ScopedPlatform> scope_;
};

} // namespace quillfen::platform::fake
