#pragma once

#include "platform/SMC.h"
#include "platform/SMCKeyData.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// A key's raw value as the controller reports it.
struct SMCValue {
    std::string dataType; // four characters, e.g. "flt " (with its blank)
    std::vector<std::uint8_t> bytes;
};

// The value of a key of type "flt ": a little-endian 32-bit float, widened; absent for any
// other type or fewer than four bytes.
std::optional<double> decodeFlt(const std::optional<SMCValue>& value);

// Read access to the system management controller through one user-client connection,
// opened on construction and closed on destruction. It knows nothing of what keys mean.
class SMCBridge {
public:
    SMCBridge();
    ~SMCBridge();
    SMCBridge(const SMCBridge&) = delete;
    SMCBridge& operator=(const SMCBridge&) = delete;

    bool isOpen() const { return conn != 0; }

    // The key's type and value bytes; absent when closed or the controller refuses a step.
    std::optional<SMCValue> readKey(std::string_view key);
    // The first byte of a key of type "ui8 ".
    std::optional<std::uint8_t> readUInt8(std::string_view key);

private:
    std::optional<SMCKeyData> call(const SMCKeyData& input);
    static std::uint32_t fourCC(std::string_view key);
    static std::string decodeFourCC(std::uint32_t code);

    // The port the connection was opened through, so it is closed through the same one.
    std::shared_ptr<platform::SMC> port;
    platform::IOObject conn = 0;
};

} // namespace quillfen
