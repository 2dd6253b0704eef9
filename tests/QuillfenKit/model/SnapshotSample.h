#pragma once

#include "model/SystemSnapshot.h"

namespace quillfen::testing {

// A snapshot with every reading present and some history.
inline SnapshotValues populatedSnapshot() {
    SnapshotValues s;
    s.cpu = CPUReading{{0.5, 0.25}, 0.375, 0.25, 0.125, 0.625};
    s.gpu = GPUReading{0.42, 0.3, 0.1, 10, "Radeon"};
    s.memory = MemoryReading{16ULL << 30, 4ULL << 30, 2ULL << 30, 1ULL << 30, 9ULL << 30};
    s.network = NetworkReading{1000, 2000};
    s.disk = DiskReading{3000, 4000};
    s.diskUsage = {DiskVolumeUsage{"Ubuntu", "/", 500, 200},
                   DiskVolumeUsage{"home", "/home", 100, 7}};
    s.processes = ProcessReading{{ProcessRow{42, "firefox", std::nullopt, 150.5, 1 << 30}}, {}};
    s.thermal = ThermalReading{61.5, std::nullopt, 42.5, std::nullopt, 38};
    s.fan = FanReading{1200, 2, std::vector<double>{1200, 900}, 300, 2000};
    s.battery = BatteryReading{0.8, true, true, 42, 12.5, 300, 0.93};
    s.hasBattery = true;
    s.sensorsAvailable = true;
    for (int i = 0; i < 70; ++i) {
        s.cpuUserHistory.append(i / 100.0);
        s.netInHistory.append(i * 1000.0);
    }
    s.diskWriteHistory.append(5);
    return s;
}

} // namespace quillfen::testing
