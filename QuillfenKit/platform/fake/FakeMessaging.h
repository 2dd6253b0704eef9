#pragma once

#include "platform/Messaging.h"

#include <memory>
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
    std::function<void()> interruption;
    std::function<void()> invalidation;
    bool resumed = false;
    bool invalidated = false;
    bool conforms = true;
    const std::shared_ptr<FakeServiceProxy> service = std::make_shared<FakeServiceProxy>();
};

class FakeListener final : public XPCListener {
public:
    explicit FakeListener(std::string name)
        : name_(std::move(name)) {}
    void setDelegate(std::weak_ptr<XPCListenerDelegate> d) override { delegate = std::move(d); }
    void resume() override { resumed = true; }
    void invalidate() override { invalidated = true; }
    std::string endpoint() const override { return resumed ? name_ : std::string(); }

    std::weak_ptr<XPCListenerDelegate> delegate;
    bool resumed = false;
    bool invalidated = false;

private:
    std::string name_;
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

    std::vector<std::shared_ptr<FakeConnection>> connections;
    std::vector<std::shared_ptr<FakeListener>> listeners;
};

} // namespace quillfen::platform::fake
