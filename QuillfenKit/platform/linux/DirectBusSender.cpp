#include "platform/linux/DirectBusSender.h"

#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <dbus/dbus.h>

#include <map>

namespace quillfen::platform::dbus {

// libdbus asks its user to watch the connection's socket and to run its timeouts; these are
// Qt socket notifiers and timers on `owner`, which takes whatever is left with it. libdbus may
// remove a watch from inside that watch's own handler, so a removed notifier or timer is
// disabled at once and deleted later.
struct DirectBusSender::State {
    DBusConnection* connection = nullptr;
    std::string uniqueName;
    QObject owner;
    std::map<DBusWatch*, QPointer<QSocketNotifier>> readers;
    std::map<DBusWatch*, QPointer<QSocketNotifier>> writers;
    std::map<DBusTimeout*, QPointer<QTimer>> timers;

    // Everything that came in is dispatched, and so let go: nothing is expected on this
    // connection but the bus's own signals; libdbus answers any call with an error itself.
    void dispatch() {
        while (dbus_connection_dispatch(connection) == DBUS_DISPATCH_DATA_REMAINS) {
        }
    }

    static void discard(QSocketNotifier* notifier) {
        if (!notifier) return;
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    static void discard(QTimer* timer) {
        if (!timer) return;
        timer->stop();
        timer->deleteLater();
    }

    static dbus_bool_t addWatch(DBusWatch* watch, void* data) {
        auto* self = static_cast<State*>(data);
        const int fd = dbus_watch_get_unix_fd(watch);
        const unsigned flags = dbus_watch_get_flags(watch);
        const auto add = [&](QSocketNotifier::Type type, unsigned condition, auto& notifiers) {
            auto* notifier = new QSocketNotifier(fd, type, &self->owner);
            QObject::connect(notifier, &QSocketNotifier::activated, &self->owner,
                             [self, watch, condition] {
                                 dbus_watch_handle(watch, condition);
                                 self->dispatch();
                             });
            notifiers[watch] = notifier;
        };
        if (flags & DBUS_WATCH_READABLE)
            add(QSocketNotifier::Read, DBUS_WATCH_READABLE, self->readers);
        if (flags & DBUS_WATCH_WRITABLE)
            add(QSocketNotifier::Write, DBUS_WATCH_WRITABLE, self->writers);
        toggleWatch(watch, data);
        return TRUE;
    }

    static void removeWatch(DBusWatch* watch, void* data) {
        auto* self = static_cast<State*>(data);
        for (auto* notifiers : {&self->readers, &self->writers}) {
            if (const auto it = notifiers->find(watch); it != notifiers->end()) {
                discard(it->second);
                notifiers->erase(it);
            }
        }
    }

    static void toggleWatch(DBusWatch* watch, void* data) {
        auto* self = static_cast<State*>(data);
        const bool enabled = dbus_watch_get_enabled(watch);
        for (auto* notifiers : {&self->readers, &self->writers}) {
            if (const auto it = notifiers->find(watch); it != notifiers->end() && it->second)
                it->second->setEnabled(enabled);
        }
    }

    static dbus_bool_t addTimeout(DBusTimeout* timeout, void* data) {
        auto* self = static_cast<State*>(data);
        auto* timer = new QTimer(&self->owner);
        QObject::connect(timer, &QTimer::timeout, &self->owner,
                         [timeout] { dbus_timeout_handle(timeout); });
        self->timers[timeout] = timer;
        toggleTimeout(timeout, data);
        return TRUE;
    }

    static void removeTimeout(DBusTimeout* timeout, void* data) {
        auto* self = static_cast<State*>(data);
        if (const auto it = self->timers.find(timeout); it != self->timers.end()) {
            discard(it->second);
            self->timers.erase(it);
        }
    }

    static void toggleTimeout(DBusTimeout* timeout, void* data) {
        auto* self = static_cast<State*>(data);
        const auto it = self->timers.find(timeout);
        if (it == self->timers.end() || !it->second) return;
        if (dbus_timeout_get_enabled(timeout))
            it->second->start(dbus_timeout_get_interval(timeout));
        else
            it->second->stop();
    }
};

DirectBusSender::DirectBusSender(const std::string& address)
    : state_(std::make_unique<State>()) {
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* connection = nullptr;
    if (address.empty()) {
        connection = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
    } else if ((connection = dbus_connection_open_private(address.c_str(), &error)) &&
               !dbus_bus_register(connection, &error)) {
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
        connection = nullptr;
    }
    dbus_error_free(&error);
    if (!connection) return;
    // A bus that goes away ends the connection, not the process.
    dbus_connection_set_exit_on_disconnect(connection, FALSE);
    state_->connection = connection;
    if (const char* name = dbus_bus_get_unique_name(connection)) state_->uniqueName = name;
    if (!dbus_connection_set_watch_functions(connection, &State::addWatch, &State::removeWatch,
                                             &State::toggleWatch, state_.get(), nullptr) ||
        !dbus_connection_set_timeout_functions(connection, &State::addTimeout,
                                               &State::removeTimeout, &State::toggleTimeout,
                                               state_.get(), nullptr)) {
        dbus_connection_close(connection);
    }
    // What arrived with the greeting (the bus's NameAcquired) is let go now.
    state_->dispatch();
}

DirectBusSender::~DirectBusSender() {
    if (!state_->connection) return;
    dbus_connection_close(state_->connection);
    dbus_connection_set_watch_functions(state_->connection, nullptr, nullptr, nullptr, nullptr,
                                        nullptr);
    dbus_connection_set_timeout_functions(state_->connection, nullptr, nullptr, nullptr, nullptr,
                                          nullptr);
    dbus_connection_unref(state_->connection);
}

bool DirectBusSender::isConnected() const {
    return state_->connection && dbus_connection_get_is_connected(state_->connection);
}

const std::string& DirectBusSender::uniqueName() const {
    return state_->uniqueName;
}

DirectBusSender::Call::Call(const std::string& destination, const char* path, const char* interface,
                            const char* member) {
    if (!dbus_validate_bus_name(destination.c_str(), nullptr) ||
        !dbus_validate_path(path, nullptr) || !dbus_validate_interface(interface, nullptr) ||
        !dbus_validate_member(member, nullptr))
        return;
    message_ = dbus_message_new_method_call(destination.c_str(), path, interface, member);
    if (!message_) return;
    dbus_message_set_no_reply(message_, TRUE);
    dbus_message_set_auto_start(message_, FALSE);
}

DirectBusSender::Call::~Call() {
    if (message_) dbus_message_unref(message_);
}

bool DirectBusSender::send(const Call& call, std::string_view bytes) {
    if (!call.isValid() || !isConnected() || bytes.size() > DBUS_MAXIMUM_ARRAY_LENGTH) return false;
    DBusMessage* message = dbus_message_copy(call.message_);
    if (!message) return false;
    static const char kNothing = 0;
    const char* data = bytes.empty() ? &kNothing : bytes.data();
    const int length = static_cast<int>(bytes.size());
    const bool sent = dbus_message_append_args(message, DBUS_TYPE_ARRAY, DBUS_TYPE_BYTE, &data,
                                               length, DBUS_TYPE_INVALID) &&
                      dbus_connection_send(state_->connection, message, nullptr);
    dbus_message_unref(message);
    return sent;
}

} // namespace quillfen::platform::dbus
