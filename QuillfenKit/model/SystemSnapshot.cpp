#include "model/SystemSnapshot.h"

namespace quillfen {

namespace {

template <typename T> inline constexpr bool isOptional = false;
template <typename T> inline constexpr bool isOptional<std::optional<T>> = true;

template <auto member>
void writeMember(json::Writer& w, std::string_view key, const SnapshotValues& s) {
    const auto& value = s.*member;
    if constexpr (isOptional<std::remove_cvref_t<decltype(value)>>)
        w.optionalField(key, value);
    else
        w.field(key, value);
}

void writeRegistrar(json::Writer& w, std::string_view key, const SnapshotValues&) {
    w.key(key);
    w.beginObject();
    w.endObject();
}

} // namespace

const std::array<SnapshotField, snapshotFieldCount> snapshotFields{{
    {"_cpu", writeMember<&SnapshotValues::cpu>, &SystemSnapshot::cpuChanged},
    {"_gpu", writeMember<&SnapshotValues::gpu>, &SystemSnapshot::gpuChanged},
    {"_memory", writeMember<&SnapshotValues::memory>, &SystemSnapshot::memoryChanged},
    {"_network", writeMember<&SnapshotValues::network>, &SystemSnapshot::networkChanged},
    {"_disk", writeMember<&SnapshotValues::disk>, &SystemSnapshot::diskChanged},
    {"_diskUsage", writeMember<&SnapshotValues::diskUsage>, &SystemSnapshot::diskUsageChanged},
    {"_processes", writeMember<&SnapshotValues::processes>, &SystemSnapshot::processesChanged},
    {"_thermal", writeMember<&SnapshotValues::thermal>, &SystemSnapshot::thermalChanged},
    {"_fan", writeMember<&SnapshotValues::fan>, &SystemSnapshot::fanChanged},
    {"_battery", writeMember<&SnapshotValues::battery>, &SystemSnapshot::batteryChanged},
    {"_hasBattery", writeMember<&SnapshotValues::hasBattery>, &SystemSnapshot::hasBatteryChanged},
    {"_sensorsAvailable", writeMember<&SnapshotValues::sensorsAvailable>,
     &SystemSnapshot::sensorsAvailableChanged},
    {"_cpuUserHistory", writeMember<&SnapshotValues::cpuUserHistory>,
     &SystemSnapshot::cpuUserHistoryChanged},
    {"_cpuSystemHistory", writeMember<&SnapshotValues::cpuSystemHistory>,
     &SystemSnapshot::cpuSystemHistoryChanged},
    {"_gpuHistory", writeMember<&SnapshotValues::gpuHistory>, &SystemSnapshot::gpuHistoryChanged},
    {"_memoryUsedHistory", writeMember<&SnapshotValues::memoryUsedHistory>,
     &SystemSnapshot::memoryUsedHistoryChanged},
    {"_netInHistory", writeMember<&SnapshotValues::netInHistory>,
     &SystemSnapshot::netInHistoryChanged},
    {"_netOutHistory", writeMember<&SnapshotValues::netOutHistory>,
     &SystemSnapshot::netOutHistoryChanged},
    {"_diskReadHistory", writeMember<&SnapshotValues::diskReadHistory>,
     &SystemSnapshot::diskReadHistoryChanged},
    {"_diskWriteHistory", writeMember<&SnapshotValues::diskWriteHistory>,
     &SystemSnapshot::diskWriteHistoryChanged},
    {"_$observationRegistrar", writeRegistrar, nullptr},
}};

void write(json::Writer& w, const SnapshotValues& s) {
    w.beginObject();
    for (const auto& field : snapshotFields)
        field.write(w, field.key, s);
    w.endObject();
}

void to_json(json::Json& j, const SnapshotValues& s) {
    const auto text = json::encode(s);
    j = text ? json::parse(*text).value_or(nullptr) : nullptr;
}

bool from_json(const json::Json& j, SnapshotValues& s) {
    return j.is_object() && json::optional(j, "_cpu", s.cpu) && json::optional(j, "_gpu", s.gpu) &&
           json::optional(j, "_memory", s.memory) && json::optional(j, "_network", s.network) &&
           json::optional(j, "_disk", s.disk) && json::required(j, "_diskUsage", s.diskUsage) &&
           json::optional(j, "_processes", s.processes) &&
           json::optional(j, "_thermal", s.thermal) && json::optional(j, "_fan", s.fan) &&
           json::optional(j, "_battery", s.battery) &&
           json::optional(j, "_hasBattery", s.hasBattery) &&
           json::required(j, "_sensorsAvailable", s.sensorsAvailable) &&
           json::required(j, "_cpuUserHistory", s.cpuUserHistory) &&
           json::required(j, "_cpuSystemHistory", s.cpuSystemHistory) &&
           json::required(j, "_gpuHistory", s.gpuHistory) &&
           json::required(j, "_memoryUsedHistory", s.memoryUsedHistory) &&
           json::required(j, "_netInHistory", s.netInHistory) &&
           json::required(j, "_netOutHistory", s.netOutHistory) &&
           json::required(j, "_diskReadHistory", s.diskReadHistory) &&
           json::required(j, "_diskWriteHistory", s.diskWriteHistory);
}

template <typename T>
void SystemSnapshot::assign(T SnapshotValues::*field, T value, void (SystemSnapshot::*changed)()) {
    if (v_.*field == value) return;
    v_.*field = std::move(value);
    emit(this->*changed)();
}

void SystemSnapshot::setCpu(std::optional<CPUReading> v) {
    assign(&SnapshotValues::cpu, std::move(v), &SystemSnapshot::cpuChanged);
}
void SystemSnapshot::setGpu(std::optional<GPUReading> v) {
    assign(&SnapshotValues::gpu, std::move(v), &SystemSnapshot::gpuChanged);
}
void SystemSnapshot::setMemory(std::optional<MemoryReading> v) {
    assign(&SnapshotValues::memory, std::move(v), &SystemSnapshot::memoryChanged);
}
void SystemSnapshot::setNetwork(std::optional<NetworkReading> v) {
    assign(&SnapshotValues::network, std::move(v), &SystemSnapshot::networkChanged);
}
void SystemSnapshot::setDisk(std::optional<DiskReading> v) {
    assign(&SnapshotValues::disk, std::move(v), &SystemSnapshot::diskChanged);
}
void SystemSnapshot::setDiskUsage(std::vector<DiskVolumeUsage> v) {
    assign(&SnapshotValues::diskUsage, std::move(v), &SystemSnapshot::diskUsageChanged);
}
void SystemSnapshot::setProcesses(std::optional<ProcessReading> v) {
    assign(&SnapshotValues::processes, std::move(v), &SystemSnapshot::processesChanged);
}
void SystemSnapshot::setThermal(std::optional<ThermalReading> v) {
    assign(&SnapshotValues::thermal, std::move(v), &SystemSnapshot::thermalChanged);
}
void SystemSnapshot::setFan(std::optional<FanReading> v) {
    assign(&SnapshotValues::fan, std::move(v), &SystemSnapshot::fanChanged);
}
void SystemSnapshot::setBattery(std::optional<BatteryReading> v) {
    assign(&SnapshotValues::battery, std::move(v), &SystemSnapshot::batteryChanged);
}
void SystemSnapshot::setHasBattery(std::optional<bool> v) {
    assign(&SnapshotValues::hasBattery, v, &SystemSnapshot::hasBatteryChanged);
}
void SystemSnapshot::setSensorsAvailable(bool v) {
    assign(&SnapshotValues::sensorsAvailable, v, &SystemSnapshot::sensorsAvailableChanged);
}

SnapshotValues::History& SystemSnapshot::history(History h) {
    switch (h) {
    case History::cpuUser:
        return v_.cpuUserHistory;
    case History::cpuSystem:
        return v_.cpuSystemHistory;
    case History::gpu:
        return v_.gpuHistory;
    case History::memoryUsed:
        return v_.memoryUsedHistory;
    case History::netIn:
        return v_.netInHistory;
    case History::netOut:
        return v_.netOutHistory;
    case History::diskRead:
        return v_.diskReadHistory;
    case History::diskWrite:
        break;
    }
    return v_.diskWriteHistory;
}

void SystemSnapshot::notify(History h) {
    switch (h) {
    case History::cpuUser:
        emit cpuUserHistoryChanged();
        return;
    case History::cpuSystem:
        emit cpuSystemHistoryChanged();
        return;
    case History::gpu:
        emit gpuHistoryChanged();
        return;
    case History::memoryUsed:
        emit memoryUsedHistoryChanged();
        return;
    case History::netIn:
        emit netInHistoryChanged();
        return;
    case History::netOut:
        emit netOutHistoryChanged();
        return;
    case History::diskRead:
        emit diskReadHistoryChanged();
        return;
    case History::diskWrite:
        emit diskWriteHistoryChanged();
        return;
    }
}

void SystemSnapshot::setHistory(History h, SnapshotValues::History value) {
    history(h) = std::move(value);
    notify(h);
}

void SystemSnapshot::append(History h, double value) {
    history(h).append(value);
    notify(h);
}

void SystemSnapshot::apply(const SnapshotValues& o) {
    setCpu(o.cpu);
    setGpu(o.gpu);
    setMemory(o.memory);
    setNetwork(o.network);
    setDisk(o.disk);
    setDiskUsage(o.diskUsage);
    setProcesses(o.processes);
    setThermal(o.thermal);
    setFan(o.fan);
    setSensorsAvailable(o.sensorsAvailable);
    setBattery(o.battery);
    setHasBattery(o.hasBattery);
    setHistory(History::cpuUser, o.cpuUserHistory);
    setHistory(History::cpuSystem, o.cpuSystemHistory);
    setHistory(History::gpu, o.gpuHistory);
    setHistory(History::memoryUsed, o.memoryUsedHistory);
    setHistory(History::netIn, o.netInHistory);
    setHistory(History::netOut, o.netOutHistory);
    setHistory(History::diskRead, o.diskReadHistory);
    setHistory(History::diskWrite, o.diskWriteHistory);
}

} // namespace quillfen
