#include "platform/linux/DBusServiceObject.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace quillfen::platform::dbus {

DBusServiceObject::DBusServiceObject(Handlers handlers, QObject* parent)
    : QObject(parent)
    , handlers_(std::move(handlers)) {}

QString DBusServiceObject::sender() const {
    return calledFromDBus() ? message().service() : QString();
}

// The answers are sent when the service gives them, which may be after this call returns.
bool DBusServiceObject::RegisterClientWithEndpoint(const QString& endpoint) {
    if (!calledFromDBus()) return false;
    setDelayedReply(true);
    handlers_.registerClient(sender(), endpoint,
                             [question = message(), bus = connection()](bool accepted) mutable {
                                 bus.send(question.createReply(accepted));
                             });
    return false;
}

QByteArray DBusServiceObject::CurrentSnapshot() {
    if (!calledFromDBus()) return {};
    setDelayedReply(true);
    handlers_.currentSnapshot(
        sender(), [question = message(), bus = connection()](QByteArray document) mutable {
            bus.send(question.createReply(QVariant::fromValue(document)));
        });
    return {};
}

void DBusServiceObject::SetPopoverOpen(bool open) {
    handlers_.setPopoverOpen(sender(), open);
}

void DBusServiceObject::ApplySettings(const QByteArray& document) {
    handlers_.applySettings(sender(), document);
}

} // namespace quillfen::platform::dbus
