#pragma once

#include <cstddef>
#include <cstdint>

namespace quillfen::utf8 {

// The length of the well-formed UTF-8 sequence of two or more bytes at `p` (RFC 3629: no
// overlong forms, no surrogates, nothing above U+10FFFF), storing its code point in `*cp`;
// 0 when the bytes there are no such sequence (an ASCII byte included).
inline std::size_t decode(const unsigned char* p, const unsigned char* end,
                          std::uint32_t* cp = nullptr) {
    const unsigned char c = *p;
    const std::size_t length = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : c >= 0xc0 ? 2 : 0;
    if (length == 0 || c >= 0xf5 || static_cast<std::size_t>(end - p) < length) return 0;
    std::uint32_t v = length == 2 ? c & 0x1f : length == 3 ? c & 0x0f : c & 0x07;
    for (std::size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xc0) != 0x80) return 0;
        v = (v << 6) | (p[i] & 0x3f);
    }
    static constexpr std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (v < smallest[length] || v > 0x10ffff || (v >= 0xd800 && v <= 0xdfff)) return 0;
    if (cp) *cp = v;
    return length;
}

} // namespace quillfen::utf8
