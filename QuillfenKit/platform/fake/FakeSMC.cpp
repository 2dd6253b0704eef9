#include "platform/fake/FakeSMC.h"

#include "platform/SMCKeyData.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace quillfen::platform::fake {
namespace {

constexpr IOObject kService = 77;

std::string text(std::uint32_t code) {
    std::string s(4, ' ');
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<char>(code >> (24 - 8 * i));
    return s;
}

} // namespace

std::uint32_t FakeSMC::code(std::string_view k) {
    std::uint32_t c = 0;
    for (int i = 0; i < 4; ++i)
        c = (c << 8) | static_cast<std::uint8_t>(i < static_cast<int>(k.size()) ? k[i] : 0);
    return c;
}

void FakeSMC::set(std::string_view key, std::string_view type, std::vector<std::uint8_t> bytes) {
    keys[code(key)] = Value{code(type), std::move(bytes)};
}

void FakeSMC::setFloat(std::string_view key, float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    set(key, "flt ",
        {std::uint8_t(bits), std::uint8_t(bits >> 8), std::uint8_t(bits >> 16),
         std::uint8_t(bits >> 24)});
}

void FakeSMC::setUInt8(std::string_view key, std::uint8_t value) {
    set(key, "ui8 ", {value});
}

void FakeSMC::remove(std::string_view key) {
    keys.erase(code(key));
}

IOObject FakeSMC::getMatchingService(std::string_view className) {
    return present && className == "AppleSMC" ? kService : 0;
}

KernReturn FakeSMC::serviceOpen(IOObject service, std::uint32_t type, IOObject* connect) {
    if (service != kService || type != 0 || !openSucceeds) return kIOReturnError;
    ++opens;
    *connect = static_cast<IOObject>(100 + opens);
    openConnections.push_back(*connect);
    return kIOReturnSuccess;
}

void FakeSMC::objectRelease(IOObject) {
    ++releases;
}

KernReturn FakeSMC::serviceClose(IOObject connect) {
    const auto it = std::find(openConnections.begin(), openConnections.end(), connect);
    if (it == openConnections.end()) return kIOReturnNotOpen;
    openConnections.erase(it);
    ++closes;
    return kIOReturnSuccess;
}

KernReturn FakeSMC::callStructMethod(IOObject connect, std::uint32_t selector, const void* input,
                                     std::size_t inputSize, void* output, std::size_t* outputSize) {
    if (std::find(openConnections.begin(), openConnections.end(), connect) == openConnections.end())
        return kIOReturnNotOpen;
    if (selector != kSMCUserClientSelector || inputSize != sizeof(SMCKeyData) ||
        *outputSize != sizeof(SMCKeyData))
        return kIOReturnBadArgument;
    ++exchanges;
    SMCKeyData in;
    std::memcpy(&in, input, sizeof in);
    SMCKeyData out{};
    const auto key = keys.find(in.key);
    if (in.command == SMCCommand::readKeyInfo) {
        ++infoRequests[text(in.key)];
        if (key == keys.end()) {
            out.result = SMCResult::keyNotFound;
        } else {
            out.keyInfo.dataSize = static_cast<std::uint32_t>(key->second.bytes.size());
            out.keyInfo.dataType = key->second.type;
        }
    } else if (in.command == SMCCommand::readBytes) {
        ++valueReads[text(in.key)];
        if (key == keys.end()) {
            out.result = SMCResult::keyNotFound;
        } else {
            const auto n =
                std::min<std::size_t>({in.keyInfo.dataSize, key->second.bytes.size(), 32});
            if (n > 0) std::memcpy(out.bytes, key->second.bytes.data(), n);
        }
    } else {
        out.result = SMCResult::error;
    }
    std::memcpy(output, &out, sizeof out);
    return kIOReturnSuccess;
}

} // namespace quillfen::platform::fake
