#include "xpc/XPCClient.h"

#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "support/SystemLog.h"
#include "xpc/QuillfenXPC.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace quillfen {

namespace {
// Lives for the process; never destroyed at exit, so no exit-time order can outlive it.
std::shared_ptr<XPCClient>* instance = nullptr;
} // namespace

XPCClient& XPCClient::shared() {
    if (!instance) instance = new std::shared_ptr<XPCClient>(std::make_shared<XPCClient>());
    return **instance;
}

void XPCClient::resetShared() {
    delete std::exchange(instance, nullptr);
}

const std::shared_ptr<ClientEndpoint>& XPCClient::endpoint() {
    // The same object on every connection for the client's life.
    if (!endpointObject) endpointObject = std::make_shared<ClientEndpoint>(weak_from_this());
    return endpointObject;
}

void XPCClient::start() {
    if (connection) return;
    connectAndRegister();
    AppSettings::onLocalChange = [weak = weak_from_this()] {
        const auto client = weak.lock();
        if (client && !client->isApplyingRemoteChange) client->pushSettings();
    };
}

void XPCClient::connectAndRegister() {
    auto& os = platform::current();
    auto conn = os.messaging->connectionToService(kQuillfenServiceMachName);
    conn->setRemoteObjectInterface(QuillfenXPC::serviceInterface());
    conn->setExportedInterface(QuillfenXPC::clientInterface());
    conn->setExportedObject(endpoint());
    const std::weak_ptr<XPCClient> weak = weak_from_this();
    const auto queue = os.mainQueue;
    conn->setInvalidationHandler([weak, queue] {
        systemLog("[XPCClient] connection invalidated — reconnecting");
        queue->async([weak] {
            if (const auto client = weak.lock()) client->handleConnectionLost();
        });
    });
    conn->setInterruptionHandler([weak, queue] {
        systemLog("[XPCClient] connection interrupted — re-registering client");
        queue->async([weak] {
            if (const auto client = weak.lock()) client->registerClient();
        });
    });
    conn->resume();
    connection = std::move(conn);

    auto anonymous = os.messaging->anonymousListener();
    anonymous->setDelegate(weak);
    anonymous->resume();
    listener = std::move(anonymous);
    registerClient();
}

std::shared_ptr<QuillfenServiceProtocol> XPCClient::serviceProxy() {
    return connection->remoteObjectProxyWithErrorHandler(
        [](const std::string& error) { systemLog("[XPCClient] proxy error: " + error); });
}

void XPCClient::registerClient() {
    if (!connection) return;
    const auto proxy = serviceProxy();
    if (!proxy || !listener) return;
    const std::weak_ptr<XPCClient> weak = weak_from_this();
    const auto queue = platform::current().mainQueue;
    proxy->registerClientWithEndpoint(listener->endpoint(), [weak, queue](bool accepted) {
        systemLog(std::string("[XPCClient] registerClient reply: ") + (accepted ? "ok" : "failed"));
        // A service that accepted us is reachable: the next loss starts over at one second.
        if (accepted)
            queue->async([weak] {
                if (const auto client = weak.lock()) client->reconnectAttempts = 0;
            });
    });
    pushSettings();
    if (popoverOpen) proxy->setPopoverOpen(*popoverOpen);
}

void XPCClient::pushSettings() {
    if (!connection) return;
    const auto proxy = serviceProxy();
    if (!proxy) return;
    const auto document = json::encode(AppSettings::shared().values());
    if (!document) return;
    proxy->applySettings(*document);
}

void XPCClient::setPopoverOpen(bool open) {
    popoverOpen = open;
    if (!connection) return;
    if (const auto proxy = serviceProxy()) proxy->setPopoverOpen(open);
}

void XPCClient::handleConnectionLost() {
    if (connection) {
        connection->invalidate();
        connection.reset();
    }
    if (listener) {
        listener->invalidate();
        listener.reset();
    }
    const std::int64_t n = ++reconnectAttempts;
    const double delay = n > 5 ? 30.0 : std::min(30.0, static_cast<double>(1LL << (n - 1)));
    char line[96];
    std::snprintf(line, sizeof line, "[XPCClient] reconnect attempt %lld in %.0fs",
                  static_cast<long long>(n), delay);
    systemLog(line);
    if (reconnectTask) reconnectTask->cancel();
    reconnectTask = platform::current().mainQueue->asyncAfter(delay, [weak = weak_from_this()] {
        const auto client = weak.lock();
        if (!client || client->connection) return;
        client->connectAndRegister();
    });
}

bool XPCClient::listenerShouldAcceptNewConnection(platform::XPCListener&,
                                                  platform::XPCConnection& incoming) {
    incoming.setExportedInterface(QuillfenXPC::clientInterface());
    incoming.setExportedObject(endpoint());
    incoming.resume();
    return true;
}

} // namespace quillfen
