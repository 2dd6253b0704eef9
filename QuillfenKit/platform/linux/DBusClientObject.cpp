#include "platform/linux/DBusClientObject.h"

#include <QDBusMessage>

namespace quillfen::platform::dbus {

DBusClientObject::DBusClientObject(Dispatch dispatch, QObject* parent)
    : QObject(parent)
    , dispatch_(std::move(dispatch)) {}

void DBusClientObject::SnapshotDidUpdate(const QByteArray& document) {
    dispatch_(calledFromDBus() ? message().service() : QString(), true, document);
}

void DBusClientObject::SettingsDidUpdate(const QByteArray& document) {
    dispatch_(calledFromDBus() ? message().service() : QString(), false, document);
}

} // namespace quillfen::platform::dbus
