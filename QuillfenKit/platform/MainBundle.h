#pragma once

#include "support/Json.h"

#include <filesystem>
#include <optional>

namespace quillfen::platform {

// The application bundle the executable runs in: a folder `<Name>.app` holding
// `Contents/Info.json` and the executable in `Contents/MacOS/`.
class MainBundle {
public:
    virtual ~MainBundle() = default;

    // The `.app` folder, or nothing when the executable does not run inside a bundle.
    virtual std::optional<std::filesystem::path> bundlePath() const = 0;

    // The bundle's information dictionary (a JSON object), or nothing when there is no
    // bundle or its Info.json is missing or not an object.
    virtual std::optional<json::Json> infoDictionary() const = 0;
};

} // namespace quillfen::platform
