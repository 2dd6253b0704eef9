#pragma once

#include "platform/UserDefaults.h"
#include "settings/AppSettingsValues.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <string>

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
    // For tests: the next shared() starts afresh, on the platform current then,
    // and the hooks are unset.
    static void resetShared();

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

    // Takes settings that are already stored: those another process wrote and the service
    // read back from the store. Each one that differs is announced (and a changed
    // `launchAtLogin` goes to the login-item handler), but nothing is written and nothing is
    // handed on. Writing them again could put back a value that a third process has replaced
    // since, and every process writes only what it changes itself.
    void adopt(const AppSettingsValues& values);
    // Adopts the newest stored settings.
    void reload();

    // Writes the current value of the setting stored under `key` even when nothing changed,
    // so that a value the user chose stays chosen although it only matched a fallback (a
    // menu-bar theme that followed the theme). False for an unknown key or a failed write.
    bool persist(std::string_view key);

    // Why the latest change did not reach the store; nothing when it did.
    const std::optional<std::string>& unsavedReason() const { return unsaved_; }
    // What the store said at its latest access: why it could not be read or written, or
    // where an unreadable file was kept.
    std::optional<std::string> storeProblem() const { return store_->problem(); }

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
    enum class Origin { local, stored };
    template <typename T>
    void assign(T AppSettingsValues::*field, T value, const char* key,
                void (AppSettings::*changed)(), Origin origin = Origin::local);
    void assignAll(const AppSettingsValues& values, Origin origin);
    void logStoreProblem();
    bool write(const platform::DefaultsValue& value, std::string_view key);

    std::shared_ptr<platform::UserDefaults> store_;
    AppSettingsValues v_;
    std::optional<std::string> unsaved_;
    std::optional<std::string> logged_; // the store's last problem, said once
};

} // namespace quillfen
