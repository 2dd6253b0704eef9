#pragma once

#include <cstddef>
#include <cstdint>

namespace quillfen {

// The 80-byte record exchanged with the system management controller's user client
// (method selector 2). Its layout is the controller's interface: little-endian integers,
// natural alignment, every offset fixed.
struct SMCKeyData {
    struct KeyInfo {
        std::uint32_t dataSize;      // bytes in the key's value
        std::uint32_t dataType;      // four-character type code, e.g. 'flt '
        std::uint8_t dataAttributes; // unused
        std::uint8_t keyInfoPad[3];
    };

    std::uint32_t key;            // four-character key code, first character highest
    std::uint8_t versionBlock[6]; // unused
    std::uint8_t versionPad[2];
    std::uint8_t limitBlock[16]; // unused
    KeyInfo keyInfo;
    std::uint8_t result;  // 0 = success
    std::uint8_t status;  // unused
    std::uint8_t command; // see the SMCCommand constants
    std::uint8_t commandPad;
    std::uint32_t data32;   // unused
    std::uint8_t bytes[32]; // the key's value after a read
};

namespace SMCCommand {
inline constexpr std::uint8_t readBytes = 5;
inline constexpr std::uint8_t readKeyInfo = 9;
} // namespace SMCCommand

namespace SMCResult {
inline constexpr std::uint8_t success = 0;
inline constexpr std::uint8_t error = 1;
inline constexpr std::uint8_t keyNotFound = 0x84;
} // namespace SMCResult

inline constexpr std::uint32_t kSMCUserClientSelector = 2;

static_assert(sizeof(SMCKeyData) == 80);
static_assert(offsetof(SMCKeyData, key) == 0);
static_assert(offsetof(SMCKeyData, versionBlock) == 4);
static_assert(offsetof(SMCKeyData, limitBlock) == 12);
static_assert(offsetof(SMCKeyData, keyInfo) == 28);
static_assert(offsetof(SMCKeyData, keyInfo) + offsetof(SMCKeyData::KeyInfo, dataSize) == 28);
static_assert(offsetof(SMCKeyData, keyInfo) + offsetof(SMCKeyData::KeyInfo, dataType) == 32);
static_assert(offsetof(SMCKeyData, keyInfo) + offsetof(SMCKeyData::KeyInfo, dataAttributes) == 36);
static_assert(offsetof(SMCKeyData, result) == 40);
static_assert(offsetof(SMCKeyData, status) == 41);
static_assert(offsetof(SMCKeyData, command) == 42);
static_assert(offsetof(SMCKeyData, data32) == 44);
static_assert(offsetof(SMCKeyData, bytes) == 48);

} // namespace quillfen
