#include "platform/linux/Hwmon.h"

#include "platform/linux/KernelText.h"
#include "platform/linux/SysfsAttribute.h"

#include <algorithm>
#include <set>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;

std::set<std::string> listNames(const fs::path& dir) {
    std::set<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        names.insert(it->path().filename().string());
    return names;
}

std::vector<HwmonChannel> channels(const fs::path& dir, const std::set<std::string>& names,
                                   std::string_view kind) {
    std::vector<HwmonChannel> out;
    for (const auto& name : names) {
        const auto index = numberBetween(name, kind, "_input");
        if (!index) continue;
        HwmonChannel ch;
        ch.index = *index;
        ch.input = dir / name;
        const std::string stem = std::string(kind) + std::to_string(*index);
        const auto attribute = [&](const char* suffix) -> fs::path {
            const auto file = stem + suffix;
            return names.contains(file) ? dir / file : fs::path();
        };
        if (const auto label = attribute("_label"); !label.empty())
            ch.label = readSysfsText(label).value_or("");
        ch.min = attribute("_min");
        ch.max = attribute("_max");
        ch.fault = attribute("_fault");
        out.push_back(std::move(ch));
    }
    std::sort(out.begin(), out.end(),
              [](const HwmonChannel& a, const HwmonChannel& b) { return a.index < b.index; });
    return out;
}

} // namespace

std::vector<HwmonChip> scanHwmon(const fs::path& sysfsRoot) {
    std::vector<HwmonChip> chips;
    const fs::path classDir = sysfsRoot / "class" / "hwmon";
    for (const auto& entry : listNames(classDir)) {
        const auto number = numberBetween(entry, "hwmon", "");
        if (!number) continue;
        const fs::path root = classDir / entry;
        auto names = listNames(root);
        fs::path files = root;
        if (!names.contains("name")) {
            auto deviceNames = listNames(root / "device");
            if (deviceNames.contains("name")) {
                files = root / "device";
                names = std::move(deviceNames);
            }
        }
        HwmonChip chip;
        chip.number = *number;
        chip.name = readSysfsText(files / "name").value_or("");
        chip.deviceType = readSysfsText(root / "device" / "type").value_or("");
        std::error_code ec;
        if (fs::exists(root / "device" / "power" / "runtime_status", ec))
            chip.runtimeStatus = root / "device" / "power" / "runtime_status";
        chip.fans = channels(files, names, "fan");
        chip.temps = channels(files, names, "temp");
        chips.push_back(std::move(chip));
    }
    std::sort(chips.begin(), chips.end(),
              [](const HwmonChip& a, const HwmonChip& b) { return a.number < b.number; });
    return chips;
}

bool isRuntimeSuspended(const fs::path& runtimeStatus) {
    return !runtimeStatus.empty() && readSysfsText(runtimeStatus) == "suspended";
}

bool isRuntimeSuspended(KernelFile& runtimeStatus) {
    const auto text = runtimeStatus.read(kMaxAttributeBytes);
    return text && trim(*text) == "suspended";
}

std::optional<std::int64_t> readInteger(KernelFile& attribute) {
    const auto text = attribute.read(kMaxAttributeBytes);
    if (!text) return std::nullopt;
    return parseSigned(trim(*text));
}

} // namespace quillfen::platform::linux
