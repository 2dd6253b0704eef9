#pragma once

#include "model/RingBuffer.h"
#include "sampling/BatteryReading.h"
#include "sampling/CPUReading.h"
#include "sampling/DiskReading.h"
#include "sampling/DiskVolumeUsage.h"
#include "sampling/GPUReading.h"
#include "sampling/MemoryReading.h"
#include "sampling/NetworkReading.h"
#include "sampling/ProcessReading.h"
#include "sensors/FanReading.h"
#include "sensors/ThermalReading.h"

#include <QObject>

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace quillfen {

// The values of a snapshot: the latest reading of every metric and eight histories of 60
// points. Its JSON form is the document the service sends its clients.
struct SnapshotValues {
    static constexpr std::int64_t historyCapacity = 60;
    using History = RingBuffer<double>;

    std::optional<CPUReading> cpu;
    std::optional<GPUReading> gpu;
    std::optional<MemoryReading> memory;
    std::optional<NetworkReading> network;
    std::optional<DiskReading> disk;
    std::vector<DiskVolumeUsage> diskUsage;
    std::optional<ProcessReading> processes;
    std::optional<ThermalReading> thermal;
    std::optional<FanReading> fan;
    std::optional<BatteryReading> battery;
    std::optional<bool> hasBattery; // unknown until the battery sampler has found out
    bool sensorsAvailable = false;  // the helper's latest payload was accepted
    History cpuUserHistory{historyCapacity};
    History cpuSystemHistory{historyCapacity};
    History gpuHistory{historyCapacity};
    History memoryUsedHistory{historyCapacity};
    History netInHistory{historyCapacity};
    History netOutHistory{historyCapacity};
    History diskReadHistory{historyCapacity};
    History diskWriteHistory{historyCapacity};

    bool operator==(const SnapshotValues&) const = default;
};

// Keys are the field names with a leading underscore; "_$observationRegistrar" is written
// last as {} and ignored when read. The lists and histories are required, the readings
// optional (null is absent).
void write(json::Writer& w, const SnapshotValues& s);
bool from_json(const json::Json& j, SnapshotValues& s);
// The same document as a tree, built by the writer above so the two never differ; null when a
// reading is not finite (such a snapshot is never sent).
void to_json(json::Json& j, const SnapshotValues& s);

// The observable snapshot: one change signal per property. Assigning a reading equal to
// the current one notifies nobody; histories always notify.
class SystemSnapshot final : public QObject {
    Q_OBJECT

public:
    SystemSnapshot() = default;

    const SnapshotValues& values() const { return v_; }

    const std::optional<CPUReading>& cpu() const { return v_.cpu; }
    const std::optional<GPUReading>& gpu() const { return v_.gpu; }
    const std::optional<MemoryReading>& memory() const { return v_.memory; }
    const std::optional<NetworkReading>& network() const { return v_.network; }
    const std::optional<DiskReading>& disk() const { return v_.disk; }
    const std::vector<DiskVolumeUsage>& diskUsage() const { return v_.diskUsage; }
    const std::optional<ProcessReading>& processes() const { return v_.processes; }
    const std::optional<ThermalReading>& thermal() const { return v_.thermal; }
    const std::optional<FanReading>& fan() const { return v_.fan; }
    const std::optional<BatteryReading>& battery() const { return v_.battery; }
    std::optional<bool> hasBattery() const { return v_.hasBattery; }
    bool sensorsAvailable() const { return v_.sensorsAvailable; }
    const SnapshotValues::History& cpuUserHistory() const { return v_.cpuUserHistory; }
    const SnapshotValues::History& cpuSystemHistory() const { return v_.cpuSystemHistory; }
    const SnapshotValues::History& gpuHistory() const { return v_.gpuHistory; }
    const SnapshotValues::History& memoryUsedHistory() const { return v_.memoryUsedHistory; }
    const SnapshotValues::History& netInHistory() const { return v_.netInHistory; }
    const SnapshotValues::History& netOutHistory() const { return v_.netOutHistory; }
    const SnapshotValues::History& diskReadHistory() const { return v_.diskReadHistory; }
    const SnapshotValues::History& diskWriteHistory() const { return v_.diskWriteHistory; }

    void setCpu(std::optional<CPUReading> v);
    void setGpu(std::optional<GPUReading> v);
    void setMemory(std::optional<MemoryReading> v);
    void setNetwork(std::optional<NetworkReading> v);
    void setDisk(std::optional<DiskReading> v);
    void setDiskUsage(std::vector<DiskVolumeUsage> v);
    void setProcesses(std::optional<ProcessReading> v);
    void setThermal(std::optional<ThermalReading> v);
    void setFan(std::optional<FanReading> v);
    void setBattery(std::optional<BatteryReading> v);
    void setHasBattery(std::optional<bool> v);
    void setSensorsAvailable(bool v);

    enum class History { cpuUser, cpuSystem, gpu, memoryUsed, netIn, netOut, diskRead, diskWrite };
    // Replaces a history whole, or appends one point to it; either always notifies.
    void setHistory(History history, SnapshotValues::History value);
    void append(History history, double value);

    // Copies every field of `other` in declaration order (readings first, then histories),
    // so observers hear only of the readings that changed, and of every history.
    void apply(const SnapshotValues& other);
    void apply(const SystemSnapshot& other) { apply(other.values()); }

signals:
    void cpuChanged();
    void gpuChanged();
    void memoryChanged();
    void networkChanged();
    void diskChanged();
    void diskUsageChanged();
    void processesChanged();
    void thermalChanged();
    void fanChanged();
    void batteryChanged();
    void hasBatteryChanged();
    void sensorsAvailableChanged();
    void cpuUserHistoryChanged();
    void cpuSystemHistoryChanged();
    void gpuHistoryChanged();
    void memoryUsedHistoryChanged();
    void netInHistoryChanged();
    void netOutHistoryChanged();
    void diskReadHistoryChanged();
    void diskWriteHistoryChanged();

private:
    template <typename T>
    void assign(T SnapshotValues::*field, T value, void (SystemSnapshot::*changed)());
    SnapshotValues::History& history(History h);
    void notify(History h);

    SnapshotValues v_;
};

// One field of the snapshot's document: its key, how to write it (nothing at all when an
// optional reading is absent) and the signal that tells it changed (none for the constant
// "_$observationRegistrar"). Listed in document order.
struct SnapshotField {
    std::string_view key;
    void (*write)(json::Writer& w, std::string_view key, const SnapshotValues& s);
    void (SystemSnapshot::*changed)();
};
inline constexpr std::size_t snapshotFieldCount = 21;
extern const std::array<SnapshotField, snapshotFieldCount> snapshotFields;

} // namespace quillfen
