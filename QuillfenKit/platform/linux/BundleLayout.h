#pragma once

#include "support/Json.h"

#include <filesystem>
#include <optional>

namespace quillfen::platform::linux {

// The `<Name>.app` folder an executable at `Contents/MacOS/<file>` lies in, if any.
std::optional<std::filesystem::path> bundleContaining(const std::filesystem::path& executable);

// `Contents/Info.json` of a bundle when it holds a JSON object.
std::optional<json::Json> readInfoDictionary(const std::filesystem::path& bundle);

} // namespace quillfen::platform::linux
