#include "model/ClientSnapshotStore.h"

#include "ChangeCounts.h"
#include "SnapshotSample.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using testing::populatedSnapshot;
using Spy = testing::ChangeCounts;

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
    EXPECT_TRUE(spy.counts().empty());
}

TEST_F(ClientStore, ANullReadingClearsItAndNotifiesOnlyThatReading) {
    auto j = *json::parse(*json::encode(populatedSnapshot()));
    j["_cpu"] = nullptr;
    Spy spy(store.snapshot());
    store.apply(j.dump());
    EXPECT_FALSE(store.snapshot().cpu());
    EXPECT_EQ(spy["cpu"], 1);
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
