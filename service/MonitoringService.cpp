#include "MonitoringService.h"

#include "model/AppState.h"
#include "platform/Platform.h"
#include "quillfenclientinterface.h"
#include "quillfenserviceadaptor.h"
#include "settings/AppSettings.h"
#include "xpc/QuillfenXPC.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>

namespace quillfen {
namespace {

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QByteArray encoded(const std::optional<std::string>& text) {
    return text ? QByteArray(text->data(), static_cast<qsizetype>(text->size())) : QByteArray();
}

// A unique connection name (":1.42"): the only kind of endpoint a client can hand over.
bool isUniqueName(const QString& name) {
    return name.size() > 1 && name.size() <= 255 && name.startsWith(':');
}

} // namespace

MonitoringService::MonitoringService(QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , bus_(std::move(bus))
    , sampler_(snapshot_)
    , watcher_(new QDBusServiceWatcher(QString(), bus_, QDBusServiceWatcher::WatchForUnregistration,
                                       this)) {
    new QuillfenServiceAdaptor(this);
    new QuillfenServiceStatusAdaptor(this);
    connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this,
            &MonitoringService::nameLeft);
    sampler_.didTick = [this] { didTick(); };
}

MonitoringService::~MonitoringService() {
    sampler_.stop();
}

void MonitoringService::start(std::function<void(const QString&)> failed) {
    failed_ = std::move(failed);
    if (!bus_.isConnected()) {
        failed_("no session bus: " + bus_.lastError().message());
        return;
    }
    if (!bus_.registerObject(q(QuillfenXPC::serviceObjectPath), this,
                             QDBusConnection::ExportAdaptors)) {
        failed_("cannot export the service object");
        return;
    }
    // The session ending takes the bus with it; a service without its bus has no one to serve.
    bus_.connect(QString(), "/org/freedesktop/DBus/Local", "org.freedesktop.DBus.Local",
                 "Disconnected", this, SLOT(busDisconnected()));
    sampler_.start(1.0);
}

void MonitoringService::busDisconnected() {
    sampler_.stop();
    platform::current().application->terminate();
}

QString MonitoringService::caller() const {
    return calledFromDBus() ? message().service() : QString();
}

bool MonitoringService::RegisterClientWithEndpoint(const QString& endpoint) {
    if (!isUniqueName(endpoint)) return false;
    // An endpoint must be on the bus now, or the client would be remembered forever.
    const auto owned = bus_.interface()->isServiceRegistered(endpoint);
    if (!owned.isValid() || !owned.value()) return false;
    clients_[endpoint] = caller();
    watcher_->addWatchedService(endpoint);
    return true;
}

QByteArray MonitoringService::CurrentSnapshot() {
    if (document_.isEmpty()) document_ = encoded(json::encode(snapshot_.values()));
    return document_;
}

void MonitoringService::SetPopoverOpen(bool open) {
    const QString from = caller();
    popoverOpen_[from] = open;
    if (!from.isEmpty()) watcher_->addWatchedService(from);
    updatePopover();
}

void MonitoringService::ApplySettings(const QByteArray& received) {
    if (received.size() > maximumDocumentBytes) return;
    const auto values =
        json::decode<AppSettingsValues>(std::string_view(received.constData(), received.size()));
    if (!values) return;
    // A client stores its own change before it sends its settings, and the rest of the
    // document is what that client last knew, which another process may have changed in the
    // store since. So the store, not the document, has the newest value of every key.
    auto& settings = AppSettings::shared();
    settings.reload();
    const AppSettingsValues current = settings.values();
    const QByteArray document = encoded(json::encode(current));
    const QString from = caller();
    // The sender hears back only when what it sent was out of date.
    const bool senderIsBehind = current != *values;
    for (const auto& [endpoint, registeredBy] : clients_)
        if (registeredBy != from || from.isEmpty() || senderIsBehind)
            tell(endpoint, "SettingsDidUpdate", document);
}

void MonitoringService::didTick() {
    document_ = encoded(json::encode(snapshot_.values()));
    if (!named_) {
        if (!bus_.registerService(q(kQuillfenServiceMachName))) {
            sampler_.stop();
            failed_("another process owns " + q(kQuillfenServiceMachName));
            return;
        }
        named_ = true;
    }
    if (document_.isEmpty()) return;
    for (const auto& [endpoint, registeredBy] : clients_)
        tell(endpoint, "SnapshotDidUpdate", document_);
}

// A one-way call: sent without awaiting a reply, and flagged so the client sends none. A
// pending call per client per second would cost more than the document itself.
void MonitoringService::tell(const QString& endpoint, const QString& method,
                             const QByteArray& document) {
    auto message = QDBusMessage::createMethodCall(
        endpoint, q(QuillfenXPC::clientObjectPath),
        ComBrenvollPellgroveQuillfenClientInterface::staticInterfaceName(), method);
    message.setAutoStartService(false);
    message << document;
    bus_.send(message);
}

void MonitoringService::nameLeft(const QString& name) {
    watcher_->removeWatchedService(name);
    clients_.erase(name);
    if (popoverOpen_.erase(name)) updatePopover();
}

void MonitoringService::updatePopover() {
    bool anyOpen = false;
    for (const auto& [who, open] : popoverOpen_)
        anyOpen = anyOpen || open;
    AppState::shared().setPopoverIsOpen(anyOpen);
}

} // namespace quillfen
