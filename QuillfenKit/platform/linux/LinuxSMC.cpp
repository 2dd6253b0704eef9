#include "platform/linux/LinuxSMC.h"

#include "platform/SMCKeyData.h"
#include "platform/linux/Hwmon.h"
#include "platform/linux/SysfsAttribute.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace quillfen::platform::linux {
namespace {

constexpr IOObject kSMCService = 0x5343; // any non-zero handle names the one controller
constexpr std::size_t kMaxFans = 10;

// Chips that measure memory modules or the memory controller.
constexpr std::array<std::string_view, 3> kMemoryChips = {"jc42", "spd5118", "i5k_amb"};

constexpr std::uint32_t code(char a, char b, char c, char d) {
    return (std::uint32_t(std::uint8_t(a)) << 24) | (std::uint32_t(std::uint8_t(b)) << 16) |
           (std::uint32_t(std::uint8_t(c)) << 8) | std::uint32_t(std::uint8_t(d));
}

constexpr std::uint32_t kTypeUInt8 = code('u', 'i', '8', ' ');
constexpr std::uint32_t kTypeFloat = code('f', 'l', 't', ' ');

// The last characters of the memory-temperature keys "TRD?", in the order the thermal sampler
// probes them.
constexpr std::string_view kMemoryKeySuffixes = "0123456789Xabcdefghij";

std::unordered_map<std::uint32_t, LinuxSMC::Key> buildKeys(const std::filesystem::path& sysfs,
                                                           bool live) {
    using Key = LinuxSMC::Key;
    std::unordered_map<std::uint32_t, Key> keys;
    std::size_t fans = 0;
    std::size_t memory = 0;
    const auto file = [&](const std::filesystem::path& path) {
        return std::make_shared<KernelFile>(path, live);
    };
    for (const auto& chip : scanHwmon(sysfs)) {
        // One status file per chip, shared by its keys.
        const auto status = chip.runtimeStatus.empty() ? nullptr : file(chip.runtimeStatus);
        for (const auto& fan : chip.fans) {
            if (fans == kMaxFans) break;
            const char n = static_cast<char>('0' + fans++);
            keys[code('F', n, 'A', 'c')] = Key{Key::Source::rpm, 0, file(fan.input), status};
            if (!fan.min.empty())
                keys[code('F', n, 'M', 'n')] = Key{Key::Source::rpm, 0, file(fan.min), status};
            if (!fan.max.empty())
                keys[code('F', n, 'M', 'x')] = Key{Key::Source::rpm, 0, file(fan.max), status};
        }
        if (std::find(kMemoryChips.begin(), kMemoryChips.end(), chip.name) == kMemoryChips.end())
            continue;
        for (const auto& temp : chip.temps) {
            if (memory == kMemoryKeySuffixes.size()) break;
            keys[code('T', 'R', 'D', kMemoryKeySuffixes[memory++])] =
                Key{Key::Source::celsius, 0, file(temp.input), status};
        }
    }
    keys[code('F', 'N', 'u', 'm')] =
        Key{Key::Source::fanCount, static_cast<std::uint8_t>(fans), nullptr, nullptr};
    return keys;
}

// Fills the answer's value bytes; false when the value cannot be read now.
bool readValue(const LinuxSMC::Key& key, SMCKeyData& answer) {
    if (key.source == LinuxSMC::Key::Source::fanCount) {
        answer.bytes[0] = key.count;
        return true;
    }
    if (key.runtimeStatus && isRuntimeSuspended(*key.runtimeStatus)) return false;
    const auto raw = readInteger(*key.file);
    if (!raw) return false;
    const double value = key.source == LinuxSMC::Key::Source::celsius
                             ? static_cast<double>(*raw) / 1000.0
                             : static_cast<double>(*raw);
    const auto bits = std::bit_cast<std::uint32_t>(static_cast<float>(value));
    for (int i = 0; i < 4; ++i)
        answer.bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    return true;
}

} // namespace

LinuxSMC::LinuxSMC(std::filesystem::path sysfsRoot, std::optional<bool> keepFilesOpen)
    : sysfsRoot_(std::move(sysfsRoot))
    , live_(keepFilesOpen.value_or(isLiveKernelTree(sysfsRoot_))) {}

IOObject LinuxSMC::getMatchingService(std::string_view className) {
    if (className != "AppleSMC") return 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(sysfsRoot_ / "class" / "hwmon", ec), end;
         !ec && it != end; it.increment(ec))
        if (numberBetween(it->path().filename().string(), "hwmon", "")) return kSMCService;
    return 0;
}

KernReturn LinuxSMC::serviceOpen(IOObject service, std::uint32_t type, IOObject* connect) {
    if (service != kSMCService || type != 0 || !connect) return kIOReturnBadArgument;
    const IOObject id = nextConnection_++;
    connections_[id] = buildKeys(sysfsRoot_, live_);
    *connect = id;
    return kIOReturnSuccess;
}

KernReturn LinuxSMC::serviceClose(IOObject connect) {
    return connections_.erase(connect) ? kIOReturnSuccess : kIOReturnNotOpen;
}

KernReturn LinuxSMC::callStructMethod(IOObject connect, std::uint32_t selector, const void* input,
                                      std::size_t inputSize, void* output,
                                      std::size_t* outputSize) {
    const auto conn = connections_.find(connect);
    if (conn == connections_.end()) return kIOReturnNotOpen;
    if (selector != kSMCUserClientSelector || !input || inputSize != sizeof(SMCKeyData) ||
        !output || !outputSize || *outputSize < sizeof(SMCKeyData))
        return kIOReturnBadArgument;

    SMCKeyData request;
    std::memcpy(&request, input, sizeof request);
    SMCKeyData answer{};
    answer.key = request.key;
    const auto key = conn->second.find(request.key);
    if (key == conn->second.end()) {
        answer.result = SMCResult::keyNotFound;
    } else if (request.command == SMCCommand::readKeyInfo) {
        const bool count = key->second.source == Key::Source::fanCount;
        answer.keyInfo.dataSize = count ? 1 : 4;
        answer.keyInfo.dataType = count ? kTypeUInt8 : kTypeFloat;
    } else if (request.command == SMCCommand::readBytes) {
        if (!readValue(key->second, answer)) answer.result = SMCResult::error;
    } else {
        answer.result = SMCResult::error;
    }
    std::memcpy(output, &answer, sizeof answer);
    *outputSize = sizeof answer;
    return kIOReturnSuccess;
}

} // namespace quillfen::platform::linux
