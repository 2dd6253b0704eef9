#include "model/AppState.h"
#include "model/ClientSnapshotStore.h"

#include <gtest/gtest.h>

#include <map>

namespace quillfen {
namespace {

const char* const kEmptyHistory = R"({"capacity":60,"values":[]})";

std::string newSnapshotDocument() {
    std::string doc = R"({"_diskUsage":[],"_sensorsAvailable":false)";
    for (const char* h :
         {"cpuUser", "cpuSystem", "gpu", "memoryUsed", "netIn", "netOut", "diskRead", "diskWrite"})
        doc += std::string(R"(,"_)") + h + R"(History":)" + kEmptyHistory;
    return doc + R"(,"_$observationRegistrar":{}})";
}

SnapshotValues populated() {
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

// Counts every change signal of a snapshot by property, for as long as it lives.
class Spy {
public:
    explicit Spy(SystemSnapshot& s) {
        const std::pair<const char*, void (SystemSnapshot::*)()> notifiers[] = {
            {"cpu", &SystemSnapshot::cpuChanged},
            {"gpu", &SystemSnapshot::gpuChanged},
            {"memory", &SystemSnapshot::memoryChanged},
            {"network", &SystemSnapshot::networkChanged},
            {"disk", &SystemSnapshot::diskChanged},
            {"diskUsage", &SystemSnapshot::diskUsageChanged},
            {"processes", &SystemSnapshot::processesChanged},
            {"thermal", &SystemSnapshot::thermalChanged},
            {"fan", &SystemSnapshot::fanChanged},
            {"battery", &SystemSnapshot::batteryChanged},
            {"hasBattery", &SystemSnapshot::hasBatteryChanged},
            {"sensorsAvailable", &SystemSnapshot::sensorsAvailableChanged},
            {"cpuUserHistory", &SystemSnapshot::cpuUserHistoryChanged},
            {"cpuSystemHistory", &SystemSnapshot::cpuSystemHistoryChanged},
            {"gpuHistory", &SystemSnapshot::gpuHistoryChanged},
            {"memoryUsedHistory", &SystemSnapshot::memoryUsedHistoryChanged},
            {"netInHistory", &SystemSnapshot::netInHistoryChanged},
            {"netOutHistory", &SystemSnapshot::netOutHistoryChanged},
            {"diskReadHistory", &SystemSnapshot::diskReadHistoryChanged},
            {"diskWriteHistory", &SystemSnapshot::diskWriteHistoryChanged}};
        for (const auto& [name, signal] : notifiers)
            QObject::connect(&s, signal, &context_, [this, n = std::string(name)] { ++counts[n]; });
    }
    // Signals of the readings, or of the histories.
    int total(bool histories) const {
        int n = 0;
        for (const auto& [name, c] : counts)
            if (name.ends_with("History") == histories) n += c;
        return n;
    }
    std::map<std::string, int> counts;

private:
    QObject context_; // disconnects everything when the spy goes
};

TEST(SnapshotDocument, ANewSnapshotWritesOnlyTheRequiredKeys) {
    EXPECT_EQ(json::encode(SnapshotValues{}), newSnapshotDocument());
}

TEST(SnapshotDocument, RoundTripsAPopulatedSnapshotAndItsTreeIsTheSameDocument) {
    const auto text = json::encode(populated());
    ASSERT_TRUE(text);
    EXPECT_EQ(json::decode<SnapshotValues>(std::string_view(*text)), populated());
    EXPECT_EQ(json::dump(json::Json(populated())), text);
    EXPECT_EQ(json::dump(json::Json(populated().cpuUserHistory)),
              json::encode(populated().cpuUserHistory));
}

TEST(SnapshotDocument, ReadersIgnoreTheRegistrarAndUnknownKeysAndTakeNullAsAbsent) {
    auto j = *json::parse(newSnapshotDocument());
    j.erase("_$observationRegistrar");
    j["_future"] = {1, 2};
    j["_cpu"] = nullptr;
    const auto s = json::decode<SnapshotValues>(j);
    ASSERT_TRUE(s);
    EXPECT_FALSE(s->cpu);
}

class ClientStore : public ::testing::Test {
protected:
    void SetUp() override {
        store.apply(*json::encode(populated()));
        ASSERT_EQ(store.snapshot().values(), populated());
    }
    ClientSnapshotStore& store = ClientSnapshotStore::shared();
};

TEST_F(ClientStore, BrokenDocumentsLeaveTheSnapshotUntouched) {
    Spy spy(store.snapshot());
    std::vector<std::string> broken = {"", "{", "[]", R"({"_diskUsage":[]})"};
    const auto full = *json::parse(*json::encode(populated()));
    for (const char* key :
         {"_sensorsAvailable", "_diskUsage", "_gpuHistory", "_diskWriteHistory"}) {
        auto j = full;
        j.erase(key);
        broken.push_back(j.dump());
    }
    auto wrongType = full;
    wrongType["_memory"]["total"] = "lots";
    broken.push_back(wrongType.dump());
    for (const auto& doc : broken)
        store.apply(doc);
    EXPECT_EQ(store.snapshot().values(), populated());
    EXPECT_TRUE(spy.counts.empty());
}

TEST_F(ClientStore, ANullReadingClearsItAndNotifiesOnlyThatReading) {
    auto j = *json::parse(*json::encode(populated()));
    j["_cpu"] = nullptr;
    Spy spy(store.snapshot());
    store.apply(j.dump());
    EXPECT_FALSE(store.snapshot().cpu());
    EXPECT_EQ(spy.counts["cpu"], 1);
    EXPECT_EQ(spy.total(false), 1);
    EXPECT_EQ(spy.total(true), 8);
}

TEST_F(ClientStore, AnIdenticalDocumentNotifiesEveryHistoryAndNoReading) {
    Spy spy(store.snapshot());
    store.apply(*json::encode(populated()));
    EXPECT_EQ(spy.total(false), 0);
    EXPECT_EQ(spy.total(true), 8);
}

TEST(AppStateTest, AssigningTheSameValueNotifiesNobody) {
    auto& state = AppState::shared();
    int changes = 0;
    const auto c = QObject::connect(&state, &AppState::popoverIsOpenChanged, [&] { ++changes; });
    state.setPopoverIsOpen(state.popoverIsOpen());
    EXPECT_EQ(changes, 0);
    state.setPopoverIsOpen(!state.popoverIsOpen());
    state.setPopoverIsOpen(!state.popoverIsOpen());
    EXPECT_EQ(changes, 2);
    QObject::disconnect(c);
}

} // namespace
} // namespace quillfen
