#pragma once

// The kernel's lists of protocol control blocks ("net.inet.tcp.pcblist_n",
// "net.inet.udp.pcblist_n"): a 24-byte generation header, records back to back, and a
// trailing generation header. Every record starts with its length (header included) and its
// kind; a statistics record holds up to four traffic-class blocks of byte and packet counters.
// All integers are little-endian.

#include <cstddef>
#include <cstdint>

namespace quillfen::pcblist {

struct GenerationHeader {
    std::uint32_t length; // of this header: 24
    std::uint32_t count;  // sockets listed
    std::uint64_t generation;
    std::uint64_t socketGeneration;
};

struct RecordHeader {
    std::uint32_t length; // of the whole record
    std::uint32_t kind;
};

struct TrafficClassBlock {
    std::uint64_t receivedPackets;
    std::uint64_t receivedBytes;
    std::uint64_t sentPackets;
    std::uint64_t sentBytes;
};

struct StatisticsRecord {
    RecordHeader header;
    TrafficClassBlock blocks[4];
};

inline constexpr std::uint32_t kKindStatistics = 8;
inline constexpr std::size_t kTrafficClasses = 4;
// Lists no longer than a header and a record header carry no traffic.
inline constexpr std::size_t kMinimumLength = 32;

static_assert(sizeof(GenerationHeader) == 24);
static_assert(offsetof(RecordHeader, length) == 0);
static_assert(offsetof(RecordHeader, kind) == 4);
static_assert(sizeof(RecordHeader) == 8);
static_assert(sizeof(TrafficClassBlock) == 32);
static_assert(offsetof(TrafficClassBlock, receivedBytes) == 8);
static_assert(offsetof(TrafficClassBlock, sentBytes) == 24);
static_assert(offsetof(StatisticsRecord, blocks) == 8);
static_assert(offsetof(StatisticsRecord, blocks) + 1 * sizeof(TrafficClassBlock) == 40);
static_assert(offsetof(StatisticsRecord, blocks) + 3 * sizeof(TrafficClassBlock) == 104);
static_assert(sizeof(StatisticsRecord) == 136);

} // namespace quillfen::pcblist
