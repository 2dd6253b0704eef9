#pragma once

#include "sampling/NetworkReading.h"
#include "sampling/PCBListWalker.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quillfen {

// Network throughput from the byte counters the kernel keeps for open TCP and UDP sockets:
// each reading covers the time since the previous call, so the first call has none. The
// lists are read into buffers kept between calls, which only grow, so a sample normally
// allocates nothing.
class NetworkSampler {
public:
    NetworkSampler() = default;
    std::optional<NetworkReading> sample();

    const std::vector<std::uint8_t>& tcpBuffer() const { return tcpBuf; }
    const std::vector<std::uint8_t>& udpBuffer() const { return udpBuf; }

private:
    struct NetTotals {
        std::uint64_t inBytes = 0;
        std::uint64_t outBytes = 0;
        double timestamp = 0;
    };
    std::optional<NetTotals> readTotals();
    std::optional<PCBTraffic> sumPCBStats(std::string_view mib, std::vector<std::uint8_t>& buffer);

    std::optional<NetTotals> previous;
    std::vector<std::uint8_t> tcpBuf;
    std::vector<std::uint8_t> udpBuf;
};

} // namespace quillfen
