#pragma once

#include "model/SystemSnapshot.h"
#include "sampling/Sampler.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>

#include <functional>
#include <map>
#include <vector>

class QDBusServiceWatcher;

namespace quillfen {

// The monitoring service: samples once a second and sends each snapshot to every registered
// client, applies the settings clients send and passes them on to the others, and samples
// in full while any client's popover is open. Clients are known by the endpoint they
// registered and forgotten when that name leaves the bus.
class MonitoringService final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_PROPERTY(uint ClientCount READ clientCount)

public:
    // Documents larger than this are dropped unread.
    static constexpr qsizetype maximumDocumentBytes = 1 << 20;

    explicit MonitoringService(QDBusConnection bus, QObject* parent = nullptr);
    ~MonitoringService() override;

    // Exports the service and starts sampling; the bus name is taken once the first sample is
    // in, so the first question (which may be what had the bus start the service) gets
    // readings. `failed` is called when the bus is unusable or the name is taken.
    void start(std::function<void(const QString& error)> failed);

    uint clientCount() const { return static_cast<uint>(clients_.size()); }
    const SystemSnapshot& snapshot() const { return snapshot_; }

public slots:
    bool RegisterClientWithEndpoint(const QString& endpoint);
    QByteArray CurrentSnapshot();
    void SetPopoverOpen(bool open);
    void ApplySettings(const QByteArray& document);

private slots:
    void busDisconnected();

private:
    void didTick();
    void tell(const QString& endpoint, const QString& method, const QByteArray& document);
    void nameLeft(const QString& name);
    void updatePopover();
    QString caller() const;

    QDBusConnection bus_;
    SystemSnapshot snapshot_;
    Sampler sampler_;
    QByteArray document_; // the latest snapshot, encoded once per tick
    bool named_ = false;  // the bus name is ours
    std::function<void(const QString&)> failed_;
    std::map<QString, QString> clients_;  // endpoint -> the caller's own connection
    std::map<QString, bool> popoverOpen_; // by caller
    // The popover has just opened and its first full sample is being taken; snapshot
    // questions asked meanwhile are answered with it.
    bool fullSamplePending_ = false;
    std::vector<QDBusMessage> waitingForFullSample_;
    QDBusServiceWatcher* watcher_;
};

} // namespace quillfen
