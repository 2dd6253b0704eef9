#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>

// The texts of the monitor's read-outs, split into a number and its unit where the views set
// the two apart.
namespace quillfen::app {

// What a reading still on its way shows.
inline const QString kDash = QStringLiteral("—");

struct NumberAndUnit {
    QString number;
    QString unit;
    bool operator==(const NumberAndUnit&) const = default;
};

// "9.2 GB" → 9.2 and GB; a text without a space is all number.
NumberAndUnit splitAtSpace(const std::string& formatted);
// A byte count, a rate, a fraction as a whole percent ("42" and "%").
NumberAndUnit bytesReadout(std::uint64_t bytes);
NumberAndUnit rateReadout(std::uint64_t bytesPerSecond);
NumberAndUnit percentReadout(double fraction);
// A temperature in the user's unit: "52" and "°C".
NumberAndUnit temperatureReadout(double celsius);
// "2h 05m" from minutes; "—" for none.
QString minutesText(std::optional<std::int64_t> minutes);
// "12.3%" of one core.
QString corePercentText(double percent);
// "1200 rpm".
QString rpmText(double rpm);

} // namespace quillfen::app
