#pragma once

#include "platform/linux/KernelFile.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>

namespace quillfen::platform::linux {

// Protocol-control-block lists made of interface counters. Linux offers no per-socket
// traffic counters to an unprivileged reader, but the sum the network sampler takes over all
// sockets is the machine's traffic, which the interfaces count: the TCP list carries one
// statistics record per physical interface (received and sent bytes of /proc/net/dev in
// traffic class 0), the UDP list only its headers, as the interfaces have counted its
// datagrams already. Loopback, bridges, veth, tun and other virtual interfaces are left out,
// so traffic is neither counted twice nor counted when it never leaves the machine.
class PCBListBuilder {
public:
    PCBListBuilder(std::filesystem::path procRoot, std::filesystem::path sysRoot);

    enum class Protocol { tcp, udp };
    // Answers a sysctl read of the protocol's list. The list a size query measured is what a
    // read shortly after it gets.
    int read(Protocol protocol, void* oldp, std::size_t* oldlenp);

    // How long a measured list waits for its read.
    static constexpr std::chrono::milliseconds kSizedListLifetime{250};

private:
    std::string build(Protocol protocol);
    bool isPhysical(const std::string& interface, std::unordered_map<std::string, bool>& seen);

    KernelFile netDev_;
    std::filesystem::path sysNet_;
    std::unordered_map<std::string, bool> physical_; // interface name → has a device
    std::optional<std::string> sized_;
    Protocol sizedProtocol_ = Protocol::tcp;
    std::chrono::steady_clock::time_point sizedAt_;
    std::uint64_t generation_ = 0;
};

} // namespace quillfen::platform::linux
