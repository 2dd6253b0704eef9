#include "TrayChips.h"

#include "format/Formatters.h"
#include "settings/AppSettings.h"
#include "ui/Palette.h"
#include "ui/QFView.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>

namespace quillfen::menu {
namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

const QString kUnknown = QString::fromUtf8(Formatters::unknown);

// The temperature the menu bar stands for: the processor's, else whichever part reports.
std::optional<double> shownTemperature(const SnapshotValues& values) {
    if (!values.thermal) return std::nullopt;
    const auto& t = *values.thermal;
    for (const auto& reading : {t.cpuTemperatureC, t.gpuTemperatureC, t.storageTemperatureC,
                                t.batteryTemperatureC, t.memoryTemperatureC})
        if (reading) return reading;
    return std::nullopt;
}

QString tooltipName(MenuBarMetric metric) {
    switch (metric) {
    case MenuBarMetric::cpu:
        return QStringLiteral("CPU");
    case MenuBarMetric::gpu:
        return QStringLiteral("GPU");
    case MenuBarMetric::memory:
        return QStringLiteral("Memory");
    case MenuBarMetric::temperature:
        return QStringLiteral("Temperature");
    case MenuBarMetric::battery:
        return QStringLiteral("Battery");
    case MenuBarMetric::netDown:
        return QStringLiteral("Network ↓");
    case MenuBarMetric::netUp:
        return QStringLiteral("Network ↑");
    }
    return {};
}

QString fullValue(MenuBarMetric metric, const SnapshotValues& values) {
    switch (metric) {
    case MenuBarMetric::cpu:
        if (values.cpu) return text(Formatters::percent(values.cpu->overall));
        break;
    case MenuBarMetric::gpu:
        if (values.gpu) return text(Formatters::percent(values.gpu->utilization));
        break;
    case MenuBarMetric::memory:
        if (values.memory)
            return text(Formatters::bytes(values.memory->used()) + " of " +
                        Formatters::bytes(values.memory->total));
        break;
    case MenuBarMetric::temperature:
        if (const auto t = shownTemperature(values))
            return text(Formatters::temperature(*t, false));
        break;
    case MenuBarMetric::battery:
        if (values.battery)
            return text(Formatters::percent(values.battery->chargePercent)) +
                   (values.battery->isCharging ? QStringLiteral(", charging")
                    : values.battery->isOnAC   ? QStringLiteral(", on AC")
                                               : QString());
        break;
    case MenuBarMetric::netDown:
        if (values.network) return text(Formatters::rate(values.network->bytesInPerSec));
        break;
    case MenuBarMetric::netUp:
        if (values.network) return text(Formatters::rate(values.network->bytesOutPerSec));
        break;
    }
    return kUnknown;
}

} // namespace

QString compactBytes(std::uint64_t count) {
    static constexpr char units[] = {'B', 'K', 'M', 'G', 'T', 'P', 'E'};
    double value = static_cast<double>(count);
    std::size_t unit = 0;
    // A value that would print as 1024 of its unit moves on to the next.
    while (unit + 1 < std::size(units) && std::round(value) >= 1024) {
        value /= 1024;
        ++unit;
    }
    // One decimal only where it says something: below 10, and never on plain bytes.
    if (unit > 0 && std::round(value * 10) < 100) {
        const double tenths = std::round(value * 10) / 10;
        return QString::number(tenths, 'f', tenths == std::floor(tenths) ? 0 : 1) +
               QChar(units[unit]);
    }
    return QString::number(std::round(value), 'f', 0) + QChar(units[unit]);
}

QString compactValue(MenuBarMetric metric, const SnapshotValues& values) {
    switch (metric) {
    case MenuBarMetric::cpu:
        if (values.cpu) return text(Formatters::percent(values.cpu->overall));
        break;
    case MenuBarMetric::gpu:
        if (values.gpu) return text(Formatters::percent(values.gpu->utilization));
        break;
    case MenuBarMetric::memory:
        if (values.memory) return compactBytes(values.memory->used());
        break;
    case MenuBarMetric::temperature:
        if (const auto t = shownTemperature(values)) return text(Formatters::temperature(*t, true));
        break;
    case MenuBarMetric::battery:
        if (values.battery) return text(Formatters::percent(values.battery->chargePercent));
        break;
    case MenuBarMetric::netDown:
        if (values.network) return compactBytes(values.network->bytesInPerSec);
        break;
    case MenuBarMetric::netUp:
        if (values.network) return compactBytes(values.network->bytesOutPerSec);
        break;
    }
    return kUnknown;
}

QString trayTooltip(const std::vector<MenuBarMetric>& metrics, const SnapshotValues& values) {
    QStringList lines{QStringLiteral("Quillfen")};
    for (const auto metric : metrics)
        lines << tooltipName(metric) + QStringLiteral(": ") + fullValue(metric, values);
    return lines.join('\n');
}

TrayIconState trayIconState(const SnapshotValues& values, TrayShape shape) {
    const auto& settings = AppSettings::shared();
    TrayIconState state;
    for (const auto metric : settings.menuBarMetrics())
        state.chips.push_back({metric, qfMenuBarShortLabel(metric), compactValue(metric, values)});
    state.options.twoLineLabels = settings.twoLineMenuBarLabels();
    state.options.compactSpacing = settings.compactMenuBarSpacing();
    state.theme = settings.menuBarTheme();
    state.shape = shape;
    // A square shows one chip; the others change nothing there.
    if (shape == TrayShape::square && state.chips.size() > 1) state.chips.resize(1);
    return state;
}

QImage renderTrayIcon(const TrayIconState& state, double devicePixelRatio, int height) {
    const auto layout = qfMenuBarChipsLayout(state.chips, state.options, height);
    const double width = state.shape == TrayShape::square ? height : std::max(1.0, layout.width);
    QImage image(
        QSize(int(std::ceil(width * devicePixelRatio)), int(std::ceil(height * devicePixelRatio))),
        QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QFPainter painter(&image);
    if (state.shape == TrayShape::square && layout.width > 0) {
        // Centred, and shrunk about the centre when wider than the square.
        const double scale = std::min(1.0, width / layout.width);
        painter.translate(width / 2, height / 2.0);
        painter.scale(scale, scale);
        painter.translate(-layout.width / 2, -height / 2.0);
    }
    // White values on the dark panels most desktops have; the light theme is for light ones.
    const QColor valueColor = isLight(state.theme) ? QFSurfaces::light().text1 : QColor(Qt::white);
    qfPaintMenuBarChips(painter, layout, state.theme, /*previewBackground=*/false, {}, valueColor);
    return image;
}

} // namespace quillfen::menu
