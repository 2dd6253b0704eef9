#pragma once

#include "xpc/QuillfenProtocols.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen::platform {

// The methods of one messaging interface: how each is called locally (its selector) and on
// the bus (member and argument signature).
struct InterfaceDescription {
    struct Method {
        std::string selector;
        std::string member;
        std::string signature;
        bool operator==(const Method&) const = default;
    };
    std::string name;
    std::vector<Method> methods;
    bool operator==(const InterfaceDescription&) const = default;
};

// A connection to a service known by name. Handlers run on the main thread; after
// invalidation no handler runs again.
class XPCConnection {
public:
    virtual ~XPCConnection() = default;
    virtual void setRemoteObjectInterface(InterfaceDescription interface) = 0;
    virtual void setExportedInterface(InterfaceDescription interface) = 0;
    virtual void setExportedObject(std::shared_ptr<QuillfenClientProtocol> object) = 0;
    // The service went away or was replaced while this side stayed connected.
    virtual void setInterruptionHandler(std::function<void()> handler) = 0;
    // The connection cannot be used again: this side lost the bus, or no service answers.
    virtual void setInvalidationHandler(std::function<void()> handler) = 0;
    virtual void resume() = 0;
    virtual void invalidate() = 0;
    // The remote object; every failed message reports its error text to `errorHandler`.
    // Nothing when the remote interface is not the service's.
    virtual std::shared_ptr<QuillfenServiceProtocol>
    remoteObjectProxyWithErrorHandler(std::function<void(std::string error)> errorHandler) = 0;
};

class XPCListener;

class XPCListenerDelegate {
public:
    virtual ~XPCListenerDelegate() = default;
    // Configures a connection the other side opened to the listener's endpoint.
    virtual bool listenerShouldAcceptNewConnection(XPCListener& listener,
                                                   XPCConnection& connection) = 0;
};

// An endpoint without a name of its own, which a service can be told about and call back.
class XPCListener {
public:
    virtual ~XPCListener() = default;
    virtual void setDelegate(std::weak_ptr<XPCListenerDelegate> delegate) = 0;
    virtual void resume() = 0;
    virtual void invalidate() = 0;
    // What to hand to the service so that it can call back; empty before resume().
    virtual std::string endpoint() const = 0;
};

// Messaging between the product's processes.
class Messaging {
public:
    virtual ~Messaging() = default;
    virtual std::shared_ptr<XPCConnection> connectionToService(std::string_view serviceName) = 0;
    virtual std::shared_ptr<XPCListener> anonymousListener() = 0;
};

} // namespace quillfen::platform
