#pragma once

#include "platform/Messaging.h"

#include <map>
#include <memory>
#include <set>
#include <vector>

namespace quillfen::platform::fake {

// The service as the client sees it: records every message; replies are the test's to give.
class FakeServiceProxy final : public QuillfenServiceProtocol {
public:
    struct Registration {
        std::string endpoint;
        std::function<void(bool)> reply;
    };

    void registerClientWithEndpoint(const std::string& endpoint,
                                    std::function<void(bool)> reply) override {
        registrations.push_back({endpoint, std::move(reply)});
    }
    void currentSnapshotWithReply(std::function<void(std::string)> reply) override {
        snapshotReplies.push_back(std::move(reply));
    }
    void setPopoverOpen(bool open) override { popover.push_back(open); }
    void applySettings(const std::string& document) override { settings.push_back(document); }

    std::vector<Registration> registrations;
    std::vector<std::function<void(std::string)>> snapshotReplies;
    std::vector<bool> popover;
    std::vector<std::string> settings;
    // The handler the client gave with its latest proxy request.
    std::function<void(std::string)> errorHandler;
};

// A client as the service sees it through the client's endpoint: records every document.
class FakeClientProxy final : public QuillfenClientProtocol {
public:
    void snapshotDidUpdate(const std::string& document) override { snapshots.push_back(document); }
    void settingsDidUpdate(const std::string& document) override { settings.push_back(document); }

    std::vector<std::string> snapshots;
    std::vector<std::string> settings;
};

class FakeConnection final : public XPCConnection {
public:
    explicit FakeConnection(std::string name)
        : serviceName(std::move(name)) {}

    void setRemoteObjectInterface(InterfaceDescription i) override {
        remoteInterface = std::move(i);
    }
    void setExportedInterface(InterfaceDescription i) override { exportedInterface = std::move(i); }
    void setExportedObject(std::shared_ptr<QuillfenClientProtocol> o) override {
        exportedObject = std::move(o);
    }
    void setExportedObject(std::shared_ptr<QuillfenServiceProtocol> o) override {
        exportedService = std::move(o);
    }
    void setInterruptionHandler(std::function<void()> h) override { interruption = std::move(h); }
    void setInvalidationHandler(std::function<void()> h) override { invalidation = std::move(h); }
    void resume() override { resumed = true; }
    void invalidate() override { invalidated = true; }
    std::shared_ptr<QuillfenServiceProtocol>
    remoteObjectProxyWithErrorHandler(std::function<void(std::string)> handler) override {
        service->errorHandler = std::move(handler);
        if (!conforms) return nullptr;
        return service;
    }
    std::shared_ptr<QuillfenClientProtocol> remoteClientProxy() override {
        if (invalidated) return nullptr;
        return client;
    }

    // What the bus would do.
    void interrupt() {
        if (!invalidated && interruption) interruption();
    }
    void loseService() {
        if (invalidated) return;
        invalidated = true;
        if (invalidation) invalidation();
    }

    std::string serviceName;
    InterfaceDescription remoteInterface;
    InterfaceDescription exportedInterface;
    std::shared_ptr<QuillfenClientProtocol> exportedObject;
    std::shared_ptr<QuillfenServiceProtocol> exportedService;
    std::function<void()> interruption;
    std::function<void()> invalidation;
    bool resumed = false;
    bool invalidated = false;
    bool conforms = true;
    const std::shared_ptr<FakeServiceProxy> service = std::make_shared<FakeServiceProxy>();
    const std::shared_ptr<FakeClientProxy> client = std::make_shared<FakeClientProxy>();
};

class FakeListener final : public XPCListener {
public:
    explicit FakeListener(std::string name)
        : name_(std::move(name)) {}
    void setDelegate(std::weak_ptr<XPCListenerDelegate> d) override { delegate = std::move(d); }
    void resume() override { resumed = true; }
    void invalidate() override { invalidated = true; }
    void setInvalidationHandler(std::function<void(std::string)> h) override {
        invalidation = std::move(h);
    }
    std::string endpoint() const override { return resumed ? name_ : std::string(); }

    // A peer calls for the first time: the connection the delegate configured, or nothing
    // when it refused. Named like a bus's unique names, in order.
    std::shared_ptr<FakeConnection> connectPeer() {
        auto peer = std::make_shared<FakeConnection>(":peer." + std::to_string(++peers_));
        const auto d = delegate.lock();
        if (invalidated || !d || !d->listenerShouldAcceptNewConnection(*this, *peer))
            return nullptr;
        return peer;
    }
    // What the bus would do to a service whose name is taken or whose bus went away.
    void fail(const std::string& reason) {
        if (invalidated) return;
        invalidated = true;
        if (invalidation) invalidation(reason);
    }

    std::weak_ptr<XPCListenerDelegate> delegate;
    std::function<void(std::string)> invalidation;
    bool resumed = false;
    bool invalidated = false;

private:
    std::string name_;
    int peers_ = 0;
};

// Every connection and listener the code under test made, oldest first.
class FakeMessaging final : public Messaging {
public:
    std::shared_ptr<XPCConnection> connectionToService(std::string_view name) override {
        connections.push_back(std::make_shared<FakeConnection>(std::string(name)));
        return connections.back();
    }
    std::shared_ptr<XPCListener> anonymousListener() override {
        listeners.push_back(
            std::make_shared<FakeListener>(":fake." + std::to_string(listeners.size() + 1)));
        return listeners.back();
    }

    std::shared_ptr<XPCListener> listenerForService(std::string_view name) override {
        serviceListeners.push_back(std::make_shared<FakeListener>(std::string(name)));
        return serviceListeners.back();
    }
    // Only endpoints in `endpointsOnBus` can be reached.
    std::shared_ptr<XPCConnection> connectionToEndpoint(std::string_view endpoint) override {
        const std::string name(endpoint);
        if (!endpointsOnBus.contains(name)) return nullptr;
        auto& slot = endpoints[name];
        slot = std::make_shared<FakeConnection>(name);
        return slot;
    }

    std::vector<std::shared_ptr<FakeConnection>> connections;
    std::vector<std::shared_ptr<FakeListener>> listeners;
    std::vector<std::shared_ptr<FakeListener>> serviceListeners;
    std::set<std::string> endpointsOnBus;
    // The latest connection made to each endpoint.
    std::map<std::string, std::shared_ptr<FakeConnection>> endpoints;
};

} // namespace quillfen::platform::fake
