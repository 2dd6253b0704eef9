#pragma once

#include "model/SystemSnapshot.h"
#include "platform/MainQueue.h"

#include <QWidget>

#include <optional>
#include <vector>

class QGridLayout;
class QScrollArea;

namespace quillfen::app {

class MonitorCard;
class MonitorHeader;
class CpuCard;
class GpuCard;
class MemoryCard;
class NetworkCard;
class DiskCard;
class SensorsCard;
class BatteryCard;
class ProcessesCard;

// The main app's window: a header and the cards of every reading in a grid of two columns
// (one when narrow), following the client's snapshot. While it is on screen it tells the
// service that someone is looking, so the service samples in full; hidden, minimised or
// closed it says the opposite. Until snapshots arrive, and when they stop, it says it is
// connecting.
class MonitorWindow final : public QWidget {
    Q_OBJECT

public:
    explicit MonitorWindow(SystemSnapshot& snapshot, QWidget* parent = nullptr);
    ~MonitorWindow() override;

    // Snapshots arrive.
    bool isConnected() const { return connected_; }
    bool isTwoColumns() const { return twoColumns_; }

    MonitorHeader* header() const { return header_; }
    const std::vector<MonitorCard*>& cards() const { return cards_; }
    GpuCard* gpuCard() const { return gpu_; }
    SensorsCard* sensorsCard() const { return sensors_; }
    BatteryCard* batteryCard() const { return battery_; }

    // Without a snapshot for this long the window says it is connecting.
    static constexpr double silenceSeconds = 3;
    // The OS version, uptime, swap and the helper's state are read this often.
    static constexpr double systemRefreshSeconds = 10;
    // Content at least this wide has two columns.
    static constexpr double twoColumnWidth = 1000;
    static constexpr int padding = 20, spacing = 14;

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;
    void changeEvent(QEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void snapshotArrived();
    void tellWhetherLooking();
    void relayout();
    void refreshSystem();

    SystemSnapshot& snapshot_;
    MonitorHeader* header_;
    QScrollArea* scroll_;
    QGridLayout* grid_;
    CpuCard* cpu_;
    MemoryCard* memory_;
    GpuCard* gpu_;
    NetworkCard* network_;
    DiskCard* disk_;
    SensorsCard* sensors_;
    BatteryCard* battery_;
    ProcessesCard* processes_;
    std::vector<MonitorCard*> cards_;
    std::optional<bool> toldLooking_;
    bool connected_ = false;
    bool twoColumns_ = true;
    platform::Cancellable silence_;
    platform::Cancellable systemTimer_;
};

} // namespace quillfen::app
