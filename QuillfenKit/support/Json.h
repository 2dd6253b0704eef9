#pragma once

// Strict JSON conventions shared by every record of the kit.
//
// Encoding writes keys in declaration order, leaves absent optionals out and refuses
// non-finite numbers (the whole document is then not produced). Decoding is strict:
// required keys must be present with the right type, a missing or null optional is
// absent, integers must be whole and in range, booleans are only true/false, unknown
// keys are ignored, and a failed decode yields nothing at all.

#include <nlohmann/json.hpp>

#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace quillfen::json {

using Json = nlohmann::ordered_json;

// Largest document any reader of the kit accepts; everything it exchanges is far smaller,
// and a hostile file must not make a reader allocate without bound.
inline constexpr std::size_t kMaxDocumentBytes = 1 << 20;

// --- Decoding of single values -------------------------------------------------------------

inline bool decodeValue(const Json& j, bool& out) {
    if (!j.is_boolean()) return false;
    out = j.get<bool>();
    return true;
}

inline bool decodeValue(const Json& j, double& out) {
    if (!j.is_number()) return false;
    out = j.get<double>();
    return true;
}

inline bool decodeValue(const Json& j, std::string& out) {
    if (!j.is_string()) return false;
    out = j.get_ref<const std::string&>();
    return true;
}

template <std::integral T>
requires(!std::same_as<T, bool>) bool decodeValue(const Json& j, T& out) {
    if (j.is_number_unsigned()) {
        const auto v = j.get<std::uint64_t>();
        if (v > static_cast<std::uint64_t>(std::numeric_limits<T>::max())) return false;
        out = static_cast<T>(v);
        return true;
    }
    if (j.is_number_integer()) {
        const auto v = j.get<std::int64_t>();
        if constexpr (std::is_unsigned_v<T>) {
            if (v < 0 || static_cast<std::uint64_t>(v) > std::numeric_limits<T>::max())
                return false;
        } else {
            if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max())
                return false;
        }
        out = static_cast<T>(v);
        return true;
    }
    if (j.is_number_float()) {
        // Another encoder may write a whole number as 3.0; accept it only when it is exact.
        const double v = j.get<double>();
        if (!std::isfinite(v) || std::trunc(v) != v) return false;
        // The bounds are powers of two (or one less), so these comparisons are exact.
        constexpr double lo = static_cast<double>(std::numeric_limits<T>::min());
        constexpr double hiExclusive =
            2.0 * static_cast<double>(std::numeric_limits<T>::max() / 2 + 1);
        if (v < lo || v >= hiExclusive) return false;
        out = static_cast<T>(v);
        return true;
    }
    return false;
}

// Records opt in with a free `bool from_json(const Json&, Record&)` found by lookup.
template <typename T>
concept DecodableRecord = requires(const Json& j, T& r) {
    { from_json(j, r) } -> std::same_as<bool>;
};

template <DecodableRecord T> bool decodeValue(const Json& j, T& out) {
    T tmp{};
    if (!from_json(j, tmp)) return false;
    out = std::move(tmp);
    return true;
}

template <typename T> bool decodeValue(const Json& j, std::vector<T>& out) {
    if (!j.is_array()) return false;
    std::vector<T> tmp;
    tmp.reserve(j.size());
    for (const auto& e : j) {
        T v{};
        if (!decodeValue(e, v)) return false;
        tmp.push_back(std::move(v));
    }
    out = std::move(tmp);
    return true;
}

// --- Keys of an object ---------------------------------------------------------------------

template <typename T> bool required(const Json& obj, std::string_view key, T& out) {
    const auto it = obj.find(key);
    if (it == obj.end()) return false;
    return decodeValue(*it, out);
}

template <typename T> bool optional(const Json& obj, std::string_view key, std::optional<T>& out) {
    const auto it = obj.find(key);
    if (it == obj.end() || it->is_null()) {
        out.reset();
        return true;
    }
    T v{};
    if (!decodeValue(*it, v)) return false;
    out = std::move(v);
    return true;
}

// The text under `key` of an object (an information dictionary, say); nothing when the key
// is missing, the value is no text, or there is no object at all.
inline std::optional<std::string> textIn(const Json& object, std::string_view key) {
    if (!object.is_object()) return std::nullopt;
    const auto it = object.find(key);
    if (it == object.end() || !it->is_string()) return std::nullopt;
    return it->get<std::string>();
}
inline std::optional<std::string> textIn(const std::optional<Json>& object, std::string_view key) {
    if (!object) return std::nullopt;
    return textIn(*object, key);
}

// Adds `key` only when the optional holds a value.
template <typename T> void putOptional(Json& obj, const char* key, const std::optional<T>& value) {
    if (value) obj[key] = *value;
}

// --- Whole documents -----------------------------------------------------------------------

// Deepest nesting of arrays and objects a reader accepts; the product's own documents stay
// below 8.
inline constexpr std::size_t kMaxNesting = 64;

// Parses at most kMaxDocumentBytes nested at most kMaxNesting deep; anything malformed,
// oversized, deeper or with a key repeated in one object gives nothing.
std::optional<Json> parse(std::string_view text);

// Compact text of a tree, or nothing when it holds a non-finite number.
std::optional<std::string> dump(const Json& j);

// Compact text written straight from a record, for documents too large to build a tree for
// each time they are sent (a snapshot goes out every second). A record opts in with a free
// `void write(json::Writer&, const Record&)` found by lookup; values it hands over that have
// no such function are written through their tree, so the text is the same either way.
class Writer {
public:
    Writer();

    // A piece of a document, written into `buffer` (whose room is reused), to be handed to
    // another writer's `text` later.
    struct Piece {};
    Writer(Piece, std::string buffer);

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view name);

    template <typename T> void value(const T& v);
    void value(const Json& tree);

    template <typename T> void field(std::string_view name, const T& v) {
        key(name);
        value(v);
    }
    // Writes `name` only when the optional holds a value.
    template <typename T> void optionalField(std::string_view name, const std::optional<T>& v) {
        if (v) field(name, *v);
    }

    // A value written before as a piece: its text, and whether its numbers were finite.
    void text(std::string_view json, bool finite);

    // The text, or nothing when a number on the way was not finite.
    std::optional<std::string> finish() &&;
    // A piece's text, whatever its numbers; `finite` tells whether they were.
    std::string takePiece() && { return std::move(out_); }
    bool finite() const { return finite_; }

private:
    void separate() {
        if (!first_) out_.push_back(',');
        first_ = false;
    }
    void string(std::string_view s);
    void number(double v);
    void number(std::int64_t v);
    void number(std::uint64_t v);

    std::string out_;
    bool first_ = true; // nothing written yet at this level, or a key just written
    bool finite_ = true;
};

template <typename T>
concept WritableRecord = requires(Writer& w, const T& r) {
    write(w, r);
};

template <typename T> inline constexpr bool isVector = false;
template <typename T, typename A> inline constexpr bool isVector<std::vector<T, A>> = true;

template <typename T> void Writer::value(const T& v) {
    if constexpr (std::same_as<T, bool>) {
        separate();
        out_ += v ? "true" : "false";
    } else if constexpr (std::floating_point<T>) {
        number(static_cast<double>(v));
    } else if constexpr (std::signed_integral<T>) {
        number(static_cast<std::int64_t>(v));
    } else if constexpr (std::unsigned_integral<T>) {
        number(static_cast<std::uint64_t>(v));
    } else if constexpr (std::convertible_to<const T&, std::string_view>) {
        string(v);
    } else if constexpr (WritableRecord<T>) {
        write(*this, v);
    } else if constexpr (isVector<T>) {
        beginArray();
        for (const auto& element : v)
            value(element);
        endArray();
    } else {
        value(Json(v));
    }
}

template <typename T> std::optional<std::string> encode(const T& record) {
    if constexpr (WritableRecord<T>) {
        Writer w;
        write(w, record);
        return std::move(w).finish();
    } else {
        Json j;
        to_json(j, record);
        return dump(j);
    }
}

template <typename T> std::optional<T> decode(const Json& j) {
    T out{};
    if (!decodeValue(j, out)) return std::nullopt;
    return out;
}

template <typename T> std::optional<T> decode(std::string_view text) {
    const auto j = parse(text);
    if (!j) return std::nullopt;
    return decode<T>(*j);
}

} // namespace quillfen::json
