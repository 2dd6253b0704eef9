#include "model/ClientSnapshotStore.h"

#include "SnapshotSample.h"

#include <gtest/gtest.h>

#include <map>

namespace quillfen {
namespace {

using testing::populatedSnapshot;

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

class ClientStore : public ::testing::Test {
protected:
    void SetUp() override {
        store.apply(*json::encode(populatedSnapshot()));
        ASSERT_EQ(store.snapshot().values(), populatedSnapshot());
    }
    ClientSnapshotStore& store = ClientSnapshotStore::shared();
};

TEST_F(ClientStore, BrokenDocumentsLeaveTheSnapshotUntouched) {
    Spy spy(store.snapshot());
    std::vector<std::string> broken = {"", "{", "[]", R"({"_diskUsage":[]})"};
    const auto full = *json::parse(*json::encode(populatedSnapshot()));
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
    EXPECT_EQ(store.snapshot().values(), populatedSnapshot());
    EXPECT_TRUE(spy.counts.empty());
}

TEST_F(ClientStore, ANullReadingClearsItAndNotifiesOnlyThatReading) {
    auto j = *json::parse(*json::encode(populatedSnapshot()));
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
    store.apply(*json::encode(populatedSnapshot()));
    EXPECT_EQ(spy.total(false), 0);
    EXPECT_EQ(spy.total(true), 8);
}

} // namespace
} // namespace quillfen
