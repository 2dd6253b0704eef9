#include "model/SnapshotDocument.h"

#include "SnapshotSample.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quillfen {
namespace {

// The kept document must be the encoder's, byte for byte, after every kind of change: each
// field changed alone (a piece left stale shows here), readings coming and going, a
// non-finite reading withdrawing the document and its return restoring it.
TEST(SnapshotDocumentText, IsTheEncodedSnapshotAfterEveryChange) {
    using H = SystemSnapshot::History;
    const auto sample = testing::populatedSnapshot();
    SystemSnapshot s;
    SnapshotDocument document(s);
    const auto after = [&](const char* what, const auto& change) {
        SCOPED_TRACE(what);
        change();
        EXPECT_EQ(document.text(), json::encode(s.values()).value_or(""));
    };
    after("nothing yet", [] {});
    after("everything", [&] { s.apply(sample); });
    after("cpu", [&] { s.setCpu(CPUReading{{0.1}, 0.2, 0.1, 0.1, 0.8}); });
    after("gpu", [&] { s.setGpu(GPUReading{0.5, 0.4, 0.2, 11, "Arc"}); });
    after("memory", [&] { s.setMemory(MemoryReading{8, 4, 2, 1, 1}); });
    after("network", [&] { s.setNetwork(NetworkReading{5, 6}); });
    after("disk", [&] { s.setDisk(DiskReading{7, 8}); });
    after("volumes", [&] { s.setDiskUsage({}); });
    after("processes gone", [&] { s.setProcesses(std::nullopt); });
    after("processes back", [&] { s.setProcesses(sample.processes); });
    after("thermal", [&] { s.setThermal(ThermalReading{50, 1, 2, 3, 4}); });
    after("fan gone", [&] { s.setFan(std::nullopt); });
    after("battery", [&] { s.setBattery(std::nullopt); });
    after("has battery", [&] { s.setHasBattery(std::nullopt); });
    after("sensors", [&] { s.setSensorsAvailable(false); });
    after("histories", [&] {
        for (const H h : {H::cpuUser, H::cpuSystem, H::gpu, H::memoryUsed, H::netIn, H::netOut,
                          H::diskRead, H::diskWrite})
            s.append(h, 0.25);
    });
    after("history replaced", [&] { s.setHistory(H::netIn, RingBuffer<double>(3)); });
    after("not finite", [&] { s.setThermal(ThermalReading{std::nan(""), 1, 2, 3, 4}); });
    after("finite again", [&] { s.setThermal(std::nullopt); });
    EXPECT_FALSE(document.text().empty());
}

} // namespace
} // namespace quillfen
