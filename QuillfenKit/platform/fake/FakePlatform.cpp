#include "platform/fake/FakePlatform.h"

#include "model/AppState.h"
#include "model/ClientSnapshotStore.h"
#include "settings/AppSettings.h"
#include "xpc/XPCClient.h"

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
    resetShared();
}

FakePlatform::~FakePlatform() {
    resetShared();
}

// The process-wide instances bind to the platform current when they are first used; each test
// on a fake starts with none, and leaves none bound to its fake behind.
void FakePlatform::resetShared() {
    XPCClient::resetShared();
    ClientSnapshotStore::resetShared();
    AppState::resetShared();
    AppSettings::resetShared();
}

} // namespace quillfen::platform::fake
