#pragma once

#include "platform/Kernel.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Who made the machine and what it is called, from the firmware tables (DMI) or the device
// tree, and which operating system it runs. Firmware texts are often placeholders that a
// board maker never filled in; those count as missing.
namespace quillfen::platform::linux {

// True for the texts board makers leave in unfilled fields ("To Be Filled By O.E.M.",
// "System Product Name", "Default string", …), blanks and empty texts.
bool isPlaceholder(std::string_view text);

// The machine's model as its maker identifies it: DMI `product_name`, else `board_name`, else
// the device tree's `model`; nothing when none of them says anything.
std::optional<std::string> modelIdentifier(const std::filesystem::path& sysRoot);

// The name the machine is sold under. The device tree's `model` is handed over as the raw
// bytes of the file, NUL padding included; DMI gives the maker followed by the product
// ("Lenovo ThinkPad X1 Carbon Gen 9", "Dell XPS 13 9310"), from the board's fields when the
// product's are placeholders.
struct MarketingName {
    std::string text;
    bool isRawBytes = false;
};
std::optional<MarketingName> marketingName(const std::filesystem::path& sysRoot);

// "22.04" → 22, 4 (written with 2 digits), 0; "6.1.0-18-amd64" → 6, 1, 0. Nothing when the text
// does not begin with a number.
std::optional<OperatingSystemVersion> parseVersionNumbers(std::string_view text);

// The value of `key` in an os-release file, unquoted; nothing when it is not there.
std::optional<std::string> osReleaseValue(std::string_view text, std::string_view key);

// VERSION_ID of the first readable os-release file, else the kernel's release.
OperatingSystemVersion
operatingSystemVersion(const std::vector<std::filesystem::path>& osReleaseFiles,
                       const std::filesystem::path& procRoot);

} // namespace quillfen::platform::linux
