#pragma once

#include "xpc/QuillfenProtocols.h"

#include <memory>

namespace quillfen {

class XPCClient;

// What a client exports for the service to call. Messages only hop to the main queue, so
// the messaging layer never waits: snapshots land in the client's snapshot store, settings
// in the settings, marked as coming from the service so they are not pushed back.
class ClientEndpoint final : public QuillfenClientProtocol {
public:
    // `client` is the client that marks settings from the service; XPCClient::shared() when
    // none is given.
    explicit ClientEndpoint(std::weak_ptr<XPCClient> client = {});

    void snapshotDidUpdate(const std::string& document) override;
    void settingsDidUpdate(const std::string& document) override;

private:
    std::weak_ptr<XPCClient> client_;
    bool ownClient_;
};

} // namespace quillfen
