#pragma once

#include "support/Json.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillfen {

// The newest `capacity` values of one metric, oldest first; an append overwrites the oldest
// once full. The slots are allocated once, so appending never allocates. A plain value:
// copies copy the contents.
template <typename T> class RingBuffer {
public:
    // Histories are short; a decoded document naming a larger capacity is refused rather
    // than allowed to make the reader allocate without bound.
    static constexpr std::int64_t maximumCapacity = 1 << 16;

    // A capacity below 1 is a caller's error; it is raised to 1 rather than indexed with.
    explicit RingBuffer(std::int64_t capacity = 1)
        : storage(static_cast<std::size_t>(std::max<std::int64_t>(capacity, 1))) {}

    std::int64_t capacity() const { return static_cast<std::int64_t>(storage.size()); }
    std::int64_t count() const { return count_; }

    void append(T value) {
        storage[static_cast<std::size_t>(head)] = std::move(value);
        head = head + 1 == capacity() ? 0 : head + 1;
        if (count_ < capacity()) ++count_;
        valuesText_.valid = false;
    }

    std::vector<T> values() const {
        std::vector<T> out;
        if (count_ < 1) return out;
        out.reserve(static_cast<std::size_t>(count_));
        forEach([&](const T& value) { out.push_back(value); });
        return out;
    }

    // Calls `visit` with each value, oldest first, as `values` lists them.
    template <typename Visit> void forEach(Visit visit) const {
        const std::int64_t start = count_ < capacity() ? 0 : head;
        for (std::int64_t i = 0; i < count_; ++i)
            if (const auto& slot = storage[static_cast<std::size_t>((start + i) % capacity())])
                visit(*slot);
    }

    std::optional<T> latest() const {
        if (count_ < 1) return std::nullopt;
        return storage[static_cast<std::size_t>((head - 1 + capacity()) % capacity())];
    }

    // Same capacity and the same values in the same order.
    bool operator==(const RingBuffer& other) const {
        return capacity() == other.capacity() && values() == other.values();
    }

    // The values as JSON text, written once after each change: a snapshot carries every
    // history every second, and while only the menu bar is shown none of them changes.
    void writeValues(json::Writer& w) const {
        if (!valuesText_.valid) {
            json::Writer piece(json::Writer::Piece{}, std::move(valuesText_.text));
            piece.beginArray();
            forEach([&](const T& value) { piece.value(value); });
            piece.endArray();
            valuesText_.finite = piece.finite();
            valuesText_.text = std::move(piece).takePiece();
            valuesText_.valid = true;
        }
        w.text(valuesText_.text, valuesText_.finite);
    }

private:
    struct Text {
        std::string text;
        bool finite = true;
        bool valid = false;
    };

    std::vector<std::optional<T>> storage;
    std::int64_t head = 0;
    std::int64_t count_ = 0;
    mutable Text valuesText_;
};

template <typename T> void to_json(json::Json& j, const RingBuffer<T>& ring) {
    j = json::Json{{"capacity", ring.capacity()}, {"values", ring.values()}};
}

// The same document streamed, as a snapshot sends eight of them every second.
template <typename T> void write(json::Writer& w, const RingBuffer<T>& ring) {
    w.beginObject();
    w.field("capacity", ring.capacity());
    w.key("values");
    ring.writeValues(w);
    w.endObject();
}

// Keeps the newest values when the document holds more than its capacity; a capacity of 0
// gives an empty ring of capacity 1; a negative or oversized capacity fails.
template <typename T> bool from_json(const json::Json& j, RingBuffer<T>& ring) {
    std::int64_t capacity = 0;
    std::vector<T> values;
    if (!j.is_object() || !json::required(j, "capacity", capacity) ||
        !json::required(j, "values", values))
        return false;
    if (capacity < 0 || capacity > RingBuffer<T>::maximumCapacity) return false;
    RingBuffer<T> decoded(capacity);
    const std::size_t keep = std::min(values.size(), static_cast<std::size_t>(capacity));
    for (auto it = values.end() - static_cast<std::ptrdiff_t>(keep); it != values.end(); ++it)
        decoded.append(std::move(*it));
    ring = std::move(decoded);
    return true;
}

} // namespace quillfen
