#include "TrayItem.h"
#include "PopoverWindow.h"

#include "model/SystemSnapshot.h"
#include "settings/AppSettings.h"

#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace quillfen::menu {

TrayIconModel::TrayIconModel(SystemSnapshot& snapshot, TrayShape shape, double devicePixelRatio,
                             QObject* parent)
    : QObject(parent)
    , snapshot_(snapshot)
    , shape_(shape)
    , ratio_(devicePixelRatio) {
    const auto changed = [this] { update(); };
    // Only what the chips or the tooltip show; histories never change them.
    for (auto signal : {&SystemSnapshot::cpuChanged, &SystemSnapshot::gpuChanged,
                        &SystemSnapshot::memoryChanged, &SystemSnapshot::networkChanged,
                        &SystemSnapshot::thermalChanged, &SystemSnapshot::batteryChanged})
        connect(&snapshot_, signal, this, changed);
    auto& settings = AppSettings::shared();
    for (auto signal :
         {&AppSettings::menuBarMetricsChanged, &AppSettings::twoLineMenuBarLabelsChanged,
          &AppSettings::compactMenuBarSpacingChanged, &AppSettings::menuBarThemeChanged,
          &AppSettings::temperatureUnitChanged})
        connect(&settings, signal, this, changed);
    update(true);
}

void TrayIconModel::setShape(TrayShape shape) {
    if (shape == shape_) return;
    shape_ = shape;
    update();
}

void TrayIconModel::setDevicePixelRatio(double ratio) {
    if (ratio == ratio_) return;
    ratio_ = ratio;
    update(true);
}

void TrayIconModel::update(bool force) {
    const auto& values = snapshot_.values();
    auto state = trayIconState(values, shape_);
    if (force || !(state == state_)) {
        state_ = std::move(state);
        icon_ = renderTrayIcon(state_, ratio_);
        ++drawCount_;
        emit iconChanged();
    }
    auto tooltip = trayTooltip(AppSettings::shared().menuBarMetrics(), values);
    if (tooltip != tooltip_) {
        tooltip_ = std::move(tooltip);
        emit tooltipChanged();
    }
}

TrayItem::TrayItem(SystemSnapshot& snapshot, PopoverWindow& popover, MenuActions actions,
                   TrayShape shape, QObject* parent)
    : QObject(parent)
    , popover_(popover)
    , model_(std::make_unique<TrayIconModel>(snapshot, shape, qGuiApp->devicePixelRatio()))
    , menu_(std::make_unique<QMenu>())
    , tray_(std::make_unique<QSystemTrayIcon>()) {
    menu_->addAction(QString::fromUtf8(kOpenQuillfenTitle), this, actions.openApp);
    menu_->addAction(QString::fromUtf8(kSettingsTitle), this, actions.openSettings);
    menu_->addSeparator();
    menu_->addAction(QString::fromUtf8(kQuitMenuTitle), this, actions.quit);
    tray_->setContextMenu(menu_.get());

    const auto setIcon = [this] { tray_->setIcon(QIcon(QPixmap::fromImage(model_->icon()))); };
    const auto setTooltip = [this] { tray_->setToolTip(model_->tooltip()); };
    connect(model_.get(), &TrayIconModel::iconChanged, this, setIcon);
    connect(model_.get(), &TrayIconModel::tooltipChanged, this, setTooltip);
    setIcon();
    setTooltip();

    connect(tray_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick)
                    return;
                // Status-notifier hosts give no geometry: the popover then goes to the screen
                // corner nearest the cursor.
                const QRect where = tray_->geometry();
                popover_.toggle(where.isEmpty() ? std::nullopt : std::optional<QRect>(where));
            });
}

TrayItem::~TrayItem() = default;

void TrayItem::show() {
    tray_->show();
}

} // namespace quillfen::menu
