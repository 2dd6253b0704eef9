#include "xpc/ClientEndpoint.h"

#include "model/ClientSnapshotStore.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "xpc/XPCClient.h"

namespace quillfen {

ClientEndpoint::ClientEndpoint(std::weak_ptr<XPCClient> client)
    : client_(std::move(client))
    , ownClient_(!client_.expired()) {}

void ClientEndpoint::snapshotDidUpdate(const std::string& document) {
    platform::current().mainQueue->async(
        [document] { ClientSnapshotStore::shared().apply(document); });
}

void ClientEndpoint::settingsDidUpdate(const std::string& document) {
    platform::current().mainQueue->async([document, client = client_, own = ownClient_] {
        const auto values = json::decode<AppSettingsValues>(std::string_view(document));
        if (!values) return;
        std::shared_ptr<XPCClient> owner = client.lock();
        if (own && !owner) return; // its client is gone
        XPCClient& target = owner ? *owner : XPCClient::shared();
        target.isApplyingRemoteChange = true;
        // The service read these from the store; writing them again here could undo a
        // change another process has made since.
        AppSettings::shared().adopt(*values);
        target.isApplyingRemoteChange = false;
    });
}

} // namespace quillfen
