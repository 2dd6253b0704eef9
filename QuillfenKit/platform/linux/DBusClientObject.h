#pragma once

#include <QByteArray>
#include <QDBusContext>
#include <QObject>

#include <functional>

namespace quillfen::platform::dbus {

// The client object on the bus: calls of the client interface arrive here (through the
// adaptor generated from the interface description) and are handed on with their sender.
class DBusClientObject final : public QObject, protected QDBusContext {
    Q_OBJECT

public:
    using Dispatch = std::function<void(const QString& sender, bool snapshot, QByteArray document)>;
    explicit DBusClientObject(Dispatch dispatch, QObject* parent = nullptr);

public slots:
    void SnapshotDidUpdate(const QByteArray& document);
    void SettingsDidUpdate(const QByteArray& document);

private:
    Dispatch dispatch_;
};

} // namespace quillfen::platform::dbus
