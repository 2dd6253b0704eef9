#include "platform/fake/FakePlatform.h"

namespace quillfen::platform::fake {

FakePlatform::FakePlatform() {
    platform.clock = clock;
    platform.mainQueue = queue;
    platform.systemLog = log;
    platform.application = application;
    platform.mainBundle = mainBundle;
    platform.fileManager = files;
    platform.smc = smc;
    platform.hidEventSystem = hid;
    platform.kernel = kernel;
    platform.registry = registry;
    platform.workspace = workspace;
    platform.volumeFlags = volumeFlags;
    platform.volumes = volumes;
    platform.messaging = messaging;
    platform.loginItems = loginItems;
    platform.alerts = alerts;
    platform.userDefaults = defaults;
    platform.powerSources = powerSources;
    scope_.emplace(platform);
}

} // namespace quillfen::platform::fake
