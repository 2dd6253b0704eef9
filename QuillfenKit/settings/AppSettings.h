#pragma once

#include "platform/UserDefaults.h"
#include "settings/AppSettingsValues.h"

#include <QObject>

#include <functional>
#include <memory>

namespace quillfen {

// The user's settings, stored key by key in the product group's shared defaults so that every
// process of the product reads the same values. One change signal per setting; assigning the
// current value again does nothing at all.
class AppSettings final : public QObject {
    Q_OBJECT

public:
    // The process's settings, loaded on first use from the group's suite (or the standard
    // defaults when the suite cannot be opened).
    static AppSettings& shared();

    // Settings loaded from `store`; for embedders and tests.
    explicit AppSettings(std::shared_ptr<platform::UserDefaults> store);

    const std::vector<MenuBarMetric>& menuBarMetrics() const { return v_.menuBarMetrics; }
    bool launchAtLogin() const { return v_.launchAtLogin; }
    bool pauseSamplingWhenClosed() const { return v_.pauseSamplingWhenClosed; }
    TemperatureUnit temperatureUnit() const { return v_.temperatureUnit; }
    bool twoLineMenuBarLabels() const { return v_.twoLineMenuBarLabels; }
    bool compactMenuBarSpacing() const { return v_.compactMenuBarSpacing; }
    QFThemeChoice theme() const { return v_.theme; }
    QFThemeChoice menuBarTheme() const { return v_.menuBarTheme; }

    void setMenuBarMetrics(std::vector<MenuBarMetric> value);
    void setLaunchAtLogin(bool value);
    void setPauseSamplingWhenClosed(bool value);
    void setTemperatureUnit(TemperatureUnit value);
    void setTwoLineMenuBarLabels(bool value);
    void setCompactMenuBarSpacing(bool value);
    void setTheme(QFThemeChoice value);
    void setMenuBarTheme(QFThemeChoice value);

    AppSettingsValues values() const { return v_; }
    // Assigns every setting that differs, in declaration order.
    void apply(const AppSettingsValues& values);

    // Installed by the host application: registers or unregisters it as a login item.
    static inline std::function<void(bool)> loginItemHandler;
    // Called after any setting changed here (not when the same value is assigned again).
    static inline std::function<void()> onLocalChange;

signals:
    void menuBarMetricsChanged();
    void launchAtLoginChanged();
    void pauseSamplingWhenClosedChanged();
    void temperatureUnitChanged();
    void twoLineMenuBarLabelsChanged();
    void compactMenuBarSpacingChanged();
    void themeChanged();
    void menuBarThemeChanged();

private:
    template <typename T>
    void assign(T AppSettingsValues::*field, T value, const char* key,
                void (AppSettings::*changed)());

    std::shared_ptr<platform::UserDefaults> store_;
    AppSettingsValues v_;
};

} // namespace quillfen
