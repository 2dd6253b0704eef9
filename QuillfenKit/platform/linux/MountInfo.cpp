#include "platform/linux/MountInfo.h"

#include "platform/linux/KernelText.h"

#include <charconv>

namespace quillfen::platform::linux {

std::string decodeOctalEscapes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto octal = [&](std::size_t k) { return text[k] >= '0' && text[k] <= '7'; };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && octal(i + 1) && octal(i + 2) &&
            octal(i + 3)) {
            const int value =
                (text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0');
            if (value <= 0xff) {
                out.push_back(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

std::vector<MountEntry> parseMountInfo(std::string_view text) {
    std::vector<MountEntry> mounts;
    while (!text.empty()) {
        std::string_view line = nextLine(text);
        // mount ID, parent ID, major:minor, root, mount point, options, optional fields…,
        // "-", filesystem type, source, super options
        nextField(line);
        nextField(line);
        const std::string_view device = nextField(line);
        const std::string_view root = nextField(line);
        const std::string_view mountPoint = nextField(line);
        nextField(line);
        std::string_view field;
        do {
            field = nextField(line);
        } while (!field.empty() && field != "-");
        if (field != "-") continue;
        const std::string_view fsType = nextField(line);
        const std::string_view source = nextField(line);
        const auto colon = device.find(':');
        MountEntry m;
        if (colon == std::string_view::npos || root.empty() || mountPoint.empty() || fsType.empty())
            continue;
        const auto majorText = device.substr(0, colon);
        const auto minorText = device.substr(colon + 1);
        if (std::from_chars(majorText.data(), majorText.data() + majorText.size(), m.major).ec !=
                std::errc() ||
            std::from_chars(minorText.data(), minorText.data() + minorText.size(), m.minor).ec !=
                std::errc())
            continue;
        m.root = decodeOctalEscapes(root);
        m.mountPoint = decodeOctalEscapes(mountPoint);
        m.fsType = decodeOctalEscapes(fsType);
        m.source = decodeOctalEscapes(source);
        mounts.push_back(std::move(m));
    }
    return mounts;
}

} // namespace quillfen::platform::linux
