#pragma once

#include "platform/MainBundle.h"

#include <mutex>

namespace quillfen::platform::linux {

// The bundle around the running executable (or around `executable` when given). The
// information dictionary is read once, on first use.
class LinuxMainBundle final : public MainBundle {
public:
    explicit LinuxMainBundle(std::filesystem::path executable = {});
    std::optional<std::filesystem::path> bundlePath() const override;
    std::optional<json::Json> infoDictionary() const override;

private:
    void load() const;

    std::filesystem::path executable_;
    mutable std::once_flag loaded_;
    mutable std::optional<std::filesystem::path> bundle_;
    mutable std::optional<json::Json> info_;
};

} // namespace quillfen::platform::linux
