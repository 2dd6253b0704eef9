#pragma once

#include "platform/Kernel.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillfen::platform {

// Handles as the system's I/O registry hands them out; calls answer a KernReturn.
using IOObject = std::uint32_t; // 0 = no object

inline constexpr KernReturn kIOReturnSuccess = 0;
inline constexpr KernReturn kIOReturnError = static_cast<KernReturn>(0xe00002bc);
inline constexpr KernReturn kIOReturnBadArgument = static_cast<KernReturn>(0xe00002c2);
inline constexpr KernReturn kIOReturnNotOpen = static_cast<KernReturn>(0xe00002cd);

// The system management controller's user client ("AppleSMC"): find the service, open a
// connection to it, exchange fixed-size records through a method selector, close.
class SMC {
public:
    virtual ~SMC() = default;

    // The first service of the class, or 0 when the machine has none.
    virtual IOObject getMatchingService(std::string_view className) = 0;
    // Opens a user-client connection of `type` to `service`, storing it in `connect`.
    virtual KernReturn serviceOpen(IOObject service, std::uint32_t type, IOObject* connect) = 0;
    virtual void objectRelease(IOObject object) = 0;
    // Sends `inputSize` bytes to method `selector` of the connection; on success the answer
    // fills `output` and `outputSize` tells how much of it.
    virtual KernReturn callStructMethod(IOObject connect, std::uint32_t selector, const void* input,
                                        std::size_t inputSize, void* output,
                                        std::size_t* outputSize) = 0;
    virtual KernReturn serviceClose(IOObject connect) = 0;
};

} // namespace quillfen::platform
