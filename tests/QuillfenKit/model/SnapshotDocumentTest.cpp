#include "model/SnapshotDocument.h"

#include "SnapshotSample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace quillfen {
namespace {

// The kept document must be the encoder's, byte for byte, after every kind of change: each
// field changed alone (a piece left stale shows here), readings coming and going, a
// non-finite reading withdrawing the document and its return restoring it.
TEST(SnapshotDocumentText, IsTheEncodedSnapshotAfterEveryChange) {
    using H = SystemSnapshot::History;
    const auto sample = testing::populatedSnapshot();
    const std::pair<const char*, std::function<void(SystemSnapshot&)>> steps[] = {
        {"nothing yet", [](SystemSnapshot&) {}},
        {"everything", [&](SystemSnapshot& s) { s.apply(sample); }},
        {"cpu",
         [](SystemSnapshot& s) {
             s.setCpu(CPUReading{{0.1}, 0.2, 0.1, 0.1, 0.8});
         }},
        {"gpu",
         [](SystemSnapshot& s) {
             s.setGpu(GPUReading{0.5, 0.4, 0.2, 11, "Arc"});
         }},
        {"memory",
         [](SystemSnapshot& s) {
             s.setMemory(MemoryReading{8, 4, 2, 1, 1});
         }},
        {"network",
         [](SystemSnapshot& s) {
             s.setNetwork(NetworkReading{5, 6});
         }},
        {"disk",
         [](SystemSnapshot& s) {
             s.setDisk(DiskReading{7, 8});
         }},
        {"volumes", [](SystemSnapshot& s) { s.setDiskUsage({}); }},
        {"processes gone", [](SystemSnapshot& s) { s.setProcesses(std::nullopt); }},
        {"processes back", [&](SystemSnapshot& s) { s.setProcesses(sample.processes); }},
        {"thermal",
         [](SystemSnapshot& s) {
             s.setThermal(ThermalReading{50, 1, 2, 3, 4});
         }},
        {"fan gone", [](SystemSnapshot& s) { s.setFan(std::nullopt); }},
        {"battery", [](SystemSnapshot& s) { s.setBattery(std::nullopt); }},
        {"has battery", [](SystemSnapshot& s) { s.setHasBattery(std::nullopt); }},
        {"sensors", [](SystemSnapshot& s) { s.setSensorsAvailable(false); }},
        {"histories",
         [](SystemSnapshot& s) {
             for (const H h : {H::cpuUser, H::cpuSystem, H::gpu, H::memoryUsed, H::netIn, H::netOut,
                               H::diskRead, H::diskWrite})
                 s.append(h, 0.25);
         }},
        {"history replaced",
         [](SystemSnapshot& s) { s.setHistory(H::netIn, RingBuffer<double>(3)); }},
        {"not finite",
         [](SystemSnapshot& s) {
             s.setThermal(ThermalReading{std::nan(""), 1, 2, 3, 4});
         }},
        {"finite again", [](SystemSnapshot& s) { s.setThermal(std::nullopt); }},
    };
    SystemSnapshot snapshot;
    SnapshotDocument document(snapshot);
    for (const auto& [what, change] : steps) {
        SCOPED_TRACE(what);
        change(snapshot);
        EXPECT_EQ(document.text(), json::encode(snapshot.values()).value_or(""));
    }
    EXPECT_FALSE(document.text().empty());
}

} // namespace
} // namespace quillfen
