#pragma once

#include "platform/Messaging.h"
#include "platform/Platform.h"

// The session-bus classes live in a namespace of their own: the meta-object compiler, which
// reads them, predefines `linux` as a macro.
namespace quillfen::platform::dbus {

class DirectBusSender;

// Messaging on the session bus:
// - a connection to a service is a private bus connection of its own, calling the service's
//   well-known name (the bus starts the service on the first message when a service file
//   names it);
// - interruption: the name loses its owner or changes owner while this side stays connected;
// - invalidation: this side's bus connection drops, or a message finds no service;
// - an anonymous listener is another private connection exporting the client object; its
//   unique name is the endpoint.
class DBusMessaging final : public Messaging {
public:
    std::shared_ptr<XPCConnection> connectionToService(std::string_view serviceName) override;
    std::shared_ptr<XPCListener> anonymousListener() override;
    // The service's side uses the process's own session-bus connection.
    std::shared_ptr<XPCListener> listenerForService(std::string_view serviceName) override;
    // Messages to endpoints go out from the calling thread over a connection of their own.
    std::shared_ptr<XPCConnection> connectionToEndpoint(std::string_view endpoint) override;

private:
    std::shared_ptr<DirectBusSender> direct_;
};

// Gives the platform messaging on the session bus; processes that talk to the monitoring
// service call this once, after creating their QCoreApplication.
void enableDBus(Platform& platform = current());

} // namespace quillfen::platform::dbus
