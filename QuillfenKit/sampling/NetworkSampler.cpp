#include "sampling/NetworkSampler.h"

#include "platform/Platform.h"
#include "sampling/ByteRate.h"

namespace quillfen {

std::optional<PCBTraffic> NetworkSampler::sumPCBStats(std::string_view mib,
                                                      std::vector<std::uint8_t>& buffer) {
    auto& kernel = *platform::current().kernel;
    std::size_t size = 0;
    if (kernel.sysctlByName(mib, nullptr, &size) != 0 || size < 1) return std::nullopt;
    // A quarter more than asked for, so a list that grows a little fits next time as well.
    if (buffer.size() < size) buffer.assign(size + size / 4, 0);
    std::size_t length = buffer.size();
    if (kernel.sysctlByName(mib, buffer.data(), &length) != 0) return std::nullopt;
    return walkPCBList(buffer.data(), std::min(length, buffer.size()));
}

std::optional<NetworkSampler::NetTotals> NetworkSampler::readTotals() {
    const auto tcp = sumPCBStats("net.inet.tcp.pcblist_n", tcpBuf);
    const auto udp = sumPCBStats("net.inet.udp.pcblist_n", udpBuf);
    if (!tcp && !udp) return std::nullopt;
    const PCBTraffic t = tcp.value_or(PCBTraffic{});
    const PCBTraffic u = udp.value_or(PCBTraffic{});
    return NetTotals{t.rx + u.rx, t.tx + u.tx, platform::current().clock->now()};
}

std::optional<NetworkReading> NetworkSampler::sample() {
    const auto totals = readTotals();
    if (!totals) return std::nullopt;
    std::optional<NetworkReading> reading;
    if (previous) {
        const double dt = totals->timestamp - previous->timestamp;
        if (dt > 0)
            reading = NetworkReading{bytesPerSecond(previous->inBytes, totals->inBytes, dt),
                                     bytesPerSecond(previous->outBytes, totals->outBytes, dt)};
    }
    previous = totals;
    return reading;
}

} // namespace quillfen
