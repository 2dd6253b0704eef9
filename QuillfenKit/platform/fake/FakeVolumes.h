#pragma once

#include "platform/Volumes.h"

namespace quillfen::platform::fake {

// Volumes described by the test, listed in the order they were added.
class FakeVolumes final : public Volumes {
public:
    std::optional<std::vector<std::filesystem::path>> mountedVolumeURLs(bool skipHidden) override {
        ++listings;
        lastSkipHidden = skipHidden;
        if (!listable) return std::nullopt;
        std::vector<std::filesystem::path> urls;
        for (const auto& [path, values] : volumes)
            urls.push_back(path);
        return urls;
    }
    std::optional<MountedVolumeValues> resourceValues(const std::filesystem::path& v) override {
        for (const auto& [path, values] : volumes)
            if (path == v) return values;
        return std::nullopt;
    }

    void add(std::filesystem::path path, std::optional<MountedVolumeValues> values) {
        volumes.emplace_back(std::move(path), std::move(values));
    }

    std::vector<std::pair<std::filesystem::path, std::optional<MountedVolumeValues>>> volumes;
    bool listable = true;
    int listings = 0;
    bool lastSkipHidden = false;
};

} // namespace quillfen::platform::fake
