#include "Readouts.h"

#include "platform/fake/FakePlatform.h"
#include "settings/AppSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quillfen::app {
namespace {

TEST(Readouts, NumbersAreSetApartFromTheirUnits) {
    struct Case {
        NumberAndUnit actual, expected;
    };
    for (const auto& [actual, expected] :
         {Case{splitAtSpace("—"), {"—", ""}}, Case{bytesReadout(3ull << 30), {"3", "GB"}},
          Case{rateReadout(2048), {"2", "KB/s"}}, Case{percentReadout(0.456), {"46", "%"}},
          Case{percentReadout(std::nan("")), {"—", ""}}})
        EXPECT_EQ(actual, expected) << expected.number.toStdString();
}

TEST(Readouts, TemperaturesFollowTheUsersUnit) {
    platform::fake::FakePlatform fake;
    EXPECT_EQ(temperatureReadout(52.4), (NumberAndUnit{"52", "°C"}));
    AppSettings::shared().setTemperatureUnit(TemperatureUnit::fahrenheit);
    EXPECT_EQ(temperatureReadout(100), (NumberAndUnit{"212", "°F"}));
}

TEST(Readouts, TimesPercentagesAndSpeedsStayReadableAtTheirLimits) {
    struct Case {
        QString actual;
        const char* expected;
    };
    const double inf = std::numeric_limits<double>::infinity();
    for (const auto& [actual, expected] :
         {Case{minutesText(125), "2h 05m"}, Case{minutesText(0), "0h 00m"},
          Case{minutesText(100 * 60), "99h 59m"}, Case{minutesText(-1), "—"},
          Case{minutesText(std::nullopt), "—"}, Case{corePercentText(12.345), "12.3%"},
          Case{corePercentText(inf), "—"}, Case{rpmText(1199.6), "1200 rpm"},
          Case{rpmText(std::nan("")), "—"}, Case{rpmText(1e12), "—"}})
        EXPECT_EQ(actual, QString::fromUtf8(expected));
}

} // namespace
} // namespace quillfen::app
