#pragma once

#include "support/Json.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace quillfen::platform::linux {

// The `<Name>.app` folder an executable at `Contents/MacOS/<file>` lies in, if any.
std::optional<std::filesystem::path> bundleContaining(const std::filesystem::path& executable);

// The file a process's `exe` link names. The kernel appends " (deleted)" once the file has
// been removed, which happens to a running helper whose bundle was just replaced by a newer
// one; the process still belongs to that bundle, and its path is where the new file is.
std::string_view withoutDeletedMark(std::string_view exeLinkTarget);

// `Contents/Info.json` of a bundle when it holds a JSON object.
std::optional<json::Json> readInfoDictionary(const std::filesystem::path& bundle);

} // namespace quillfen::platform::linux
