#include "sampling/BatteryReading.h"
#include "sampling/CPUReading.h"
#include "sampling/GPUReading.h"
#include "sampling/MemoryReading.h"
#include "sampling/ProcessReading.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

template <typename T> std::optional<T> decode(std::string_view text) {
    return json::decode<T>(text);
}

TEST(SamplingRecords, EncodeByFieldNameInOrderAndDecodeBackWhole) {
    const CPUReading cpu{{0.25, 1}, 0.5, 0.25, 0.25, 0.5};
    const MemoryReading memory{17179869184, 1, 2, 3, 18446744073709551615u};
    const GPUReading gpu{1.5, 0.2, 0, 72, "AMD Radeon RX 6800 XT"};
    EXPECT_EQ(json::encode(cpu),
              R"({"perCore":[0.25,1.0],"overall":0.5,"user":0.25,"system":0.25,"idle":0.5})");
    EXPECT_EQ(json::encode(memory), R"({"total":17179869184,"app":1,"wired":2,"compressed":3,)"
                                    R"("available":18446744073709551615})");
    EXPECT_EQ(json::encode(gpu), R"({"utilization":1.5,"rendererUtilization":0.2,)"
                                 R"("tilerUtilization":0.0,"coreCount":72,)"
                                 R"("model":"AMD Radeon RX 6800 XT"})");
    EXPECT_EQ(json::encode(GPUReading{0.5}), R"({"utilization":0.5,"rendererUtilization":0.0,)"
                                             R"("tilerUtilization":0.0})");
    EXPECT_EQ(decode<CPUReading>(*json::encode(cpu)), cpu);
    EXPECT_EQ(decode<MemoryReading>(*json::encode(memory)), memory);
    EXPECT_EQ(decode<GPUReading>(*json::encode(gpu)), gpu);
}

TEST(SamplingRecords, ProcessBundlesTravelAsFileURLsAndBatteryFiguresOnlyWhenKnown) {
    const ProcessReading processes{{{7, "Quillfen Helper", "/opt/Quillfen Helper.app", 12.5, 4096}},
                                   {{8, "kworker/0:1", std::nullopt, 0, 0}}};
    const BatteryReading battery{0.8, true, true, 95, -7.25, std::nullopt, 1};
    EXPECT_EQ(json::encode(processes),
              R"({"topByCPU":[{"pid":7,"name":"Quillfen Helper",)"
              R"("bundleURL":"file:///opt/Quillfen%20Helper.app","cpuPercent":12.5,)"
              R"("residentMemoryBytes":4096}],"topByMemory":[{"pid":8,)"
              R"("name":"kworker/0:1","cpuPercent":0.0,"residentMemoryBytes":0}]})");
    EXPECT_EQ(json::encode(battery), R"({"chargePercent":0.8,"isCharging":true,"isOnAC":true,)"
                                     R"("timeRemainingMinutes":95,"watts":-7.25,)"
                                     R"("healthPercent":1.0})");
    EXPECT_EQ(decode<ProcessReading>(*json::encode(processes)), processes);
    EXPECT_EQ(decode<BatteryReading>(*json::encode(battery)), battery);
    EXPECT_FALSE(decode<ProcessRow>(R"({"pid":1,"name":"x","bundleURL":"https://example.com/",)"
                                    R"("cpuPercent":0,"residentMemoryBytes":0})"));
    EXPECT_FALSE(decode<ProcessReading>(R"({"topByCPU":[]})"));
    EXPECT_FALSE(decode<BatteryReading>(R"({"chargePercent":0.5,"isCharging":false})"));
}

} // namespace
} // namespace quillfen
