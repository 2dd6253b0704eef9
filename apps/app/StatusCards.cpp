// The cards of the machine's state beside its load: sensors and battery.

#include "Buttons.h"
#include "MonitorCards.h"

#include "SettingsScene/SettingsView.h"
#include "companions/HelperApp.h"
#include "format/Formatters.h"
#include "settings/AppSettings.h"
#include "ui/QFFillBar.h"
#include "ui/QFRing.h"
#include "ui/QFSectionHeading.h"
#include "ui/QFSetRow.h"
#include "ui/QFStat.h"
#include "ui/QFStatTile.h"
#include "ui/QFText.h"

#include <QGridLayout>
#include <QResizeEvent>

#include <cmath>

namespace quillfen::app {
namespace {

// A temperature tile turns to the warning colour from here on.
constexpr double kHotC = 90;
constexpr double kTileMinWidth = 100, kTileSpacing = 10;

void clear(QLayout* layout) {
    while (auto* item = layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
}

// One fan: its name, a bar from its lowest to its highest speed, the speed and the range.
QWidget* fanRow(const QString& name, double rpm, std::optional<RPMRange> range) {
    auto* row = new QWidget;
    row->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(12);
    auto* label = new QFText({.text = name, .font = qf(12), .color = QFRole::text1});
    label->setFixedWidth(48);
    line->addWidget(label);
    double fraction = 0;
    if (range && std::isfinite(rpm)) fraction = (rpm - range->min) / (range->max - range->min);
    line->addWidget(new QFFillBar({.fraction = fraction, .color = QFRole::cpu}), 1);
    auto* speed = new QFText({.text = rpmText(rpm),
                              .font = qfMono(12, QFont::Medium),
                              .color = QFRole::text1,
                              .alignment = Qt::AlignRight});
    speed->setFixedWidth(76);
    line->addWidget(speed);
    if (range) {
        auto* span = new QFText(
            {.text =
                 QStringLiteral("%1–%2").arg(std::lround(range->min)).arg(std::lround(range->max)),
             .font = qfMono(11),
             .color = QFRole::text3,
             .alignment = Qt::AlignRight});
        span->setFixedWidth(80);
        line->addWidget(span);
    }
    return row;
}

} // namespace

// --- Sensors -------------------------------------------------------------------------------

SensorsCard::SensorsCard(SystemSnapshot& snapshot, QWidget* parent)
    : MonitorCard(snapshot, parent)
    , setUp_(new SecondaryButton("Set up…"))
    , none_(new QFText({.text = "No temperature or fan sensors found on this machine",
                        .font = qf(12),
                        .color = QFRole::text3}))
    , tilesBox_(new QWidget)
    , tiles_(new QGridLayout(tilesBox_))
    , fansBox_(new QWidget)
    , fans_(new QVBoxLayout(fansBox_)) {
    addWidget(new QFSectionHeading(
        {.icon = "thermometer.medium", .color = QFRole::warn, .title = "Sensors"}));
    auto* row = new QFSetRow(
        {.label = "Temperatures and fans need the Quillfen Helper", .isFirst = true}, setUp_);
    prompt_ = row;
    addWidget(prompt_);
    addWidget(none_);
    tiles_->setContentsMargins(0, 0, 0, 0);
    tiles_->setSpacing(int(kTileSpacing));
    tilesBox_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    addWidget(tilesBox_);
    fans_->setContentsMargins(0, 4, 0, 0);
    fans_->setSpacing(10);
    fansBox_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    addWidget(fansBox_);
    connect(setUp_, &QAbstractButton::clicked, this,
            [] { showSettingsWindow(SettingsView::Tab::general); });
    for (auto signal : {&SystemSnapshot::thermalChanged, &SystemSnapshot::fanChanged,
                        &SystemSnapshot::sensorsAvailableChanged})
        connect(&snapshot_, signal, this, &SensorsCard::showReadings);
    connect(&AppSettings::shared(), &AppSettings::temperatureUnitChanged, this, [this] {
        shownTiles_.clear();
        clear(tiles_);
        showReadings();
    });
    showReadings();
}

bool SensorsCard::showsHelperPrompt() const {
    return !snapshot_.sensorsAvailable();
}

void SensorsCard::refreshHelperState() {
    if (!showsHelperPrompt()) return;
    QString hint;
    if (!HelperApp::isInstalled())
        hint = "The helper is not installed.";
    else if (!HelperApp::isRunning())
        hint = "The helper is installed but not running.";
    else
        hint = "The helper is running, but its readings do not arrive.";
    auto* row = static_cast<QFSetRow*>(prompt_);
    if (row->options().hint == hint) return;
    auto o = row->options();
    o.hint = hint;
    row->setOptions(o);
}

void SensorsCard::showReadings() {
    const bool available = snapshot_.sensorsAvailable();
    prompt_->setVisible(!available);
    if (!available) refreshHelperState();

    std::vector<std::pair<QString, NumberAndUnit>> tiles;
    std::vector<bool> hot;
    if (available && snapshot_.thermal()) {
        const ThermalReading& t = *snapshot_.thermal();
        for (const auto& [label, value] :
             {std::pair{"CPU", t.cpuTemperatureC}, std::pair{"GPU", t.gpuTemperatureC},
              std::pair{"Memory", t.memoryTemperatureC},
              std::pair{"Battery", t.batteryTemperatureC},
              std::pair{"Storage", t.storageTemperatureC}}) {
            if (!value || !std::isfinite(*value)) continue;
            tiles.emplace_back(label, temperatureReadout(*value));
            hot.push_back(*value >= kHotC);
        }
    }
    if (tiles != shownTiles_) {
        const bool sameLabels =
            tiles.size() == shownTiles_.size() &&
            std::equal(tiles.begin(), tiles.end(), shownTiles_.begin(),
                       [](const auto& a, const auto& b) { return a.first == b.first; });
        if (!sameLabels) {
            clear(tiles_);
            const int columns =
                std::max(1, std::min(int(tiles.size()), int((width() - 32 + kTileSpacing) /
                                                            (kTileMinWidth + kTileSpacing))));
            for (std::size_t i = 0; i < tiles.size(); ++i)
                tiles_->addWidget(new QFStatTile({.label = tiles[i].first}), int(i) / columns,
                                  int(i) % columns);
        }
        for (std::size_t i = 0; i < tiles.size(); ++i) {
            auto* tile = static_cast<QFStatTile*>(tiles_->itemAt(int(i))->widget());
            auto o = tile->options();
            o.value = tiles[i].second.number;
            o.sub = tiles[i].second.unit;
            o.color = hot[i] ? QFColor(QFRole::warn) : QFColor(QFRole::text1);
            tile->setOptions(o);
        }
        shownTiles_ = tiles;
    }
    tilesBox_->setVisible(!tiles.empty());

    std::optional<FanReading> fans;
    if (available && snapshot_.fan() &&
        (snapshot_.fan()->fanCount > 0 || snapshot_.fan()->isSpinning()))
        fans = snapshot_.fan();
    if (fans != shownFans_) {
        clear(fans_);
        if (fans) {
            const auto speeds = fans->perFanRPMs();
            for (std::size_t i = 0; i < speeds.size(); ++i)
                fans_->addWidget(
                    fanRow(QStringLiteral("Fan %1").arg(i + 1), speeds[i], fans->range()));
        }
        shownFans_ = fans;
    }
    fansBox_->setVisible(fans.has_value());
    none_->setVisible(available && tiles.empty() && !fans);
}

// --- Battery -------------------------------------------------------------------------------

BatteryCard::BatteryCard(SystemSnapshot& snapshot, QWidget* parent)
    : MonitorCard(snapshot, parent)
    , status_(new QFText({.font = qf(11), .color = QFRole::text3}))
    , charge_(new QFText({.text = kDash,
                          .font = qfMono(16, QFont::Medium),
                          .color = QFRole::text1,
                          .alignment = Qt::AlignHCenter})) {
    addWidget(new QFSectionHeading(
        {.icon = "battery.100", .color = QFRole::bat, .title = "Battery"}, status_));
    ring_ = new QFRing({.size = 64, .stroke = 6, .color = QFRole::bat}, charge_);
    auto* row = new QHBoxLayout;
    row->setSpacing(28);
    row->addWidget(ring_, 0, Qt::AlignVCenter);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(28);
    grid->setVerticalSpacing(12);
    for (int i = 0; i < 4; ++i) {
        stats_.push_back(new QFStat({.size = 15}));
        grid->addWidget(stats_.back(), i / 2, i % 2);
    }
    row->addLayout(grid);
    row->addStretch(1);
    addLayout(row);
    connect(&snapshot_, &SystemSnapshot::batteryChanged, this, &BatteryCard::showReading);
    showReading();
}

void BatteryCard::showReading() {
    const auto& b = snapshot_.battery();
    status_->setText(!b              ? QString()
                     : b->isCharging ? QStringLiteral("Charging")
                     : b->isOnAC     ? QStringLiteral("On AC")
                                     : QStringLiteral("On battery"));
    const bool low = b && b->chargePercent < 0.2 && !b->isCharging;
    ring_->setOptions({.value = b ? b->chargePercent : 0,
                       .size = 64,
                       .stroke = 6,
                       .color = low ? QFRole::warn : QFRole::bat});
    charge_->setText(b ? QString::fromStdString(Formatters::percent(b->chargePercent)) : kDash);
    charge_->setColor(b ? QFColor(QFRole::text1) : QFColor(QFRole::text4));

    const auto set = [](QFStat* stat, const QString& label, std::optional<NumberAndUnit> v) {
        QFStat::Options o{.label = label,
                          .value = v ? v->number : kDash,
                          .unit = v && !v->unit.isEmpty() ? std::optional(v->unit) : std::nullopt,
                          .color = v ? QFColor(QFRole::text1) : QFColor(QFRole::text4),
                          .size = 15};
        const auto& now = stat->options();
        if (now.label == o.label && now.value == o.value && now.unit == o.unit &&
            now.color == o.color)
            return;
        stat->setOptions(std::move(o));
    };
    std::optional<NumberAndUnit> time, power, cycles, health;
    // "2h 05m" reads as one value.
    if (b && b->timeRemainingMinutes && *b->timeRemainingMinutes >= 0)
        time = NumberAndUnit{minutesText(b->timeRemainingMinutes), {}};
    if (b && b->watts && std::isfinite(*b->watts))
        power = NumberAndUnit{QString::number(std::fabs(*b->watts), 'f', 1), "W"};
    if (b && b->cycleCount) cycles = NumberAndUnit{QString::number(*b->cycleCount), {}};
    if (b && b->healthPercent) health = percentReadout(*b->healthPercent);
    set(stats_[0], b && b->isCharging ? "Until full" : "Time left", time);
    set(stats_[1], "Power", power);
    set(stats_[2], "Cycles", cycles);
    set(stats_[3], "Health", health);
}

} // namespace quillfen::app
