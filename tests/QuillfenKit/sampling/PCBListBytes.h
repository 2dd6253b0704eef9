#pragma once

#include "platform/PCBList.h"
#include "sampling/PCBListWalker.h"

#include <string>

namespace quillfen::testing {

// Lists in the kernel's format, written byte by byte so that tests can also write wrong ones.
class PCBListBytes {
public:
    PCBListBytes() { u32(24).u32(0).u64(1).u64(1); }

    PCBListBytes& u32(std::uint32_t v) { return put(&v, 4); }
    PCBListBytes& u64(std::uint64_t v) { return put(&v, 8); }
    PCBListBytes& zeros(std::size_t n) {
        bytes.append(n, '\0');
        return *this;
    }
    // A statistics record of `blocks` traffic classes (its length says so), each with
    // `rx` and `tx` bytes.
    PCBListBytes& stats(std::size_t blocks, std::uint64_t rx, std::uint64_t tx) {
        u32(static_cast<std::uint32_t>(8 + 32 * blocks)).u32(pcblist::kKindStatistics);
        for (std::size_t k = 0; k < blocks; ++k)
            u64(1).u64(rx).u64(2).u64(tx);
        return *this;
    }
    PCBListBytes& other(std::uint32_t kind, std::uint32_t length) {
        u32(length).u32(kind);
        return zeros(length - 8);
    }
    PCBListBytes& end() { return u32(24).u32(0).u64(1).u64(1); }

    PCBTraffic walk() const {
        return walkPCBList(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }

    std::string bytes;

private:
    PCBListBytes& put(const void* p, std::size_t n) {
        bytes.append(static_cast<const char*>(p), n);
        return *this;
    }
};

} // namespace quillfen::testing
