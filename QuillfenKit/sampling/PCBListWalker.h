#pragma once

#include <cstddef>
#include <cstdint>

namespace quillfen {

struct PCBTraffic {
    std::uint64_t rx = 0;
    std::uint64_t tx = 0;
    bool operator==(const PCBTraffic&) const = default;
};

// Sums the received and sent bytes of every statistics record of a protocol-control-block
// list whose kernel-reported length is `length`. Whatever the bytes claim, nothing at or
// beyond `length` is read: a record length below 8 moves on by 4 bytes, a record running past
// the end ends the walk, and only traffic-class blocks lying wholly inside their record count.
// Lists shorter than 32 bytes carry nothing. Sums wrap in 64 bits.
PCBTraffic walkPCBList(const std::uint8_t* list, std::size_t length);

} // namespace quillfen
