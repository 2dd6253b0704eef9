#pragma once

#include "platform/MainBundle.h"

namespace quillfen::platform::fake {

class FakeMainBundle final : public MainBundle {
public:
    std::optional<std::filesystem::path> bundlePath() const override { return path; }
    std::optional<json::Json> infoDictionary() const override { return info; }

    std::optional<std::filesystem::path> path;
    std::optional<json::Json> info;
};

} // namespace quillfen::platform::fake
