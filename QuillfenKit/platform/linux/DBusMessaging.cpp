#include "platform/linux/DBusMessaging.h"

#include "platform/linux/DBusClientObject.h"
#include "platform/linux/DBusServiceObject.h"
#include "platform/linux/DirectBusSender.h"
#include "quillfenclientadaptor.h"
#include "quillfenclientinterface.h"
#include "quillfenserviceadaptor.h"
#include "quillfenserviceinterface.h"
#include "xpc/QuillfenXPC.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QPointer>

#include <atomic>
#include <map>

namespace quillfen::platform::dbus {
namespace {

using ServiceInterface = com::brenvoll::pellgrove::QuillfenService;

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
std::string bytes(const QByteArray& a) {
    return std::string(a.constData(), static_cast<std::size_t>(a.size()));
}

// A connection of our own, so that one that dropped can be replaced by a fresh one.
QDBusConnection privateConnection(const char* kind) {
    static std::atomic<unsigned> serial{0};
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                         QString("quillfen-%1-%2").arg(kind).arg(++serial));
}

// Includes a service the bus failed to start: it may start next time (a build finished, a
// service file was mended), so the client backs off and tries again.
bool meansNoService(const QDBusError& error) {
    return error.type() == QDBusError::ServiceUnknown || error.type() == QDBusError::Disconnected ||
           error.name() == "org.freedesktop.DBus.Error.NameHasNoOwner" ||
           error.name().startsWith("org.freedesktop.DBus.Error.Spawn.");
}

} // namespace

class ServiceConnection;

namespace {

class ServiceProxy final : public QuillfenServiceProtocol {
public:
    ServiceProxy(std::shared_ptr<ServiceInterface> remote, QPointer<QObject> owner,
                 std::function<void(std::string)> onError, std::function<void()> onNoService)
        : remote_(std::move(remote))
        , owner_(std::move(owner))
        , onError_(std::move(onError))
        , onNoService_(std::move(onNoService)) {}

    void registerClientWithEndpoint(const std::string& endpoint,
                                    std::function<void(bool)> reply) override {
        QDBusPendingReply<bool> call =
            remote_->RegisterClientWithEndpoint(QString::fromStdString(endpoint));
        watch(call, [reply = std::move(reply)](QDBusPendingCallWatcher& w) {
            QDBusPendingReply<bool> r = w;
            if (reply) reply(r.value());
        });
    }
    void currentSnapshotWithReply(std::function<void(std::string)> reply) override {
        QDBusPendingReply<QByteArray> call = remote_->CurrentSnapshot();
        watch(call, [reply = std::move(reply)](QDBusPendingCallWatcher& w) {
            QDBusPendingReply<QByteArray> r = w;
            if (reply) reply(bytes(r.value()));
        });
    }
    void setPopoverOpen(bool open) override { remote_->SetPopoverOpen(open); }
    void applySettings(const std::string& document) override {
        remote_->ApplySettings(
            QByteArray(document.data(), static_cast<qsizetype>(document.size())));
    }

private:
    void watch(const QDBusPendingCall& call, std::function<void(QDBusPendingCallWatcher&)> done) {
        if (!owner_) return;
        auto* watcher = new QDBusPendingCallWatcher(call, owner_);
        QObject::connect(
            watcher, &QDBusPendingCallWatcher::finished, watcher,
            [watcher, done = std::move(done), onError = onError_, onNoService = onNoService_] {
                watcher->deleteLater();
                if (watcher->isError()) {
                    const QDBusError error = watcher->error();
                    if (onError) onError(error.message().toStdString());
                    if (meansNoService(error) && onNoService) onNoService();
                    return;
                }
                done(*watcher);
            });
    }

    std::shared_ptr<ServiceInterface> remote_;
    QPointer<QObject> owner_;
    std::function<void(std::string)> onError_;
    std::function<void()> onNoService_;
};

} // namespace

// Named, not anonymous: the meta-object compiler writes code for it.
class ServiceConnection final : public QObject, public XPCConnection {
    Q_OBJECT

public:
    explicit ServiceConnection(QString service)
        : service_(std::move(service))
        , bus_(privateConnection("client")) {}

    ~ServiceConnection() override { invalidate(); }

    void setRemoteObjectInterface(InterfaceDescription i) override {
        remoteInterface_ = std::move(i);
    }
    void setExportedInterface(InterfaceDescription) override {}
    void setExportedObject(std::shared_ptr<QuillfenClientProtocol> object) override {
        exported_ = std::move(object);
    }
    void setExportedObject(std::shared_ptr<QuillfenServiceProtocol>) override {}
    void setInterruptionHandler(std::function<void()> h) override { interruption_ = std::move(h); }
    void setInvalidationHandler(std::function<void()> h) override { invalidation_ = std::move(h); }

    void resume() override {
        if (resumed_ || invalidated_) return;
        resumed_ = true;
        if (!bus_.isConnected()) {
            // No bus at all: the connection is unusable from the start.
            QMetaObject::invokeMethod(
                this, [this] { lost(); }, Qt::QueuedConnection);
            return;
        }
        remote_ =
            std::make_shared<ServiceInterface>(service_, q(QuillfenXPC::serviceObjectPath), bus_);
        watcher_ =
            new QDBusServiceWatcher(service_, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
        connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
                [this](const QString&, const QString& oldOwner, const QString&) {
                    // A service appearing is no interruption; one leaving or being replaced is.
                    if (!oldOwner.isEmpty() && !invalidated_ && interruption_) interruption_();
                });
        bus_.connect(QString(), "/org/freedesktop/DBus/Local", "org.freedesktop.DBus.Local",
                     "Disconnected", this, SLOT(onDisconnected()));
    }

    void invalidate() override {
        if (invalidated_) return;
        invalidated_ = true;
        delete watcher_;
        watcher_ = nullptr;
        remote_.reset();
        QDBusConnection::disconnectFromBus(bus_.name());
    }

    std::shared_ptr<QuillfenServiceProtocol>
    remoteObjectProxyWithErrorHandler(std::function<void(std::string)> handler) override {
        if (!remote_ || remoteInterface_.name != QuillfenXPC::serviceInterfaceName) return nullptr;
        return std::make_shared<ServiceProxy>(remote_, QPointer<QObject>(this), std::move(handler),
                                              [self = QPointer<ServiceConnection>(this)] {
                                                  if (self) self->lost();
                                              });
    }
    std::shared_ptr<QuillfenClientProtocol> remoteClientProxy() override { return nullptr; }

public slots:
    void onDisconnected() { lost(); }

private:
    // The other side is gone for good: one invalidation, then silence.
    void lost() {
        if (invalidated_) return;
        auto handler = invalidation_;
        invalidate();
        if (handler) handler();
    }

    QString service_;
    QDBusConnection bus_;
    InterfaceDescription remoteInterface_;
    std::shared_ptr<QuillfenClientProtocol> exported_;
    std::function<void()> interruption_;
    std::function<void()> invalidation_;
    std::shared_ptr<ServiceInterface> remote_;
    QDBusServiceWatcher* watcher_ = nullptr;
    bool resumed_ = false;
    bool invalidated_ = false;
};

namespace {

// A peer that called the listener: what the delegate configures.
class IncomingConnection final : public XPCConnection {
public:
    void setRemoteObjectInterface(InterfaceDescription) override {}
    void setExportedInterface(InterfaceDescription) override {}
    void setExportedObject(std::shared_ptr<QuillfenClientProtocol> o) override {
        exported = std::move(o);
    }
    void setExportedObject(std::shared_ptr<QuillfenServiceProtocol>) override {}
    void setInterruptionHandler(std::function<void()>) override {}
    void setInvalidationHandler(std::function<void()>) override {}
    void resume() override {}
    void invalidate() override { exported.reset(); }
    std::shared_ptr<QuillfenServiceProtocol>
    remoteObjectProxyWithErrorHandler(std::function<void(std::string)>) override {
        return nullptr;
    }
    std::shared_ptr<QuillfenClientProtocol> remoteClientProxy() override { return nullptr; }
    std::shared_ptr<QuillfenClientProtocol> exported;
};

class Listener final : public XPCListener {
public:
    ~Listener() override { invalidate(); }

    void setDelegate(std::weak_ptr<XPCListenerDelegate> d) override { delegate_ = std::move(d); }
    // Its connection is its own; nothing takes it away but invalidate().
    void setInvalidationHandler(std::function<void(std::string)>) override {}

    void resume() override {
        if (bus_ || invalidated_) return;
        bus_.emplace(privateConnection("listener"));
        object_ = std::make_unique<DBusClientObject>(
            [this](const QString& sender, bool snapshot, const QByteArray& document) {
                dispatch(sender, snapshot, document);
            });
        new QuillfenClientAdaptor(object_.get());
        bus_->registerObject(q(QuillfenXPC::clientObjectPath), object_.get(),
                             QDBusConnection::ExportAdaptors);
    }

    void invalidate() override {
        if (invalidated_) return;
        invalidated_ = true;
        if (bus_) QDBusConnection::disconnectFromBus(bus_->name());
        object_.reset();
        peers_.clear();
    }

    std::string endpoint() const override {
        return bus_ && bus_->isConnected() ? bus_->baseService().toStdString() : std::string();
    }

private:
    void dispatch(const QString& sender, bool snapshot, const QByteArray& document) {
        if (invalidated_) return;
        auto it = peers_.find(sender);
        if (it == peers_.end()) {
            // A peer calling for the first time is a new connection the delegate configures.
            auto incoming = std::make_shared<IncomingConnection>();
            const auto delegate = delegate_.lock();
            const bool accepted =
                delegate && delegate->listenerShouldAcceptNewConnection(*this, *incoming);
            it = peers_.emplace(sender, accepted ? incoming : nullptr).first;
        }
        if (!it->second || !it->second->exported) return;
        if (snapshot)
            it->second->exported->snapshotDidUpdate(bytes(document));
        else
            it->second->exported->settingsDidUpdate(bytes(document));
    }

    std::optional<QDBusConnection> bus_;
    std::unique_ptr<DBusClientObject> object_;
    std::weak_ptr<XPCListenerDelegate> delegate_;
    std::map<QString, std::shared_ptr<IncomingConnection>> peers_;
    bool invalidated_ = false;
};

// A unique connection name (":1.42"): the only kind of endpoint a client can hand over.
bool isUniqueName(const QString& name) {
    return name.size() > 1 && name.size() <= 255 && name.startsWith(':');
}

// How many client endpoints this process is connected to.
std::size_t liveEndpoints = 0;

} // namespace

// A client's endpoint as the service reaches it. Its messages are one-way: a reply per client
// per second would cost more than the document itself. They go out through `direct` while it
// is connected, else through QtDBus.
class EndpointConnection final : public QObject, public XPCConnection {
    Q_OBJECT

public:
    EndpointConnection(QDBusConnection bus, QString endpoint,
                       std::shared_ptr<DirectBusSender> direct)
        : bus_(std::move(bus))
        , endpoint_(std::move(endpoint))
        , endpointName_(endpoint_.toStdString())
        , direct_(std::move(direct))
        , watcher_(new QDBusServiceWatcher(endpoint_, bus_,
                                           QDBusServiceWatcher::WatchForUnregistration, this)) {
        ++liveEndpoints;
        connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this, [this] { lost(); });
    }
    ~EndpointConnection() override { invalidate(); }

    // Watched from creation, so that it cannot leave unnoticed between the check and now.
    bool onBus() {
        const auto owned = bus_.interface()->isServiceRegistered(endpoint_);
        return owned.isValid() && owned.value();
    }

    void setRemoteObjectInterface(InterfaceDescription) override {}
    void setExportedInterface(InterfaceDescription) override {}
    void setExportedObject(std::shared_ptr<QuillfenClientProtocol>) override {}
    void setExportedObject(std::shared_ptr<QuillfenServiceProtocol>) override {}
    void setInterruptionHandler(std::function<void()>) override {}
    void setInvalidationHandler(std::function<void()> h) override { invalidation_ = std::move(h); }
    void resume() override {}
    void invalidate() override {
        if (invalidated_) return;
        invalidated_ = true;
        --liveEndpoints;
        // May run inside the watcher's own signal.
        if (auto* w = std::exchange(watcher_, nullptr)) w->deleteLater();
    }
    std::shared_ptr<QuillfenServiceProtocol>
    remoteObjectProxyWithErrorHandler(std::function<void(std::string)>) override {
        return nullptr;
    }
    std::shared_ptr<QuillfenClientProtocol> remoteClientProxy() override {
        if (invalidated_) return nullptr;
        return std::make_shared<Proxy>(QPointer<EndpointConnection>(this));
    }

private:
    class Proxy final : public QuillfenClientProtocol {
    public:
        explicit Proxy(QPointer<EndpointConnection> connection)
            : connection_(std::move(connection)) {}
        void snapshotDidUpdate(const std::string& document) override {
            if (connection_)
                connection_->tell(connection_->snapshotCall_, "SnapshotDidUpdate", document);
        }
        void settingsDidUpdate(const std::string& document) override {
            if (connection_)
                connection_->tell(connection_->settingsCall_, "SettingsDidUpdate", document);
        }

    private:
        QPointer<EndpointConnection> connection_;
    };

    // `call` is made with the first message of its kind.
    void tell(std::unique_ptr<DirectBusSender::Call>& call, const char* method,
              const std::string& document) {
        if (invalidated_) return;
        if (direct_ && !call)
            call = std::make_unique<DirectBusSender::Call>(
                endpointName_, std::string(QuillfenXPC::clientObjectPath).c_str(),
                ComBrenvollPellgroveQuillfenClientInterface::staticInterfaceName(), method);
        if (direct_ && direct_->send(*call, document)) return;
        auto message = QDBusMessage::createMethodCall(
            endpoint_, q(QuillfenXPC::clientObjectPath),
            ComBrenvollPellgroveQuillfenClientInterface::staticInterfaceName(), QString(method));
        message.setAutoStartService(false);
        message << QByteArray(document.data(), static_cast<qsizetype>(document.size()));
        bus_.send(message);
    }

    void lost() {
        if (invalidated_) return;
        auto handler = invalidation_;
        invalidate();
        if (handler) handler();
    }

    QDBusConnection bus_;
    QString endpoint_;
    std::string endpointName_;
    std::shared_ptr<DirectBusSender> direct_;
    // Each second's message is a header laid out once, with a new document.
    std::unique_ptr<DirectBusSender::Call> snapshotCall_;
    std::unique_ptr<DirectBusSender::Call> settingsCall_;
    QDBusServiceWatcher* watcher_;
    std::function<void()> invalidation_;
    bool invalidated_ = false;
};

namespace {

// A peer that called the service: what the service's delegate configures.
class PeerConnection final : public XPCConnection {
public:
    void setRemoteObjectInterface(InterfaceDescription) override {}
    void setExportedInterface(InterfaceDescription) override {}
    void setExportedObject(std::shared_ptr<QuillfenClientProtocol>) override {}
    void setExportedObject(std::shared_ptr<QuillfenServiceProtocol> o) override {
        exported = std::move(o);
    }
    void setInterruptionHandler(std::function<void()>) override {}
    void setInvalidationHandler(std::function<void()> h) override { invalidation = std::move(h); }
    void resume() override {}
    void invalidate() override {
        exported.reset();
        invalidation = nullptr;
    }
    std::shared_ptr<QuillfenServiceProtocol>
    remoteObjectProxyWithErrorHandler(std::function<void(std::string)>) override {
        return nullptr;
    }
    std::shared_ptr<QuillfenClientProtocol> remoteClientProxy() override { return nullptr; }

    // The peer left the bus.
    void lost() {
        auto handler = std::move(invalidation);
        invalidate();
        if (handler) handler();
    }

    std::shared_ptr<QuillfenServiceProtocol> exported;
    std::function<void()> invalidation;
};

} // namespace

// The service's listener: the service object on the process's session-bus connection, under
// the service's well-known name. Each caller is a peer connection the delegate configures,
// invalidated when the caller leaves the bus.
class ServiceListener final : public QObject, public XPCListener {
    Q_OBJECT

public:
    explicit ServiceListener(QString name)
        : name_(std::move(name))
        , bus_(QDBusConnection::sessionBus()) {}
    ~ServiceListener() override { invalidate(); }

    void setDelegate(std::weak_ptr<XPCListenerDelegate> d) override { delegate_ = std::move(d); }
    void setInvalidationHandler(std::function<void(std::string)> h) override {
        invalidation_ = std::move(h);
    }

    void resume() override {
        if (resumed_ || invalidated_) return;
        resumed_ = true;
        if (!bus_.isConnected()) return fail("no session bus: " + bus_.lastError().message());
        object_ = std::make_unique<DBusServiceObject>(handlers());
        new QuillfenServiceAdaptor(object_.get());
        new QuillfenServiceStatusAdaptor(object_.get());
        if (!bus_.registerObject(q(QuillfenXPC::serviceObjectPath), object_.get(),
                                 QDBusConnection::ExportAdaptors))
            return fail("cannot export the service object");
        watcher_ = new QDBusServiceWatcher(QString(), bus_,
                                           QDBusServiceWatcher::WatchForUnregistration, this);
        connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this,
                &ServiceListener::peerLeft);
        // The session ending takes the bus with it; a service without its bus has no one to
        // serve.
        bus_.connect(QString(), "/org/freedesktop/DBus/Local", "org.freedesktop.DBus.Local",
                     "Disconnected", this, SLOT(onDisconnected()));
        if (!bus_.registerService(name_)) return fail("another process owns " + name_);
    }

    void invalidate() override {
        if (invalidated_) return;
        invalidated_ = true;
        if (resumed_ && bus_.isConnected()) {
            bus_.unregisterService(name_);
            bus_.unregisterObject(q(QuillfenXPC::serviceObjectPath));
        }
        // May run inside the watcher's own signal.
        if (auto* w = std::exchange(watcher_, nullptr)) w->deleteLater();
        for (auto& [name, peer] : peers_)
            if (peer) peer->invalidate();
        peers_.clear();
        object_.reset();
    }

    std::string endpoint() const override { return resumed_ ? name_.toStdString() : std::string(); }

public slots:
    void onDisconnected() { fail("the session bus went away"); }

private:
    DBusServiceObject::Handlers handlers() {
        DBusServiceObject::Handlers h;
        h.registerClient = [this](const QString& sender, const QString& endpoint,
                                  std::function<void(bool)> reply) {
            const auto p = peer(sender);
            if (!p) return reply(false);
            p->registerClientWithEndpoint(endpoint.toStdString(), std::move(reply));
        };
        h.currentSnapshot = [this](const QString& sender, std::function<void(QByteArray)> reply) {
            const auto p = peer(sender);
            if (!p) return reply({});
            p->currentSnapshotWithReply([reply = std::move(reply)](std::string document) {
                reply(QByteArray(document.data(), static_cast<qsizetype>(document.size())));
            });
        };
        h.setPopoverOpen = [this](const QString& sender, bool open) {
            if (const auto p = peer(sender)) p->setPopoverOpen(open);
        };
        h.applySettings = [this](const QString& sender, const QByteArray& document) {
            if (const auto p = peer(sender)) p->applySettings(bytes(document));
        };
        h.clientCount = [] { return static_cast<uint>(liveEndpoints); };
        return h;
    }

    // The object answering `sender`, configured by the delegate the first time it calls.
    std::shared_ptr<QuillfenServiceProtocol> peer(const QString& sender) {
        if (invalidated_ || sender.isEmpty()) return nullptr;
        auto it = peers_.find(sender);
        if (it == peers_.end()) {
            auto incoming = std::make_shared<PeerConnection>();
            const auto delegate = delegate_.lock();
            const bool accepted =
                delegate && delegate->listenerShouldAcceptNewConnection(*this, *incoming);
            it = peers_.emplace(sender, accepted ? incoming : nullptr).first;
            watcher_->addWatchedService(sender);
        }
        return it->second ? it->second->exported : nullptr;
    }

    void peerLeft(const QString& name) {
        if (!watcher_) return;
        watcher_->removeWatchedService(name);
        const auto it = peers_.find(name);
        if (it == peers_.end()) return;
        const auto peer = std::move(it->second);
        peers_.erase(it);
        if (peer) peer->lost();
    }

    void fail(const QString& reason) {
        if (invalidated_) return;
        auto handler = invalidation_;
        invalidate();
        if (handler) handler(reason.toStdString());
    }

    QString name_;
    QDBusConnection bus_;
    std::weak_ptr<XPCListenerDelegate> delegate_;
    std::function<void(std::string)> invalidation_;
    std::unique_ptr<DBusServiceObject> object_;
    QDBusServiceWatcher* watcher_ = nullptr;
    std::map<QString, std::shared_ptr<PeerConnection>> peers_;
    bool resumed_ = false;
    bool invalidated_ = false;
};

std::shared_ptr<XPCListener> DBusMessaging::listenerForService(std::string_view serviceName) {
    return std::make_shared<ServiceListener>(q(serviceName));
}

std::shared_ptr<XPCConnection> DBusMessaging::connectionToEndpoint(std::string_view endpoint) {
    const QString name = q(endpoint);
    auto bus = QDBusConnection::sessionBus();
    if (!isUniqueName(name) || !bus.isConnected()) return nullptr;
    // One for all the endpoints, made when the first client registers.
    if (!direct_) direct_ = std::make_shared<DirectBusSender>();
    auto connection = std::make_shared<EndpointConnection>(bus, name, direct_);
    if (!connection->onBus()) return nullptr;
    return connection;
}

std::shared_ptr<XPCConnection> DBusMessaging::connectionToService(std::string_view serviceName) {
    return std::make_shared<ServiceConnection>(q(serviceName));
}

std::shared_ptr<XPCListener> DBusMessaging::anonymousListener() {
    return std::make_shared<Listener>();
}

void enableDBus(Platform& platform) {
    platform.messaging = std::make_shared<DBusMessaging>();
}

} // namespace quillfen::platform::dbus

#include "DBusMessaging.moc"
