#include "support/Json.h"

#include "support/Utf8.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <unordered_set>

namespace quillfen::json {
namespace {

// Appends a text as a JSON string. Invalid UTF-8 becomes U+FFFD rather than failing the
// document: a sensor label read from the system must not be able to stop a payload.
void writeString(std::string& out, std::string_view s) {
    static constexpr char hex[] = "0123456789abcdef";
    out.push_back('"');
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        const unsigned char* run = p;
        while (p < end && *p >= 0x20 && *p < 0x80 && *p != '"' && *p != '\\')
            ++p;
        out.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
        if (p == end) break;
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
        const std::size_t length = utf8::decode(p, end);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++p;
            continue;
        }
        out.append(reinterpret_cast<const char*>(p), length);
        p += length;
    }
    out.push_back('"');
}

template <typename Number> void writeNumber(std::string& out, Number n) {
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, n);
    out.append(buf, end);
}

// Floats keep a fraction or an exponent ("850.0") so that they read back as floats; false for
// a number that is not finite.
bool writeFloat(std::string& out, double v) {
    if (!std::isfinite(v)) return false;
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, end);
    if (std::find_if(buf, end, [](char c) { return c == '.' || c == 'e'; }) == end) out += ".0";
    return true;
}

// Compact JSON of a tree; false when it holds a number that is not finite.
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
    case Json::value_t::number_float:
        return writeFloat(out, j.get<double>());
    default:
        out += "null";
        return true;
    }
}

void appendUTF8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xc0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3f)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xe0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3f)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3f)));
    } else {
        out.push_back(static_cast<char>(0xf0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3f)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3f)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3f)));
    }
}

// The power of ten just above a well-formed number's magnitude (1 for 0.5, 3 for 123e0),
// saturating far beyond any double's range; only its sign matters to the caller.
long long decimalExponent(const char* p, const char* end) {
    if (*p == '-') ++p;
    long long order = 0;
    while (p < end && *p == '0')
        ++p;
    for (; p < end && *p >= '0' && *p <= '9'; ++p)
        ++order;
    if (p < end && *p == '.') {
        ++p;
        for (; order == 0 && p < end && *p == '0'; ++p)
            --order;
        while (p < end && *p >= '0' && *p <= '9')
            ++p;
    }
    long long exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool down = *p == '-';
        if (*p == '+' || *p == '-') ++p;
        if (std::from_chars(p, end, exponent).ec != std::errc{}) exponent = 1'000'000'000;
        if (down) exponent = -exponent;
    }
    return order + exponent;
}

// A strict RFC 8259 reader building the tree directly. Every document the kit receives is
// read by it each second, so it avoids the general parser's per-character token buffer and
// locale-bound number conversion. Beyond the RFC it refuses nesting deeper than kMaxNesting
// (trees are copied, compared and written by recursion, so a deeper one could exhaust the
// stack of whoever touches it) and duplicate keys (which value would count is anyone's
// guess, and keeping the first or last silently hides a faulty or hostile writer).
class Reader {
public:
    explicit Reader(std::string_view text)
        : p_(reinterpret_cast<const unsigned char*>(text.data()))
        , end_(p_ + text.size()) {}

    bool document(Json& out) {
        static constexpr unsigned char bom[] = {0xef, 0xbb, 0xbf};
        if (end_ - p_ >= 3 && std::equal(bom, bom + 3, p_)) p_ += 3;
        skipSpace();
        if (!value(out, 0)) return false;
        skipSpace();
        return p_ == end_;
    }

private:
    void skipSpace() {
        while (p_ < end_ && (*p_ == ' ' || *p_ == '\n' || *p_ == '\r' || *p_ == '\t'))
            ++p_;
    }

    bool consume(std::string_view word) {
        if (static_cast<std::size_t>(end_ - p_) < word.size() ||
            std::memcmp(p_, word.data(), word.size()) != 0)
            return false;
        p_ += word.size();
        return true;
    }

    bool value(Json& out, std::size_t depth) {
        if (p_ == end_) return false;
        switch (*p_) {
        case '{':
            return object(out, depth + 1);
        case '[':
            return array(out, depth + 1);
        case '"': {
            std::string s;
            if (!string(s)) return false;
            out = std::move(s);
            return true;
        }
        case 't':
            out = true;
            return consume("true");
        case 'f':
            out = false;
            return consume("false");
        case 'n':
            out = nullptr;
            return consume("null");
        default:
            return number(out);
        }
    }

    bool object(Json& out, std::size_t depth) {
        if (depth > kMaxNesting) return false;
        ++p_;
        out = Json::object();
        auto& members = out.get_ref<Json::object_t&>();
        skipSpace();
        if (p_ < end_ && *p_ == '}') {
            ++p_;
            return true;
        }
        // Small objects are checked for a repeated key by scanning; large ones by a set, so a
        // hostile document with many keys costs linear time, not quadratic.
        constexpr std::size_t scanLimit = 32;
        std::unordered_set<std::string> seen; // filled once the object outgrows scanning
        while (true) {
            skipSpace();
            std::string key;
            if (p_ == end_ || *p_ != '"' || !string(key)) return false;
            skipSpace();
            if (p_ == end_ || *p_ != ':') return false;
            ++p_;
            skipSpace();
            Json member;
            if (!value(member, depth)) return false;
            if (members.size() < scanLimit) {
                for (const auto& [existing, _] : members)
                    if (existing == key) return false;
            } else {
                if (seen.empty())
                    for (const auto& [existing, _] : members)
                        seen.insert(existing);
                if (!seen.insert(key).second) return false;
            }
            members.emplace_back(std::move(key), std::move(member));
            skipSpace();
            if (p_ == end_) return false;
            if (*p_ == '}') {
                ++p_;
                return true;
            }
            if (*p_++ != ',') return false;
        }
    }

    bool array(Json& out, std::size_t depth) {
        if (depth > kMaxNesting) return false;
        ++p_;
        out = Json::array();
        auto& elements = out.get_ref<Json::array_t&>();
        skipSpace();
        if (p_ < end_ && *p_ == ']') {
            ++p_;
            return true;
        }
        while (true) {
            skipSpace();
            elements.emplace_back();
            if (!value(elements.back(), depth)) return false;
            skipSpace();
            if (p_ == end_) return false;
            if (*p_ == ']') {
                ++p_;
                return true;
            }
            if (*p_++ != ',') return false;
        }
    }

    bool hex4(std::uint32_t& out) {
        if (end_ - p_ < 4) return false;
        out = 0;
        for (int i = 0; i < 4; ++i) {
            const unsigned char c = *p_++;
            out <<= 4;
            if (c >= '0' && c <= '9')
                out |= c - '0';
            else if (c >= 'a' && c <= 'f')
                out |= c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                out |= c - 'A' + 10;
            else
                return false;
        }
        return true;
    }

    bool escape(std::string& out) {
        if (p_ == end_) return false;
        switch (*p_++) {
        case '"':
            out.push_back('"');
            return true;
        case '\\':
            out.push_back('\\');
            return true;
        case '/':
            out.push_back('/');
            return true;
        case 'b':
            out.push_back('\b');
            return true;
        case 'f':
            out.push_back('\f');
            return true;
        case 'n':
            out.push_back('\n');
            return true;
        case 'r':
            out.push_back('\r');
            return true;
        case 't':
            out.push_back('\t');
            return true;
        case 'u': {
            std::uint32_t cp = 0;
            if (!hex4(cp)) return false;
            if (cp >= 0xdc00 && cp <= 0xdfff) return false;
            if (cp >= 0xd800 && cp <= 0xdbff) {
                std::uint32_t low = 0;
                if (!consume("\\u") || !hex4(low) || low < 0xdc00 || low > 0xdfff) return false;
                cp = 0x10000 + ((cp - 0xd800) << 10) + (low - 0xdc00);
            }
            appendUTF8(out, cp);
            return true;
        }
        default:
            return false;
        }
    }

    bool string(std::string& out) {
        ++p_; // the opening quote
        while (true) {
            const unsigned char* run = p_;
            while (p_ < end_ && *p_ >= 0x20 && *p_ < 0x80 && *p_ != '"' && *p_ != '\\')
                ++p_;
            out.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p_ - run));
            if (p_ == end_) return false;
            const unsigned char c = *p_;
            if (c == '"') {
                ++p_;
                return true;
            }
            if (c == '\\') {
                ++p_;
                if (!escape(out)) return false;
            } else if (c >= 0x80) {
                const std::size_t length = utf8::decode(p_, end_);
                if (length == 0) return false;
                out.append(reinterpret_cast<const char*>(p_), length);
                p_ += length;
            } else {
                return false; // a control character must be escaped
            }
        }
    }

    bool digits() {
        const unsigned char* start = p_;
        while (p_ < end_ && *p_ >= '0' && *p_ <= '9')
            ++p_;
        return p_ > start;
    }

    bool number(Json& out) {
        const char* start = reinterpret_cast<const char*>(p_);
        const bool negative = *p_ == '-';
        if (negative) ++p_;
        if (p_ == end_) return false;
        if (*p_ == '0')
            ++p_;
        else if (!digits())
            return false;
        bool whole = true;
        if (p_ < end_ && *p_ == '.') {
            ++p_;
            if (!digits()) return false;
            whole = false;
        }
        if (p_ < end_ && (*p_ == 'e' || *p_ == 'E')) {
            ++p_;
            if (p_ < end_ && (*p_ == '+' || *p_ == '-')) ++p_;
            if (!digits()) return false;
            whole = false;
        }
        const char* stop = reinterpret_cast<const char*>(p_);
        // Whole numbers stay integers, signed when negative, unless they do not fit.
        if (whole) {
            if (negative) {
                std::int64_t v = 0;
                if (std::from_chars(start, stop, v).ec == std::errc{}) {
                    out = v;
                    return true;
                }
            } else {
                std::uint64_t v = 0;
                if (std::from_chars(start, stop, v).ec == std::errc{}) {
                    out = v;
                    return true;
                }
            }
        }
        double v = 0;
        const auto [end, ec] = std::from_chars(start, stop, v);
        if (ec == std::errc::result_out_of_range) {
            // Below the smallest double a number rounds to zero; above the largest it has no
            // finite value and the document is refused.
            if (decimalExponent(start, stop) >= 0) return false;
            v = negative ? -0.0 : 0.0;
        } else if (ec != std::errc{} || end != stop) {
            return false;
        }
        out = v;
        return true;
    }

    const unsigned char* p_;
    const unsigned char* end_;
};

} // namespace

std::optional<Json> parse(std::string_view text) {
    if (text.size() > kMaxDocumentBytes) return std::nullopt;
    Json j;
    if (!Reader(text).document(j)) return std::nullopt;
    return j;
}

namespace {

// Documents of one thread tend to be alike (a service writes one snapshot a second), so the
// last size saves growing the text step by step.
thread_local std::size_t lastDocumentSize = 256;

std::string startDocument() {
    std::string out;
    out.reserve(lastDocumentSize + lastDocumentSize / 8);
    return out;
}

std::optional<std::string> finishDocument(std::string&& out, bool finite) {
    if (!finite) return std::nullopt;
    lastDocumentSize = std::clamp<std::size_t>(out.size(), 256, kMaxDocumentBytes);
    return std::move(out);
}

} // namespace

std::optional<std::string> dump(const Json& j) {
    std::string out = startDocument();
    const bool finite = write(out, j);
    return finishDocument(std::move(out), finite);
}

Writer::Writer()
    : out_(startDocument()) {}

Writer::Writer(Piece, std::string buffer)
    : out_(std::move(buffer)) {
    out_.clear();
}

void Writer::text(std::string_view json, bool finite) {
    separate();
    out_.append(json);
    finite_ = finite_ && finite;
}

void Writer::beginObject() {
    separate();
    out_.push_back('{');
    first_ = true;
}

void Writer::endObject() {
    out_.push_back('}');
    first_ = false;
}

void Writer::beginArray() {
    separate();
    out_.push_back('[');
    first_ = true;
}

void Writer::endArray() {
    out_.push_back(']');
    first_ = false;
}

void Writer::key(std::string_view name) {
    separate();
    writeString(out_, name);
    out_.push_back(':');
    first_ = true;
}

void Writer::value(const Json& tree) {
    separate();
    finite_ = write(out_, tree) && finite_;
}

void Writer::string(std::string_view s) {
    separate();
    writeString(out_, s);
}

void Writer::number(double v) {
    separate();
    finite_ = writeFloat(out_, v) && finite_;
}

void Writer::number(std::int64_t v) {
    separate();
    writeNumber(out_, v);
}

void Writer::number(std::uint64_t v) {
    separate();
    writeNumber(out_, v);
}

std::optional<std::string> Writer::finish() && {
    return finishDocument(std::move(out_), finite_);
}

} // namespace quillfen::json
