#pragma once

#include <QByteArray>
#include <QDBusContext>
#include <QObject>

#include <functional>

namespace quillfen::platform::dbus {

// The service object on the bus: calls of the service interface arrive here (through the
// adaptors generated from the interface description) and are handed on with their sender.
// Answers may come later: every question is answered through `reply`.
class DBusServiceObject final : public QObject, protected QDBusContext {
    Q_OBJECT
    // How many client endpoints this process is connected to, for people and tests looking in.
    Q_PROPERTY(uint ClientCount READ clientCount)

public:
    struct Handlers {
        std::function<void(const QString& sender, const QString& endpoint,
                           std::function<void(bool)> reply)>
            registerClient;
        std::function<void(const QString& sender, std::function<void(QByteArray)> reply)>
            currentSnapshot;
        std::function<void(const QString& sender, bool open)> setPopoverOpen;
        std::function<void(const QString& sender, const QByteArray& document)> applySettings;
        std::function<uint()> clientCount;
    };
    explicit DBusServiceObject(Handlers handlers, QObject* parent = nullptr);

    uint clientCount() const { return handlers_.clientCount ? handlers_.clientCount() : 0; }

public slots:
    bool RegisterClientWithEndpoint(const QString& endpoint);
    QByteArray CurrentSnapshot();
    void SetPopoverOpen(bool open);
    void ApplySettings(const QByteArray& document);

private:
    QString sender() const;

    Handlers handlers_;
};

} // namespace quillfen::platform::dbus
