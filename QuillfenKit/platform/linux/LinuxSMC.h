#pragma once

#include "platform/SMC.h"
#include "platform/linux/KernelFile.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace quillfen::platform::linux {

// A system management controller made of the kernel's hardware-monitoring chips: it
// answers the controller's key-information and read commands for the keys the samplers
// use, from the files under <sysfs>/class/hwmon.
//
//   FNum              'ui8 '  number of fans
//   F<n>Ac/Mn/Mx      'flt '  fan n's speed, minimum and maximum (rpm)
//   TRD0…TRD9, TRDX,  'flt '  memory temperatures (°C) from DIMM and memory-controller
//   TRDa…TRDj                 sensors, in that order
//
// Fans are numbered 0–9 chip by chip in hwmon order, then by the chip's fan index. Keys are
// four characters and "F10Ac" is not, so fans beyond the tenth cannot be named and are left
// out. Any other key answers "key not found". Without any hwmon chip there is no controller
// to open. Which files stand behind which key is settled when a connection opens; values are
// read at every read command, from files the connection keeps open on the live sysfs.
//
// Files stay open between reads when `keepFilesOpen` says so, by default when the root is the
// live sysfs (see KernelFile); a captured tree that nothing changes may be read that way too.
class LinuxSMC final : public SMC {
public:
    explicit LinuxSMC(std::filesystem::path sysfsRoot,
                      std::optional<bool> keepFilesOpen = std::nullopt);

    IOObject getMatchingService(std::string_view className) override;
    KernReturn serviceOpen(IOObject service, std::uint32_t type, IOObject* connect) override;
    void objectRelease(IOObject) override {}
    KernReturn callStructMethod(IOObject connect, std::uint32_t selector, const void* input,
                                std::size_t inputSize, void* output,
                                std::size_t* outputSize) override;
    KernReturn serviceClose(IOObject connect) override;

    struct Key {
        enum class Source { fanCount, rpm, celsius };
        Source source = Source::rpm;
        std::uint8_t count = 0;                    // for fanCount
        std::shared_ptr<KernelFile> file;          // for rpm and celsius
        std::shared_ptr<KernelFile> runtimeStatus; // of the chip, none if it never sleeps
    };

private:
    std::filesystem::path sysfsRoot_;
    bool live_;
    std::map<IOObject, std::unordered_map<std::uint32_t, Key>> connections_;
    IOObject nextConnection_ = 1;
};

} // namespace quillfen::platform::linux
