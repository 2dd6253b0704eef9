#include "support/Json.h"

#include <charconv>

namespace quillfen::json {
namespace {

// Appends a text as a JSON string. Invalid UTF-8 becomes U+FFFD rather than failing the
// document: a sensor label read from the system must not be able to stop a payload.
void writeString(std::string& out, const std::string& s) {
    static constexpr char hex[] = "0123456789abcdef";
    out.push_back('"');
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                if (c < 0x20) {
                    out += "\\u00";
                    out.push_back(hex[c >> 4]);
                    out.push_back(hex[c & 15]);
                } else {
                    out.push_back(static_cast<char>(c));
                }
            }
            ++p;
            continue;
        }
        // The length a lead byte announces and the smallest code point that needs it.
        const int length = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : c >= 0xc0 ? 2 : 0;
        bool valid = length > 0 && c < 0xf5 && end - p >= length;
        std::uint32_t cp = length == 2 ? c & 0x1f : length == 3 ? c & 0x0f : c & 0x07;
        for (int i = 1; valid && i < length; ++i) {
            valid = (p[i] & 0xc0) == 0x80;
            cp = (cp << 6) | (p[i] & 0x3f);
        }
        static constexpr std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (valid) valid = cp >= smallest[length] && cp <= 0x10ffff && (cp < 0xd800 || cp > 0xdfff);
        if (!valid) {
            out += "\xEF\xBF\xBD";
            ++p;
            continue;
        }
        out.append(reinterpret_cast<const char*>(p), static_cast<std::size_t>(length));
        p += length;
    }
    out.push_back('"');
}

template <typename Number> void writeNumber(std::string& out, Number n) {
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, n);
    out.append(buf, end);
}

// Compact JSON of a tree; false when it holds a number that is not finite. Floats keep a
// fraction or an exponent ("850.0") so that they read back as floats.
bool write(std::string& out, const Json& j) {
    switch (j.type()) {
    case Json::value_t::object: {
        out.push_back('{');
        bool first = true;
        for (const auto& [key, value] : j.get_ref<const Json::object_t&>()) {
            if (!first) out.push_back(',');
            first = false;
            writeString(out, key);
            out.push_back(':');
            if (!write(out, value)) return false;
        }
        out.push_back('}');
        return true;
    }
    case Json::value_t::array: {
        out.push_back('[');
        bool first = true;
        for (const auto& value : j.get_ref<const Json::array_t&>()) {
            if (!first) out.push_back(',');
            first = false;
            if (!write(out, value)) return false;
        }
        out.push_back(']');
        return true;
    }
    case Json::value_t::string:
        writeString(out, j.get_ref<const std::string&>());
        return true;
    case Json::value_t::boolean:
        out += j.get<bool>() ? "true" : "false";
        return true;
    case Json::value_t::number_integer:
        writeNumber(out, j.get<std::int64_t>());
        return true;
    case Json::value_t::number_unsigned:
        writeNumber(out, j.get<std::uint64_t>());
        return true;
    case Json::value_t::number_float: {
        const double v = j.get<double>();
        if (!std::isfinite(v)) return false;
        const std::size_t start = out.size();
        writeNumber(out, v);
        if (out.find_first_of(".e", start) == std::string::npos) out += ".0";
        return true;
    }
    default:
        out += "null";
        return true;
    }
}

} // namespace

namespace {

// The deepest nesting of arrays and objects in a JSON text, strings skipped; stops counting
// beyond `limit`.
std::size_t nesting(std::string_view text, std::size_t limit) {
    std::size_t depth = 0;
    std::size_t deepest = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > deepest && (deepest = depth) > limit) return deepest;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return deepest;
}

} // namespace

std::optional<Json> parse(std::string_view text) {
    if (text.size() > kMaxDocumentBytes) return std::nullopt;
    // Trees are copied, compared and written by recursion; a document nested deeper than any
    // the product writes could exhaust the stack of whoever touches it.
    if (nesting(text, kMaxNesting) > kMaxNesting) return std::nullopt;
    Json j = Json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (j.is_discarded()) return std::nullopt;
    return j;
}

std::optional<std::string> dump(const Json& j) {
    std::string out;
    out.reserve(256);
    if (!write(out, j)) return std::nullopt;
    return out;
}

} // namespace quillfen::json
