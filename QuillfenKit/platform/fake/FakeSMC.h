#pragma once

#include "platform/SMC.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quillfen::platform::fake {

// A controller holding scripted keys, counting what is asked of it.
class FakeSMC final : public SMC {
public:
    struct Value {
        std::uint32_t type = 0; // four-character code
        std::vector<std::uint8_t> bytes;
    };

    static std::uint32_t code(std::string_view fourCharacters);

    void set(std::string_view key, std::string_view type, std::vector<std::uint8_t> bytes);
    void setFloat(std::string_view key, float value); // 'flt ', little-endian
    void setUInt8(std::string_view key, std::uint8_t value);
    void remove(std::string_view key);

    IOObject getMatchingService(std::string_view className) override;
    KernReturn serviceOpen(IOObject service, std::uint32_t type, IOObject* connect) override;
    void objectRelease(IOObject object) override;
    KernReturn callStructMethod(IOObject connect, std::uint32_t selector, const void* input,
                                std::size_t inputSize, void* output,
                                std::size_t* outputSize) override;
    KernReturn serviceClose(IOObject connect) override;

    // Script
    bool present = true; // whether the machine has a controller at all
    bool openSucceeds = true;
    std::map<std::uint32_t, Value> keys;

    // Record
    int opens = 0;
    int closes = 0;
    int releases = 0;
    int exchanges = 0;
    std::map<std::string, int> infoRequests; // command 9 per key
    std::map<std::string, int> valueReads;   // command 5 per key
    std::vector<IOObject> openConnections;
};

} // namespace quillfen::platform::fake
