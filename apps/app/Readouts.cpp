#include "Readouts.h"

#include "format/Formatters.h"

#include <cmath>
#include <cstdio>

namespace quillfen::app {

NumberAndUnit splitAtSpace(const std::string& formatted) {
    const QString text = QString::fromStdString(formatted);
    const qsizetype space = text.indexOf(' ');
    if (space < 0) return {text, {}};
    return {text.left(space), text.mid(space + 1)};
}

NumberAndUnit bytesReadout(std::uint64_t bytes) {
    return splitAtSpace(Formatters::bytes(bytes));
}

NumberAndUnit rateReadout(std::uint64_t bytesPerSecond) {
    return splitAtSpace(Formatters::rate(bytesPerSecond));
}

NumberAndUnit percentReadout(double fraction) {
    QString text = QString::fromStdString(Formatters::percent(fraction));
    if (text.endsWith('%')) {
        text.chop(1);
        return {text, QStringLiteral("%")};
    }
    return {text, {}};
}

NumberAndUnit temperatureReadout(double celsius) {
    const QString text = QString::fromStdString(Formatters::temperature(celsius, false));
    const qsizetype degree = text.indexOf(QChar(0x00B0));
    if (degree < 0) return {text, {}};
    return {text.left(degree), text.mid(degree)};
}

QString minutesText(std::optional<std::int64_t> minutes) {
    if (!minutes || *minutes < 0) return kDash;
    const std::int64_t m = std::min<std::int64_t>(*minutes, 99 * 60 + 59);
    char text[32];
    std::snprintf(text, sizeof text, "%lldh %02lldm", static_cast<long long>(m / 60),
                  static_cast<long long>(m % 60));
    return QString::fromLatin1(text);
}

QString corePercentText(double percent) {
    if (!std::isfinite(percent)) return kDash;
    char text[48];
    std::snprintf(text, sizeof text, "%.1f%%", percent);
    return QString::fromLatin1(text);
}

QString rpmText(double rpm) {
    if (!std::isfinite(rpm) || std::fabs(rpm) > 1e9) return kDash;
    return QString::number(static_cast<long long>(std::round(rpm))) + QStringLiteral(" rpm");
}

} // namespace quillfen::app
