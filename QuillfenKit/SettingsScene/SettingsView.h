#pragma once

#include "platform/MainQueue.h"
#include "sensors/SensorControl.h"
#include "settings/MenuBarMetric.h"
#include "settings/QFThemeChoice.h"

#include <QPalette>
#include <QWidget>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QScrollArea;
class QStackedWidget;
class QVBoxLayout;

namespace quillfen {

class QFDot;
class QFSetGroup;
class QFSetRow;
class QFText;
class SettingsButton;
class SettingsSegmentedPicker;
class SettingsSwitch;
class SettingsTabButton;
class MetricRow;

// The settings window's content: a sidebar of four tabs and the selected tab's settings.
// Every edit goes straight to AppSettings::shared(); the helper's state is looked up when the
// view comes on screen, every 2 seconds while it is shown, and shortly after each action on it.
class SettingsView final : public QWidget {
    Q_OBJECT

public:
    enum class Tab { general, menubar, appearance, about };
    static constexpr std::array<Tab, 4> allTabs{Tab::general, Tab::menubar, Tab::appearance,
                                                Tab::about};

    explicit SettingsView(QWidget* parent = nullptr);
    ~SettingsView() override;

    Tab tab() const { return tab_; }
    void setTab(Tab tab);

    // The tab whose raw value is `raw` ("general", "menubar", "appearance", "about").
    static std::optional<Tab> tabNamed(std::string_view raw);
    static std::string_view tabRawValue(Tab tab);
    // The sidebar's title and symbol of a tab.
    static QString tabTitle(Tab tab);
    static std::string_view tabSymbol(Tab tab);

    // --- The helper and the menu-bar app, as last looked up ---------------------------------

    bool helperRunning() const { return helperRunning_; }
    bool helperAutostart() const { return helperAutostart_; }
    bool menuRunning() const { return menuRunning_; }

    // Looks up whether the helper runs and whether "control.json" asks it to start at login,
    // and shows what it found.
    void refreshHelper();

    // --- Settings algorithms ----------------------------------------------------------------

    // The enabled metrics in their stored order, then every other metric in case order.
    static std::vector<MenuBarMetric> orderedMetrics(const std::vector<MenuBarMetric>& enabled);
    // The same for the current settings.
    static std::vector<MenuBarMetric> orderedMetrics();
    static bool isEnabled(MenuBarMetric metric);
    // `list` with `metric` swapped with its neighbour `step` (−1 or +1) places away; unchanged
    // when the metric is absent or the neighbour would lie outside the list.
    static std::vector<MenuBarMetric> moved(std::vector<MenuBarMetric> list, MenuBarMetric metric,
                                            int step);
    // Moves a metric in the stored list.
    static void move(MenuBarMetric metric, int step);
    // `list` with `metric` appended when enabled and absent, or with every occurrence removed
    // when disabled; a list that would become empty holds cpu alone.
    static std::vector<MenuBarMetric> withEnabled(std::vector<MenuBarMetric> list,
                                                  MenuBarMetric metric, bool enabled);
    // A metric's switch, bound to the stored list.
    struct EnabledBinding {
        MenuBarMetric metric;
        bool get() const;
        void set(bool enabled) const;
    };
    static EnabledBinding enabledBinding(MenuBarMetric metric);

    // Whether an installed helper of this version is too old: before the lowest version the
    // product works with. No version, no hint.
    static bool showsUpdateHint(const std::optional<std::string>& installedVersion);
    // "not installed", or "running"/"installed", " · " and the version (else "—").
    static QString helperSummary(bool installed, bool running,
                                 const std::optional<std::string>& runningVersion,
                                 const std::optional<std::string>& installedVersion);
    QString helperSummary() const;
    // This app's short version string, else "—".
    static QString appVersion();
    // What "control.json" says about starting the helper at login; false when it says nothing
    // readable.
    static bool readAutostart();
    // The control record with which the Stop button asks the helper to quit: the current
    // autostart wish kept, the stop requested at `now`.
    static SensorControl stopRequest(double now);

    // --- Look -------------------------------------------------------------------------------

    // The colour scheme of the window: light for the light theme, dark for every other one.
    static bool usesLightScheme(QFThemeChoice theme) { return isLight(theme); }
    // The widget palette of that scheme, for what the platform still draws (tool tips,
    // selections, scroll areas).
    static QPalette schemePalette(QFThemeChoice theme);

    static constexpr QSize contentSize{860, 600};
    static constexpr double sidebarWidth = 190;
    static constexpr double helperRefreshInterval = 2.0;
    static constexpr double followUpDelay = 0.4;

signals:
    void tabChanged(quillfen::SettingsView::Tab tab);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent*) override;

private:
    // Runs `refreshHelper` once the helper had time to react to what was just asked of it.
    void followUp();
    void onScreenRefresh();
    void refreshMenuRunning();
    void showHelperState();
    void showMenuState();
    void applyScheme();
    void stopOrStartHelper();

    QWidget* makeSidebar();
    QScrollArea* makePage(QWidget* content);
    QWidget* makeGeneralTab();
    QWidget* makeHelperSection();
    QWidget* makeMenuBarTab();
    QWidget* makeMetricList();
    void arrangeMetricRows();
    QWidget* makeAppearanceTab();
    QWidget* makeThemeGrid(bool menuBar);
    QWidget* makeAboutTab();

    Tab tab_ = Tab::general;
    bool helperRunning_ = false;
    bool helperAutostart_ = false;
    bool menuRunning_ = true;
    platform::Cancellable helperRefresh_;

    std::vector<SettingsTabButton*> tabButtons_;
    QStackedWidget* pages_ = nullptr;

    // General tab: the helper group in its two forms.
    QFSetGroup* helperInstalled_ = nullptr;
    QFSetGroup* helperMissing_ = nullptr;
    QFDot* statusDot_ = nullptr;
    QFText* statusText_ = nullptr;
    SettingsButton* startStop_ = nullptr;
    SettingsSwitch* helperAutostartSwitch_ = nullptr;
    QFSetRow* versionRow_ = nullptr;
    QFText* versionText_ = nullptr;
    SettingsButton* update_ = nullptr;

    // Menu Bar tab.
    QFSetGroup* menuHidden_ = nullptr;
    QVBoxLayout* metricLayout_ = nullptr;
    std::vector<MetricRow*> metricRows_;

    // About tab.
    QFText* helperSummaryText_ = nullptr;
};

// Sizes the window it is placed in to `defaultSize` once, the first time it is shown there,
// keeping the window's top-left corner where it is. The change is made from the main queue,
// after the window system has placed the window.
class SettingsDefaultSizeSetter final : public QWidget {
    Q_OBJECT

public:
    explicit SettingsDefaultSizeSetter(QSize defaultSize, QWidget* parent = nullptr);

    QSize defaultSize() const { return defaultSize_; }
    bool didApply() const { return didApply_; }

    // The frame a window with frame `old` gets: `defaultSize` at the same top-left corner.
    static QRect resizedFrame(const QRect& old, QSize defaultSize);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QSize defaultSize_;
    bool didApply_ = false;
};

// Opens the process's one settings window on `tab`, or brings it to the front there.
void showSettingsWindow(SettingsView::Tab tab = SettingsView::Tab::general);

} // namespace quillfen
