#include "MonitoringService.h"

#include "model/AppState.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "xpc/QuillfenXPC.h"

#include <utility>

namespace quillfen {

// One caller's view of the service: what it asks is handed on with who asked.
class MonitoringService::Peer final : public QuillfenServiceProtocol {
public:
    Peer(std::weak_ptr<MonitoringService> service, PeerID id)
        : service_(std::move(service))
        , id_(id) {}

    void registerClientWithEndpoint(const std::string& endpoint,
                                    std::function<void(bool)> reply) override {
        if (const auto s = service_.lock())
            s->registerClient(id_, endpoint, std::move(reply));
        else
            reply(false);
    }
    void currentSnapshotWithReply(std::function<void(std::string)> reply) override {
        if (const auto s = service_.lock())
            s->currentSnapshot(std::move(reply));
        else
            reply({});
    }
    void setPopoverOpen(bool open) override {
        if (const auto s = service_.lock()) s->setPopoverOpen(id_, open);
    }
    void applySettings(const std::string& document) override {
        if (const auto s = service_.lock()) s->applySettings(id_, document);
    }

private:
    std::weak_ptr<MonitoringService> service_;
    PeerID id_;
};

MonitoringService::MonitoringService()
    : sampler_(snapshot_) {
    sampler_.didTick = [this] { didTick(); };
}

MonitoringService::~MonitoringService() {
    sampler_.stop();
    if (listener_) listener_->invalidate();
    for (auto& [endpoint, client] : clients_)
        client.connection->invalidate();
}

void MonitoringService::start(std::function<void(const std::string&)> failed) {
    failed_ = std::move(failed);
    listener_ = platform::current().messaging->listenerForService(kQuillfenServiceMachName);
    listener_->setDelegate(weak_from_this());
    listener_->setInvalidationHandler([weak = weak_from_this()](std::string reason) {
        const auto self = weak.lock();
        if (!self) return;
        self->sampler_.stop();
        if (self->failed_) self->failed_(reason);
    });
    sampler_.start(1.0);
}

bool MonitoringService::listenerShouldAcceptNewConnection(platform::XPCListener&,
                                                          platform::XPCConnection& connection) {
    const PeerID id = ++lastPeer_;
    connection.setExportedInterface(QuillfenXPC::serviceInterface());
    connection.setExportedObject(std::static_pointer_cast<QuillfenServiceProtocol>(
        std::make_shared<Peer>(weak_from_this(), id)));
    connection.setInvalidationHandler([weak = weak_from_this(), id] {
        if (const auto self = weak.lock()) self->peerLeft(id);
    });
    connection.resume();
    return true;
}

void MonitoringService::registerClient(PeerID from, const std::string& endpoint,
                                       std::function<void(bool)> reply) {
    // An endpoint must exist now, or the client would be remembered forever.
    auto connection = platform::current().messaging->connectionToEndpoint(endpoint);
    auto proxy = connection ? connection->remoteClientProxy() : nullptr;
    if (!proxy) return reply(false);
    // Forgotten on the main queue: the connection is still at work when it says it is gone.
    connection->setInvalidationHandler([weak = weak_from_this(), endpoint, c = connection.get()] {
        platform::current().mainQueue->async([weak, endpoint, c] {
            const auto self = weak.lock();
            if (!self) return;
            const auto it = self->clients_.find(endpoint);
            if (it != self->clients_.end() && it->second.connection.get() == c)
                self->clients_.erase(it);
        });
    });
    connection->resume();
    auto& slot = clients_[endpoint];
    if (slot.connection) slot.connection->invalidate(); // registered again
    slot = Client{std::move(connection), std::move(proxy), from};
    reply(true);
}

void MonitoringService::currentSnapshot(std::function<void(std::string)> reply) {
    // While the first full sample after an opening is being taken, the question waits for it:
    // whoever opened and then asked gets that sample, not one from before the opening.
    if (fullSamplePending_) {
        waitingForFullSample_.push_back(std::move(reply));
        return;
    }
    reply(document_.text());
}

void MonitoringService::setPopoverOpen(PeerID from, bool open) {
    popoverOpen_[from] = open;
    const bool wasOpen = AppState::shared().popoverIsOpen();
    updatePopover();
    // Opened: sample everything at once rather than at the next tick, so the details come a
    // second sooner and, for measurements by difference, the tick after this one covers one
    // second rather than the whole time the popover was closed.
    if (!wasOpen && AppState::shared().popoverIsOpen()) {
        fullSamplePending_ = true;
        sampler_.start(1.0);
    }
}

void MonitoringService::applySettings(PeerID from, const std::string& received) {
    if (received.size() > maximumDocumentBytes) return;
    const auto values = json::decode<AppSettingsValues>(std::string_view(received));
    if (!values) return;
    // A client stores its own change before it sends its settings, and the rest of the
    // document is what that client last knew, which another process may have changed in the
    // store since. So the store, not the document, has the newest value of every key.
    auto& settings = AppSettings::shared();
    settings.reload();
    const AppSettingsValues current = settings.values();
    const auto document = json::encode(current);
    if (!document) return;
    // The sender hears back only when what it sent was out of date.
    const bool senderIsBehind = current != *values;
    for (const auto& [endpoint, client] : clients_)
        if (client.registeredBy != from || senderIsBehind)
            client.proxy->settingsDidUpdate(*document);
}

void MonitoringService::peerLeft(PeerID peer) {
    if (popoverOpen_.erase(peer)) updatePopover();
}

void MonitoringService::didTick() {
    const std::string& document = document_.text();
    if (fullSamplePending_) {
        fullSamplePending_ = false;
        for (const auto& answer : std::exchange(waitingForFullSample_, {}))
            answer(document);
    }
    if (!listening_) {
        listening_ = true;
        listener_->resume();
    }
    if (document.empty()) return;
    for (const auto& [endpoint, client] : clients_)
        client.proxy->snapshotDidUpdate(document);
}

void MonitoringService::updatePopover() {
    bool anyOpen = false;
    for (const auto& [who, open] : popoverOpen_)
        anyOpen = anyOpen || open;
    AppState::shared().setPopoverIsOpen(anyOpen);
}

} // namespace quillfen
