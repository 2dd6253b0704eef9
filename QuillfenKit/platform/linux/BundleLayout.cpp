#include "platform/linux/BundleLayout.h"

#include "platform/linux/FileIO.h"

namespace quillfen::platform::linux {
namespace {

// An information dictionary is a handful of keys; anything larger is not one.
constexpr std::size_t kMaxInfoBytes = 64 * 1024;

} // namespace

std::optional<std::filesystem::path> bundleContaining(const std::filesystem::path& executable) {
    const auto macos = executable.parent_path();
    const auto contents = macos.parent_path();
    const auto bundle = contents.parent_path();
    if (macos.filename() != "MacOS" || contents.filename() != "Contents") return std::nullopt;
    if (bundle.extension() != ".app" || bundle.stem().empty()) return std::nullopt;
    return bundle;
}

std::string_view withoutDeletedMark(std::string_view exeLinkTarget) {
    constexpr std::string_view deleted = " (deleted)";
    if (exeLinkTarget.ends_with(deleted)) exeLinkTarget.remove_suffix(deleted.size());
    return exeLinkTarget;
}

std::optional<json::Json> readInfoDictionary(const std::filesystem::path& bundle) {
    const auto text = readFile(bundle / "Contents" / "Info.json", kMaxInfoBytes);
    if (!text) return std::nullopt;
    auto j = json::parse(*text);
    if (!j || !j->is_object()) return std::nullopt;
    return j;
}

} // namespace quillfen::platform::linux
