#include "platform/linux/MachineIdentity.h"

#include "platform/linux/FileIO.h"
#include "platform/linux/KernelText.h"
#include "platform/linux/SysfsAttribute.h"

#include <algorithm>
#include <sys/utsname.h>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxOSReleaseBytes = 64 << 10;
constexpr std::size_t kMaxModelBytes = 4096;

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::optional<std::string> dmiField(const fs::path& sysRoot, const char* name) {
    auto text = readSysfsText(sysRoot / "class/dmi/id" / name);
    if (!text || isPlaceholder(*text)) return std::nullopt;
    return text;
}

// The device tree's `model`: NUL-terminated text.
std::optional<std::string> deviceTreeModel(const fs::path& sysRoot) {
    return readFile(sysRoot / "firmware/devicetree/base/model", kMaxModelBytes);
}

// Makers' legal names shortened to the names their machines are known by.
std::string shortVendorName(const std::string& vendor) {
    static constexpr std::pair<std::string_view, std::string_view> known[] = {
        {"LENOVO", "Lenovo"},
        {"Dell Inc.", "Dell"},
        {"Hewlett-Packard", "HP"},
        {"ASUSTeK COMPUTER INC.", "ASUS"},
        {"ASUSTeK Computer Inc.", "ASUS"},
        {"Micro-Star International Co., Ltd.", "MSI"},
        {"Gigabyte Technology Co., Ltd.", "Gigabyte"},
        {"Apple Inc.", "Apple"},
        {"Microsoft Corporation", "Microsoft"},
        {"Framework", "Framework"},
        {"Acer", "Acer"},
    };
    for (const auto& [legal, brand] : known)
        if (equalsIgnoringCase(vendor, legal)) return std::string(brand);
    return vendor;
}

std::string joinVendor(const std::optional<std::string>& vendor, const std::string& product) {
    if (!vendor) return product;
    const std::string brand = shortVendorName(*vendor);
    if (startsWithIgnoringCase(product, brand)) return product;
    return brand + " " + product;
}

std::string kernelRelease(const fs::path& procRoot) {
    if (auto text = readSysfsText(procRoot / "sys/kernel/osrelease"); text && !text->empty())
        return *text;
    utsname names{};
    if (::uname(&names) == 0) return names.release;
    return {};
}

} // namespace

bool isPlaceholder(std::string_view text) {
    text = trim(text);
    static constexpr std::string_view placeholders[] = {"To Be Filled By O.E.M.",
                                                        "To be filled by O.E.M.",
                                                        "System Product Name",
                                                        "System manufacturer",
                                                        "System Version",
                                                        "Default string",
                                                        "Not Applicable",
                                                        "Not Specified",
                                                        "None",
                                                        "O.E.M.",
                                                        "OEM",
                                                        "Type1ProductConfigId",
                                                        "Undefined",
                                                        "Unknown",
                                                        "x.x",
                                                        "0123456789",
                                                        "Base Board Product Name"};
    if (text.empty()) return true;
    return std::any_of(std::begin(placeholders), std::end(placeholders),
                       [&](std::string_view p) { return equalsIgnoringCase(text, p); });
}

std::optional<std::string> modelIdentifier(const fs::path& sysRoot) {
    if (auto product = dmiField(sysRoot, "product_name")) return product;
    if (auto board = dmiField(sysRoot, "board_name")) return board;
    if (const auto model = deviceTreeModel(sysRoot)) {
        const std::string_view text = trim(std::string_view(model->c_str()));
        if (!text.empty()) return std::string(text);
    }
    return std::nullopt;
}

std::optional<MarketingName> marketingName(const fs::path& sysRoot) {
    if (auto model = deviceTreeModel(sysRoot)) return MarketingName{std::move(*model), true};
    const auto vendor = dmiField(sysRoot, "sys_vendor");
    // Lenovo keeps the machine type ("20XW0055GE") in the product name and the name it sells
    // the machine under in the product version; everybody else names the product.
    const bool versionNamesIt = vendor && equalsIgnoringCase(*vendor, "LENOVO");
    auto product = dmiField(sysRoot, versionNamesIt ? "product_version" : "product_name");
    if (!product) product = dmiField(sysRoot, versionNamesIt ? "product_name" : "product_version");
    if (product) return MarketingName{joinVendor(vendor, *product)};
    // Boards sold for self-built machines name only themselves.
    if (const auto board = dmiField(sysRoot, "board_name"))
        return MarketingName{joinVendor(dmiField(sysRoot, "board_vendor"), *board)};
    return std::nullopt;
}

std::optional<OperatingSystemVersion> parseVersionNumbers(std::string_view text) {
    OperatingSystemVersion version;
    std::int64_t* const parts[] = {&version.majorVersion, &version.minorVersion,
                                   &version.patchVersion};
    std::size_t i = 0;
    for (int part = 0; part < 3; ++part) {
        const std::size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
        const auto value = parseUnsigned(text.substr(start, i - start));
        if (!value || *value > INT64_MAX) {
            if (part == 0) return std::nullopt;
            break;
        }
        *parts[part] = static_cast<std::int64_t>(*value);
        if (part == 1) version.minorDigits = static_cast<int>(std::min<std::size_t>(i - start, 18));
        if (i + 1 >= text.size() || text[i] != '.' || text[i + 1] < '0' || text[i + 1] > '9') break;
        ++i;
    }
    return version;
}

std::optional<std::string> osReleaseValue(std::string_view text, std::string_view key) {
    const auto found = keyedValue(text, key, '=');
    if (!found) return std::nullopt;
    std::string_view value = *found;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) ++i;
        out += value[i];
    }
    return out;
}

OperatingSystemVersion operatingSystemVersion(const std::vector<fs::path>& osReleaseFiles,
                                              const fs::path& procRoot) {
    for (const auto& file : osReleaseFiles) {
        const auto text = readFile(file, kMaxOSReleaseBytes);
        if (!text) continue;
        if (const auto id = osReleaseValue(*text, "VERSION_ID"))
            if (const auto version = parseVersionNumbers(*id)) return *version;
        // The first file that exists speaks for the system, with or without a version.
        break;
    }
    return parseVersionNumbers(kernelRelease(procRoot)).value_or(OperatingSystemVersion{});
}

} // namespace quillfen::platform::linux
