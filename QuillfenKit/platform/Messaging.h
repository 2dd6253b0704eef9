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

// A connection to a service known by name, to a client's endpoint, or from a peer that
// called a listener. Handlers run on the main thread; after invalidation no handler runs
// again.
class XPCConnection {
public:
    virtual ~XPCConnection() = default;
    virtual void setRemoteObjectInterface(InterfaceDescription interface) = 0;
    virtual void setExportedInterface(InterfaceDescription interface) = 0;
    // What answers the other side's calls: a client's object on the connections its listener
    // accepts, the service's object on the connections the service's listener accepts.
    virtual void setExportedObject(std::shared_ptr<QuillfenClientProtocol> object) = 0;
    virtual void setExportedObject(std::shared_ptr<QuillfenServiceProtocol> object) = 0;
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
    // The client at the other end of a connection to its endpoint; its messages are one-way
    // and a failed one is dropped. Nothing on any other connection.
    virtual std::shared_ptr<QuillfenClientProtocol> remoteClientProxy() = 0;
};

class XPCListener;

class XPCListenerDelegate {
public:
    virtual ~XPCListenerDelegate() = default;
    // Configures a connection the other side opened to the listener's endpoint.
    virtual bool listenerShouldAcceptNewConnection(XPCListener& listener,
                                                   XPCConnection& connection) = 0;
};

// Where peers connect: an endpoint without a name of its own, which a service can be told
// about and call back, or a service's listener under the service's name.
class XPCListener {
public:
    virtual ~XPCListener() = default;
    virtual void setDelegate(std::weak_ptr<XPCListenerDelegate> delegate) = 0;
    // A service's listener takes its name here.
    virtual void resume() = 0;
    virtual void invalidate() = 0;
    // The listener cannot be used again: its name belongs to another process, or the bus is
    // gone. Called at most once, with the reason.
    virtual void setInvalidationHandler(std::function<void(std::string reason)> handler) = 0;
    // What to hand to the service so that it can call back; empty before resume().
    virtual std::string endpoint() const = 0;
};

// Messaging between the product's processes.
class Messaging {
public:
    virtual ~Messaging() = default;
    virtual std::shared_ptr<XPCConnection> connectionToService(std::string_view serviceName) = 0;
    virtual std::shared_ptr<XPCListener> anonymousListener() = 0;
    // The service's side: its listener under `serviceName`, and connections to the endpoints
    // its clients hand over. A connection to an endpoint is nothing when no such endpoint
    // exists now, and is invalidated when the endpoint goes away.
    virtual std::shared_ptr<XPCListener> listenerForService(std::string_view serviceName) = 0;
    virtual std::shared_ptr<XPCConnection> connectionToEndpoint(std::string_view endpoint) = 0;
};

} // namespace quillfen::platform
