#include "MenuShots.h"
#include "SampleData.h"

#include "PopoverWindow.h"
#include "TrayChips.h"

#include "model/SystemSnapshot.h"
#include "settings/AppSettings.h"
#include "ui/Fonts.h"
#include "ui/QFText.h"

#include <QCoreApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <iostream>

namespace quillfen::gallery {
namespace {

SnapshotValues::History history(const std::vector<double>& values) {
    SnapshotValues::History h(SnapshotValues::historyCapacity);
    for (const double v : values)
        h.append(v);
    return h;
}

// A busy afternoon on a laptop.
SnapshotValues machine() {
    const auto data = makeSampleData();
    SnapshotValues s;
    s.cpu = CPUReading{.perCore = data.cores,
                       .overall = data.cpuUser.back() + data.cpuSystem.back(),
                       .user = data.cpuUser.back(),
                       .system = data.cpuSystem.back()};
    s.gpu = GPUReading{.utilization = data.gpu.back(), .model = "Radeon 780M"};
    s.memory = MemoryReading{.total = 32ull << 30,
                             .app = 17ull << 30,
                             .wired = 5ull << 30,
                             .compressed = 2ull << 30,
                             .available = 8ull << 30};
    s.network = NetworkReading{.bytesInPerSec = std::uint64_t(data.netIn.back()),
                               .bytesOutPerSec = std::uint64_t(data.netOut.back())};
    s.disk = DiskReading{.bytesReadPerSec = std::uint64_t(data.diskRead.back()),
                         .bytesWrittenPerSec = std::uint64_t(data.diskWrite.back())};
    s.thermal = ThermalReading{.cpuTemperatureC = 61.4, .gpuTemperatureC = 48};
    s.fan = FanReading{.rpm = 2150,
                       .fanCount = 2,
                       .rpms = std::vector<double>{2150, 1980},
                       .minRPM = 1200,
                       .maxRPM = 5400};
    s.battery = BatteryReading{
        .chargePercent = 0.82, .isCharging = false, .timeRemainingMinutes = 214, .watts = -11.6};
    s.hasBattery = true;
    s.sensorsAvailable = true;
    s.cpuUserHistory = history(data.cpuUser);
    s.cpuSystemHistory = history(data.cpuSystem);
    s.gpuHistory = history(data.gpu);
    s.memoryUsedHistory = history(data.memory);
    s.netInHistory = history(data.netIn);
    s.netOutHistory = history(data.netOut);
    s.diskReadHistory = history(data.diskRead);
    s.diskWriteHistory = history(data.diskWrite);
    return s;
}

bool save(const QImage& image, const QString& path) {
    if (!image.save(path, "PNG")) {
        std::cerr << "quillfen-gallery: cannot write " << path.toStdString() << "\n";
        return false;
    }
    std::cout << path.toStdString() << " " << image.width() << "x" << image.height() << "\n";
    return true;
}

QString suffix(double scale) {
    return scale == 2 ? QStringLiteral("@2x") : QString();
}

bool writePopover(const QString& dir, double scale, QFThemeChoice theme, SystemSnapshot& snapshot) {
    AppSettings::shared().setTheme(theme);
    menu::PopoverWindow popover(snapshot, {}, menu::PopoverWindow::Mode::popover, true);
    popover.setAttribute(Qt::WA_DontShowOnScreen);
    popover.showAt(std::nullopt);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents();
    QImage image(popover.size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    {
        // A desktop behind it, so the shadow and the rounded corners show.
        QPainter p(&image);
        QLinearGradient backdrop(QPointF(), QPointF(popover.rect().bottomRight()));
        backdrop.setColorAt(0, QColor(84, 110, 142));
        backdrop.setColorAt(1, QColor(160, 138, 120));
        p.fillRect(QRectF(QPointF(), popover.size()), backdrop);
    }
    popover.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    popover.hide();
    return save(image, QStringLiteral("%1/popover-%2%3.png")
                           .arg(dir, QString::fromUtf8(rawValue(theme)), suffix(scale)));
}

// Rows of icons as the tray would show them, on a dark and on a light panel.
bool writeTray(const QString& dir, double scale, QFThemeChoice menuBarTheme,
               const SnapshotValues& values) {
    auto& settings = AppSettings::shared();
    settings.setMenuBarTheme(menuBarTheme);
    settings.setMenuBarMetrics({MenuBarMetric::cpu, MenuBarMetric::memory,
                                MenuBarMetric::temperature, MenuBarMetric::netDown,
                                MenuBarMetric::netUp, MenuBarMetric::battery});
    struct Row {
        const char* title;
        bool twoLine, compact;
        menu::TrayShape shape;
    };
    const Row rows[] = {
        {"one line", false, false, menu::TrayShape::wide},
        {"two lines", true, false, menu::TrayShape::wide},
        {"two lines, compact", true, true, menu::TrayShape::wide},
        {"square, one line", false, false, menu::TrayShape::square},
        {"square, two lines", true, false, menu::TrayShape::square},
    };
    const double rowHeight = 34, titleWidth = 140, panelWidth = 420;
    const QColor panels[] = {QColor(30, 32, 40), QColor(232, 233, 238)};
    const QSizeF size(titleWidth + 2 * panelWidth, rowHeight * std::size(rows));
    QImage image((size * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(QColor(52, 54, 62));
    QPainter p(&image);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        const double y = i * rowHeight;
        qfDrawText(p, 10, y + rowHeight / 2 + 4, QString::fromUtf8(row.title), qf(11),
                   QColor(220, 220, 228));
        settings.setTwoLineMenuBarLabels(row.twoLine);
        settings.setCompactMenuBarSpacing(row.compact);
        const QImage icon = menu::renderTrayIcon(menu::trayIconState(values, row.shape), scale);
        for (int panel = 0; panel < 2; ++panel) {
            const double x = titleWidth + panel * panelWidth;
            p.fillRect(QRectF(x, y + 3, panelWidth - 6, rowHeight - 6), panels[panel]);
            p.drawImage(QPointF(x + 12, y + (rowHeight - menu::kTrayIconHeight) / 2), icon);
        }
    }
    p.end();
    return save(image, QStringLiteral("%1/tray-%2%3.png")
                           .arg(dir, QString::fromUtf8(rawValue(menuBarTheme)), suffix(scale)));
}

} // namespace

int writeMenuShots(const QString& dir, double scale) {
    SystemSnapshot snapshot;
    snapshot.apply(machine());
    for (const auto theme : {QFThemeChoice::multi, QFThemeChoice::mono, QFThemeChoice::light})
        if (!writePopover(dir, scale, theme, snapshot)) return 1;
    for (const auto theme : {QFThemeChoice::multi, QFThemeChoice::monoGray, QFThemeChoice::light})
        if (!writeTray(dir, scale, theme, snapshot.values())) return 1;
    return 0;
}

} // namespace quillfen::gallery
