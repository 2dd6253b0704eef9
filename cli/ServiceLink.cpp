#include "ServiceLink.h"

#include "platform/Platform.h"
#include "support/Printable.h"
#include "xpc/QuillfenXPC.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QTimer>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quillfen::cli {
namespace {

constexpr int kDefaultTimeoutMs = 2500;

QString serviceName() {
    return QString::fromUtf8(kQuillfenServiceMachName.data(),
                             static_cast<qsizetype>(kQuillfenServiceMachName.size()));
}

} // namespace

int serviceTimeoutMs() {
    const char* text = std::getenv("QUILLFEN_SERVICE_TIMEOUT");
    if (!text || !*text) return kDefaultTimeoutMs;
    double seconds = 0;
    const char* end = text + std::char_traits<char>::length(text);
    const auto [stop, ec] = std::from_chars(text, end, seconds);
    if (ec != std::errc() || stop != end || !(seconds >= 0.1 && seconds <= 600))
        return kDefaultTimeoutMs;
    return static_cast<int>(std::lround(seconds * 1000));
}

std::string secondsText(int milliseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%g second%s", milliseconds / 1000.0,
                  milliseconds == 1000 ? "" : "s");
    return text;
}

std::optional<std::string> busProblem() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) return std::nullopt;
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const std::string detail = address && *address
                                   ? "cannot connect to " + printable(address, 200) + ": " +
                                         printable(bus.lastError().message().toStdString(), 300)
                                   : "DBUS_SESSION_BUS_ADDRESS is not set and no bus was found";
    return "no session bus (" + detail +
           "). Quillfen's monitoring service runs on the session bus of a desktop session: use "
           "Quillfen there, or give the command a bus of its own with "
           "dbus-run-session -- quillfen …";
}

std::string serviceProblem(const std::string& callError, int waitedMs) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return busProblem().value_or("the session bus went away");
    auto* daemon = bus.interface();
    const QString name = serviceName();
    const auto owned = daemon->isServiceRegistered(name);
    const bool running = owned.isValid() && owned.value();
    const auto activatable = daemon->activatableServiceNames();
    const bool installed = activatable.isValid() && activatable.value().contains(name);
    if (!running && !installed)
        return "the monitoring service is not installed: the session bus has no service file "
               "for " +
               std::string(kQuillfenServiceMachName) +
               ". Install Quillfen with scripts/install from its source folder (its PREFIX/share "
               "must be among your XDG data folders), or start quillfen-service yourself";
    const std::string error = printable(callError, 400);
    if (!error.empty())
        return running ? "the monitoring service refused the request: " + error
                       : "the session bus could not start the monitoring service: " + error;
    if (!running)
        return "the monitoring service did not answer within " + secondsText(waitedMs) +
               ": the session bus was still starting it";
    const auto pid = daemon->servicePid(name);
    return "the monitoring service" +
           (pid.isValid() ? " (process " + std::to_string(pid.value()) + ")" : std::string()) +
           " did not answer within " + secondsText(waitedMs);
}

struct ServiceSession::Pending {
    std::function<void(std::optional<std::string>)> done;
    QTimer timer;
    int timeoutMs = 0;
    std::string error;
    bool finished = false;
};

ServiceSession::ServiceSession()
    : connection_(platform::current().messaging->connectionToService(kQuillfenServiceMachName)) {
    connection_->setRemoteObjectInterface(QuillfenXPC::serviceInterface());
    connection_->setInvalidationHandler([this] {
        if (!pending_) return;
        if (pending_->error.empty()) pending_->error = "the connection to the session bus was lost";
        finish(pending_, std::nullopt);
    });
    connection_->resume();
    proxy_ = connection_->remoteObjectProxyWithErrorHandler([](const std::string&) {});
}

ServiceSession::~ServiceSession() {
    if (pending_) pending_->finished = true;
    connection_->invalidate();
}

void ServiceSession::finish(const std::shared_ptr<Pending>& pending,
                            std::optional<std::string> document) {
    if (pending->finished) return;
    pending->finished = true;
    pending->timer.stop();
    if (!document) problem_ = serviceProblem(pending->error, pending->timeoutMs);
    // Called last: `done` may start the next request, which replaces this one.
    if (pending->done) pending->done(std::move(document));
}

void ServiceSession::request(int timeoutMs, std::function<void(std::optional<std::string>)> done) {
    auto pending = std::make_shared<Pending>();
    pending->done = std::move(done);
    pending->timeoutMs = timeoutMs;
    pending_ = pending;
    problem_.clear();
    // The session outlives none of these: they reach it only while its request is alive.
    const std::weak_ptr<Pending> weak = pending;
    const auto finishing = [this, weak](std::optional<std::string> document) {
        if (const auto p = weak.lock()) finish(p, std::move(document));
    };
    pending->timer.setSingleShot(true);
    QObject::connect(&pending->timer, &QTimer::timeout, [finishing] { finishing(std::nullopt); });
    pending->timer.start(timeoutMs);
    // A proxy per request, so that a late error of an earlier request is not taken for this
    // one's.
    const auto proxy =
        connection_->remoteObjectProxyWithErrorHandler([weak, finishing](const std::string& error) {
            if (const auto p = weak.lock()) p->error = error.empty() ? "failed" : error;
            finishing(std::nullopt);
        });
    if (!proxy) {
        pending->error = "no connection to the session bus";
        pending->timer.start(0);
        return;
    }
    proxy->currentSnapshotWithReply(
        [finishing](std::string document) { finishing(std::move(document)); });
}

std::optional<std::string> ServiceSession::snapshot(int timeoutMs) {
    QEventLoop loop;
    std::optional<std::string> answer;
    bool answered = false;
    request(timeoutMs, [&](std::optional<std::string> document) {
        answer = std::move(document);
        answered = true;
        loop.quit();
    });
    if (!answered) loop.exec();
    return answer;
}

} // namespace quillfen::cli
