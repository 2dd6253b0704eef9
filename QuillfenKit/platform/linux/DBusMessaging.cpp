#include "platform/linux/DBusMessaging.h"

#include "platform/linux/DBusClientObject.h"
#include "quillfenclientadaptor.h"
#include "quillfenserviceinterface.h"
#include "xpc/QuillfenXPC.h"

#include <QDBusConnection>
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
    void setInterruptionHandler(std::function<void()>) override {}
    void setInvalidationHandler(std::function<void()>) override {}
    void resume() override {}
    void invalidate() override { exported.reset(); }
    std::shared_ptr<QuillfenServiceProtocol>
    remoteObjectProxyWithErrorHandler(std::function<void(std::string)>) override {
        return nullptr;
    }
    std::shared_ptr<QuillfenClientProtocol> exported;
};

class Listener final : public XPCListener {
public:
    ~Listener() override { invalidate(); }

    void setDelegate(std::weak_ptr<XPCListenerDelegate> d) override { delegate_ = std::move(d); }

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

} // namespace

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
