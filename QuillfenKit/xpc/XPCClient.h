#pragma once

#include "platform/MainQueue.h"
#include "platform/Messaging.h"
#include "xpc/ClientEndpoint.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace quillfen {

// A client app's one connection to the monitoring service: registers an endpoint for the
// service's callbacks, forwards local settings changes and the popover state, registers
// again after an interruption and rebuilds the connection after an invalidation, waiting
// 1, 2, 4, 8, 16, then 30 seconds between attempts. Main thread only.
class XPCClient final : public platform::XPCListenerDelegate,
                        public std::enable_shared_from_this<XPCClient> {
public:
    static XPCClient& shared();
    // For tests: the next shared() starts afresh, on the platform current then.
    static void resetShared();

    // A client of its own, for embedders and tests; create it with std::make_shared.
    XPCClient() = default;

    // Connects once; later calls do nothing.
    void start();
    void pushSettings();
    void setPopoverOpen(bool open);

    bool listenerShouldAcceptNewConnection(platform::XPCListener& listener,
                                           platform::XPCConnection& connection) override;

    // True only while settings from the service are being applied.
    bool isApplyingRemoteChange = false;
    // Consecutive connection losses; back to 0 once the service accepts a registration.
    std::int64_t reconnectAttempts = 0;

private:
    void connectAndRegister();
    void registerClient();
    std::shared_ptr<QuillfenServiceProtocol> serviceProxy();
    void handleConnectionLost();
    const std::shared_ptr<ClientEndpoint>& endpoint();

    std::shared_ptr<platform::XPCConnection> connection;
    std::shared_ptr<ClientEndpoint> endpointObject;
    std::shared_ptr<platform::XPCListener> listener;
    std::optional<platform::Cancellable> reconnectTask;
    // The popover state last told, told again to a service met anew: a restarted service
    // knows nothing of it.
    std::optional<bool> popoverOpen;
};

} // namespace quillfen
