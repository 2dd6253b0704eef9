#include "sampling/CPUReading.h"
#include "sampling/GPUReading.h"
#include "sampling/MemoryReading.h"

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
    EXPECT_EQ(decode<CPUReading>(*json::encode(cpu)), cpu);
    EXPECT_EQ(decode<MemoryReading>(*json::encode(memory)), memory);
    EXPECT_EQ(decode<GPUReading>(*json::encode(gpu)), gpu);
}

} // namespace
} // namespace quillfen
