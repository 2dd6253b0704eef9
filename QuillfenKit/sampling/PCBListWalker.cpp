#include "sampling/PCBListWalker.h"

#include "platform/PCBList.h"

namespace quillfen {
namespace {

std::uint32_t u32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::uint64_t u64(const std::uint8_t* p) {
    return std::uint64_t(u32(p)) | std::uint64_t(u32(p + 4)) << 32;
}

} // namespace

PCBTraffic walkPCBList(const std::uint8_t* list, std::size_t n) {
    using namespace pcblist;
    PCBTraffic sum;
    if (!list || n < kMinimumLength) return sum;
    std::size_t pos = sizeof(GenerationHeader);
    while (pos + sizeof(RecordHeader) <= n) {
        const std::uint32_t length = u32(list + pos + offsetof(RecordHeader, length));
        if (length < sizeof(RecordHeader)) {
            pos += 4;
            continue;
        }
        // Compared by subtraction, so a length near the top of its range cannot overflow.
        if (length > n - pos) break;
        const std::size_t end = pos + length;
        if (u32(list + pos + offsetof(RecordHeader, kind)) == kKindStatistics) {
            for (std::size_t k = 0; k < kTrafficClasses; ++k) {
                const std::size_t block =
                    pos + offsetof(StatisticsRecord, blocks) + k * sizeof(TrafficClassBlock);
                if (block + sizeof(TrafficClassBlock) > end) break;
                sum.rx += u64(list + block + offsetof(TrafficClassBlock, receivedBytes));
                sum.tx += u64(list + block + offsetof(TrafficClassBlock, sentBytes));
            }
        }
        pos = end;
    }
    return sum;
}

} // namespace quillfen
