#include "model/SystemSnapshot.h"

#include "SnapshotSample.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using testing::populatedSnapshot;

const char* const kEmptyHistory = R"({"capacity":60,"values":[]})";

std::string newSnapshotDocument() {
    std::string doc = R"({"_diskUsage":[],"_sensorsAvailable":false)";
    for (const char* h :
         {"cpuUser", "cpuSystem", "gpu", "memoryUsed", "netIn", "netOut", "diskRead", "diskWrite"})
        doc += std::string(R"(,"_)") + h + R"(History":)" + kEmptyHistory;
    return doc + R"(,"_$observationRegistrar":{}})";
}

TEST(SnapshotDocument, ANewSnapshotWritesOnlyTheRequiredKeys) {
    EXPECT_EQ(json::encode(SnapshotValues{}), newSnapshotDocument());
}

TEST(SnapshotDocument, RoundTripsAPopulatedSnapshotAndItsTreeIsTheSameDocument) {
    const auto text = json::encode(populatedSnapshot());
    ASSERT_TRUE(text);
    EXPECT_EQ(json::decode<SnapshotValues>(std::string_view(*text)), populatedSnapshot());
    EXPECT_EQ(json::dump(json::Json(populatedSnapshot())), text);
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

} // namespace
} // namespace quillfen
