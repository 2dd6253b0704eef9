#include "support/Printable.h"

#include "support/Utf8.h"

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
            std::uint32_t cp = 0;
            const std::size_t sequence = utf8::decode(p, end, &cp);
            // A C1 control is a whole character, replaced whole; a broken sequence byte by byte.
            length = sequence > 0 ? sequence : 1;
            show = sequence > 0 && cp > 0x9f;
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
