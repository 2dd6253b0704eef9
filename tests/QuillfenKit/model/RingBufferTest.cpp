#include "model/RingBuffer.h"

#include <gtest/gtest.h>

#include <limits>

namespace quillfen {

template <typename T> void PrintTo(const RingBuffer<T>& ring, std::ostream* os) {
    *os << ::testing::PrintToString(ring.values()) << " of " << ring.capacity();
}

namespace {

template <typename T> class RingBufferTest : public ::testing::Test {
protected:
    static RingBuffer<T> filled(std::int64_t capacity, const std::vector<int>& values) {
        RingBuffer<T> ring(capacity);
        for (int v : values)
            ring.append(static_cast<T>(v));
        return ring;
    }
    static std::vector<T> list(const std::vector<int>& values) {
        std::vector<T> out;
        for (int v : values)
            out.push_back(static_cast<T>(v));
        return out;
    }
    static std::optional<RingBuffer<T>> decoded(const char* text) {
        return json::decode<RingBuffer<T>>(std::string_view(text));
    }
};

using ElementTypes = ::testing::Types<double, std::int64_t>;
TYPED_TEST_SUITE(RingBufferTest, ElementTypes);

TYPED_TEST(RingBufferTest, KeepsTheNewestValuesOldestFirst) {
    using Case = std::tuple<std::int64_t, std::vector<int>, std::vector<int>>;
    for (const auto& [capacity, appended, kept] :
         {Case{60, {}, {}}, Case{3, {1, 2}, {1, 2}}, Case{3, {1, 2, 3, 4, 5}, {3, 4, 5}},
          Case{1, {7, 8, 9}, {9}}}) {
        const auto ring = this->filled(capacity, appended);
        EXPECT_EQ(ring.values(), this->list(kept)) << capacity << " " << appended.size();
        EXPECT_EQ(ring.count(), std::int64_t(kept.size()));
        EXPECT_EQ(ring.latest(),
                  kept.empty() ? std::nullopt : std::optional(TypeParam(kept.back())));
    }
    EXPECT_EQ(json::encode(RingBuffer<TypeParam>(60)), R"({"capacity":60,"values":[]})");
}

TYPED_TEST(RingBufferTest, DecodingKeepsTheNewestValuesAndClampsCapacity) {
    EXPECT_EQ(this->decoded(R"({"capacity":3,"values":[1,2,3,4,5]})"), this->filled(3, {3, 4, 5}));
    EXPECT_EQ(this->decoded(R"({"capacity":0,"values":[1]})"), this->filled(1, {}));
    auto sparse = this->decoded(R"({"values":[7],"capacity":5})");
    ASSERT_TRUE(sparse);
    sparse->append(TypeParam(8));
    EXPECT_EQ(sparse, this->filled(5, {7, 8}));
}

TYPED_TEST(RingBufferTest, MalformedDocumentsFail) {
    for (const char* bad :
         {R"({"capacity":3})", R"({"values":[]})", R"({"capacity":-1,"values":[]})",
          R"({"capacity":1e12,"values":[]})", R"({"capacity":"3","values":[]})",
          R"({"capacity":3,"values":[1,"2"]})", R"([3,[1]])"})
        EXPECT_FALSE(this->decoded(bad)) << bad;
}

// The text of the values is kept between encodings; every change must show in the next one.
TYPED_TEST(RingBufferTest, EachEncodingShowsTheValuesAsTheyAreNow) {
    auto ring = this->filled(3, {1, 2});
    const auto before = json::encode(ring);
    EXPECT_EQ(json::encode(ring), before);
    const auto copy = ring;
    ring.append(TypeParam(3));
    ring.append(TypeParam(4));
    EXPECT_EQ(json::encode(ring), json::encode(this->filled(3, {2, 3, 4})));
    EXPECT_EQ(json::encode(copy), before) << "a copy keeps its own values";
    ring = *this->decoded(R"({"capacity":2,"values":[9]})");
    EXPECT_EQ(json::encode(ring), json::encode(this->filled(2, {9})));
}

TEST(RingBufferOfDoubles, ANumberThatIsNotFiniteRefusesTheDocumentEveryTime) {
    RingBuffer<double> ring(2);
    ring.append(std::numeric_limits<double>::quiet_NaN());
    EXPECT_FALSE(json::encode(ring));
    EXPECT_FALSE(json::encode(ring)) << "also when its text was kept";
    ring.append(1);
    ring.append(2);
    EXPECT_EQ(json::encode(ring), R"({"capacity":2,"values":[1.0,2.0]})");
}

} // namespace
} // namespace quillfen
