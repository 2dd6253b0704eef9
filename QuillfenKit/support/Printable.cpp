#include "support/Printable.h"

#include <cstdint>

namespace quillfen {

std::string printable(std::string_view text, std::size_t maxBytes) {
    std::string out;
    out.reserve(std::min(text.size(), maxBytes));
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned char c = *p;
        std::size_t length = 1;
        bool show = c >= 0x20 && c < 0x7f;
        if (c >= 0x80) {
            length = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : c >= 0xc0 ? 2 : 0;
            show = length > 0 && c < 0xf5 && static_cast<std::size_t>(end - p) >= length;
            std::uint32_t cp = length == 2 ? c & 0x1f : length == 3 ? c & 0x0f : c & 0x07;
            for (std::size_t i = 1; show && i < length; ++i) {
                show = (p[i] & 0xc0) == 0x80;
                cp = (cp << 6) | (p[i] & 0x3f);
            }
            static constexpr std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
            const bool valid =
                show && cp >= smallest[length] && cp <= 0x10ffff && (cp < 0xd800 || cp > 0xdfff);
            // A C1 control is a whole character, replaced whole; a broken sequence byte by byte.
            show = valid && (cp < 0x80 || cp > 0x9f);
            if (!valid) length = 1;
        }
        const std::size_t width = show ? length : 1;
        if (out.size() + width > maxBytes) {
            out += "…";
            break;
        }
        if (show)
            out.append(reinterpret_cast<const char*>(p), length);
        else
            out.push_back('?');
        p += length;
    }
    return out;
}

} // namespace quillfen
