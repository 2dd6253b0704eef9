#include "SMCBridge.h"

#include "platform/Platform.h"

#include <algorithm>
#include <bit>

namespace quillfen {

std::optional<double> decodeFlt(const std::optional<SMCValue>& v) {
    if (!v || v->dataType != "flt " || v->bytes.size() < 4) return std::nullopt;
    const std::uint32_t bits = std::uint32_t(v->bytes[0]) | (std::uint32_t(v->bytes[1]) << 8) |
                               (std::uint32_t(v->bytes[2]) << 16) |
                               (std::uint32_t(v->bytes[3]) << 24);
    return static_cast<double>(std::bit_cast<float>(bits));
}

SMCBridge::SMCBridge()
    : port(platform::current().smc) {
    conn = 0;
    const platform::IOObject service = port->getMatchingService("AppleSMC");
    if (service == 0) return;
    // The result is not examined: a failed open leaves `conn` at 0.
    port->serviceOpen(service, 0, &conn);
    port->objectRelease(service);
}

SMCBridge::~SMCBridge() {
    if (conn != 0) port->serviceClose(conn);
}

std::optional<SMCKeyData> SMCBridge::call(const SMCKeyData& input) {
    SMCKeyData output{};
    std::size_t outputSize = sizeof output;
    if (port->callStructMethod(conn, kSMCUserClientSelector, &input, sizeof input, &output,
                               &outputSize) != platform::kIOReturnSuccess)
        return std::nullopt;
    return output;
}

std::uint32_t SMCBridge::fourCC(std::string_view key) {
    // Longer keys keep their last four bytes: the earlier ones shift out of the top.
    std::uint32_t code = 0;
    for (const char c : key)
        code = (code << 8) + static_cast<std::uint8_t>(c);
    return code;
}

std::string SMCBridge::decodeFourCC(std::uint32_t code) {
    std::string text(4, '\0');
    for (int i = 0; i < 4; ++i) {
        const auto byte = static_cast<std::uint8_t>(code >> (24 - 8 * i));
        if (byte > 127) return {};
        text[i] = static_cast<char>(byte);
    }
    return text;
}

std::optional<SMCValue> SMCBridge::readKey(std::string_view key) {
    if (conn == 0) return std::nullopt;
    SMCKeyData info{};
    info.key = fourCC(key);
    info.command = SMCCommand::readKeyInfo;
    const auto infoAnswer = call(info);
    if (!infoAnswer || infoAnswer->result != SMCResult::success) return std::nullopt;
    const std::uint32_t dataSize = infoAnswer->keyInfo.dataSize;
    const std::uint32_t dataType = infoAnswer->keyInfo.dataType;

    SMCKeyData read{};
    read.key = info.key;
    read.keyInfo.dataSize = dataSize;
    read.command = SMCCommand::readBytes;
    const auto readAnswer = call(read);
    if (!readAnswer || readAnswer->result != SMCResult::success) return std::nullopt;

    const auto n = std::min<std::size_t>(dataSize, sizeof readAnswer->bytes);
    return SMCValue{decodeFourCC(dataType),
                    std::vector<std::uint8_t>(readAnswer->bytes, readAnswer->bytes + n)};
}

std::optional<std::uint8_t> SMCBridge::readUInt8(std::string_view key) {
    const auto value = readKey(key);
    if (!value || value->dataType != "ui8 " || value->bytes.empty()) return std::nullopt;
    return value->bytes.front();
}

} // namespace quillfen
