#pragma once

#include "model/SnapshotDocument.h"
#include "model/SystemSnapshot.h"
#include "platform/Messaging.h"
#include "sampling/Sampler.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quillfen {

// The monitoring service: samples once a second and sends each snapshot to every registered
// client, applies the settings clients send and passes them on to the others, and samples
// in full while any caller says its popover is open. Clients are known by the endpoint they
// registered and forgotten when it goes away; callers are known by their connection and
// forgotten when it goes. Create it with std::make_shared.
class MonitoringService final : public platform::XPCListenerDelegate,
                                public std::enable_shared_from_this<MonitoringService> {
public:
    // Documents larger than this are dropped unread.
    static constexpr std::size_t maximumDocumentBytes = 1 << 20;

    MonitoringService();
    ~MonitoringService() override;

    // Starts sampling; the service's name is taken once the first sample is in, so the first
    // question (which may be what had the bus start the service) gets readings. `failed` is
    // called when the name cannot be taken or the bus is gone.
    void start(std::function<void(const std::string& error)> failed);

    std::size_t clientCount() const { return clients_.size(); }
    const SystemSnapshot& snapshot() const { return snapshot_; }

    bool listenerShouldAcceptNewConnection(platform::XPCListener& listener,
                                           platform::XPCConnection& connection) override;

private:
    class Peer;
    using PeerID = std::uint64_t;
    struct Client {
        std::shared_ptr<platform::XPCConnection> connection;
        std::shared_ptr<QuillfenClientProtocol> proxy;
        PeerID registeredBy = 0;
    };

    void registerClient(PeerID from, const std::string& endpoint, std::function<void(bool)> reply);
    void currentSnapshot(std::function<void(std::string)> reply);
    void setPopoverOpen(PeerID from, bool open);
    void applySettings(PeerID from, const std::string& document);
    void peerLeft(PeerID peer);
    void didTick();
    void updatePopover();

    SystemSnapshot snapshot_;
    Sampler sampler_;
    std::shared_ptr<platform::XPCListener> listener_;
    std::function<void(const std::string&)> failed_;
    SnapshotDocument document_{snapshot_};
    bool listening_ = false;
    PeerID lastPeer_ = 0;
    std::map<std::string, Client> clients_; // by endpoint
    std::map<PeerID, bool> popoverOpen_;
    // The popover has just opened and its first full sample is being taken; snapshot
    // questions asked meanwhile are answered with it.
    bool fullSamplePending_ = false;
    std::vector<std::function<void(std::string)>> waitingForFullSample_;
};

} // namespace quillfen
