#include "format/Formatters.h"

#include "platform/fake/FakePlatform.h"
#include "settings/AppSettings.h"

#include <gtest/gtest.h>

#include <limits>

namespace quillfen {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct TemperatureCase {
    double celsius;
    TemperatureUnit unit;
    bool compact;
    const char* text;
};

void PrintTo(const TemperatureCase& c, std::ostream* os) {
    *os << c.celsius << " " << rawValue(c.unit) << (c.compact ? " compact" : "");
}

class TemperatureText : public ::testing::TestWithParam<TemperatureCase> {
protected:
    platform::fake::FakePlatform fake;
};

TEST_P(TemperatureText, RoundsHalvesAwayFromZeroInTheUsersUnit) {
    AppSettings::shared().setTemperatureUnit(GetParam().unit);
    EXPECT_EQ(Formatters::temperature(GetParam().celsius, GetParam().compact), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TemperatureText,
    ::testing::Values(TemperatureCase{21.5, TemperatureUnit::celsius, false, "22°C"},
                      TemperatureCase{21.5, TemperatureUnit::fahrenheit, false, "71°F"},
                      TemperatureCase{-0.4, TemperatureUnit::celsius, true, "0°"},
                      TemperatureCase{-0.5, TemperatureUnit::celsius, true, "-1°"},
                      TemperatureCase{100, TemperatureUnit::fahrenheit, false, "212°F"},
                      TemperatureCase{-40, TemperatureUnit::fahrenheit, true, "-40°"},
                      TemperatureCase{1e300, TemperatureUnit::fahrenheit, true, "—"},
                      TemperatureCase{kNaN, TemperatureUnit::celsius, false, "—"},
                      TemperatureCase{-kInf, TemperatureUnit::celsius, true, "—"}));

TEST(PercentText, RoundsHalvesAwayFromZero) {
    const std::pair<double, const char*> cases[] = {{0.456, "46%"}, {0.005, "1%"},  {1.0, "100%"},
                                                    {0, "0%"},      {-0.004, "0%"}, {2.5, "250%"},
                                                    {kNaN, "—"},    {kInf, "—"}};
    for (const auto& [fraction, text] : cases)
        EXPECT_EQ(Formatters::percent(fraction), text) << fraction;
}

struct BytesCase {
    std::uint64_t count;
    const char* text;
};

void PrintTo(const BytesCase& c, std::ostream* os) {
    *os << c.count;
}

class ByteText : public ::testing::TestWithParam<BytesCase> {};

TEST_P(ByteText, UsesBinaryMultiplesWithTheUnitsPrecision) {
    EXPECT_EQ(Formatters::bytes(GetParam().count), GetParam().text);
}

constexpr std::uint64_t KiB = 1024, MiB = KiB * KiB, GiB = MiB * KiB, TiB = GiB * KiB;

INSTANTIATE_TEST_SUITE_P(
    Table, ByteText,
    ::testing::Values(BytesCase{0, "0 bytes"}, BytesCase{1, "1 byte"}, BytesCase{512, "512 bytes"},
                      BytesCase{1023, "1023 bytes"}, BytesCase{1024, "1 KB"},
                      BytesCase{1536, "2 KB"}, BytesCase{1535, "1 KB"}, BytesCase{MiB - 1, "1 MB"},
                      BytesCase{MiB, "1 MB"}, BytesCase{MiB + MiB / 2, "1.5 MB"},
                      BytesCase{GiB - 1, "1 GB"},
                      BytesCase{static_cast<std::uint64_t>(12.4 * GiB), "12.4 GB"},
                      BytesCase{static_cast<std::uint64_t>(12.456 * GiB), "12.46 GB"},
                      BytesCase{TiB, "1 TB"}, BytesCase{3 * TiB + TiB / 4, "3.25 TB"},
                      BytesCase{static_cast<std::uint64_t>(INT64_MAX), "8 EB"},
                      BytesCase{static_cast<std::uint64_t>(INT64_MAX) + 1, "—"},
                      BytesCase{UINT64_MAX, "—"}));

TEST(RateText, PlainBelowOneKilobytePerSecond) {
    EXPECT_EQ(Formatters::rate(0), "0 B/s");
    EXPECT_EQ(Formatters::rate(1023), "1023 B/s");
    EXPECT_EQ(Formatters::rate(1024), "1 KB/s");
    EXPECT_EQ(Formatters::rate(5 * MiB / 2), "2.5 MB/s");
    EXPECT_EQ(Formatters::rate(UINT64_MAX), "—");
}

} // namespace
} // namespace quillfen
