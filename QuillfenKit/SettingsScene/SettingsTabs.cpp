// The four tabs of the settings window.

#include "SettingsScene/SettingsControls.h"
#include "SettingsScene/SettingsPieces.h"
#include "SettingsScene/SettingsView.h"
#include "companions/HelperApp.h"
#include "companions/MenuBarApp.h"
#include "sampling/CPUTopology.h"
#include "settings/AppSettings.h"
#include "ui/QFDot.h"
#include "ui/QFSetGroup.h"
#include "ui/QFSetRow.h"
#include "ui/QFSetSectionTitle.h"
#include "ui/QFText.h"
#include "ui/QFView.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPointer>
#include <QVBoxLayout>

namespace quillfen {
namespace {

// A tab's content: a leading-aligned stack, spacing 14, padded 20, its end left empty.
QVBoxLayout* tabStack(QWidget* page) {
    auto* stack = new QVBoxLayout(page);
    stack->setContentsMargins(20, 20, 20, 20);
    stack->setSpacing(14);
    return stack;
}

QFSetSectionTitle* sectionTitle(const QString& title, std::optional<QString> sub = std::nullopt) {
    return new QFSetSectionTitle({.title = title, .sub = std::move(sub)});
}

QFSetGroup* group(std::initializer_list<QFSetRow*> rows) {
    auto* g = new QFSetGroup;
    for (auto* row : rows)
        g->addWidget(row);
    return g;
}

QFSetRow* row(const QString& label, std::optional<QString> hint, QWidget* control,
              bool isFirst = false) {
    return new QFSetRow({.label = label, .hint = std::move(hint), .isFirst = isFirst}, control);
}

// A switch showing a boolean setting and setting it when flipped.
SettingsSwitch* settingSwitch(const QString& name, bool (AppSettings::*get)() const,
                              void (AppSettings::*set)(bool), void (AppSettings::*changed)()) {
    auto& settings = AppSettings::shared();
    auto* control = new SettingsSwitch;
    control->setObjectName(name);
    control->setChecked((settings.*get)());
    QObject::connect(control, &QAbstractButton::clicked, control,
                     [set](bool on) { (AppSettings::shared().*set)(on); });
    QObject::connect(&settings, changed, control,
                     [control, get] { control->setChecked((AppSettings::shared().*get)()); });
    return control;
}

// Controls side by side, centred on one line.
QWidget* hstack(std::initializer_list<QWidget*> children, int spacing) {
    auto* box = new QWidget;
    box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    for (auto* child : children)
        layout->addWidget(child, 0, Qt::AlignVCenter);
    return box;
}

QFText* valueText(const QString& text, const QFont& font) {
    return new QFText({.text = text, .font = font, .color = QFRole::text2});
}

} // namespace

// --- General -------------------------------------------------------------------------------

QWidget* SettingsView::makeGeneralTab() {
    auto* page = new QWidget;
    auto* stack = tabStack(page);

    stack->addWidget(sectionTitle("General", "App-wide behavior."));
    stack->addWidget(group({
        row("Launch at login", "Shows the menu-bar item at login without opening the main window.",
            settingSwitch("launchAtLogin", &AppSettings::launchAtLogin,
                          &AppSettings::setLaunchAtLogin, &AppSettings::launchAtLoginChanged),
            true),
        row("Pause sampling when idle",
            "Skips popover-only samplers when neither the window nor the popover is open. "
            "Sparkline history shows a gap over the paused period.",
            settingSwitch("pauseSamplingWhenClosed", &AppSettings::pauseSamplingWhenClosed,
                          &AppSettings::setPauseSamplingWhenClosed,
                          &AppSettings::pauseSamplingWhenClosedChanged)),
    }));

    stack->addWidget(sectionTitle("Quillfen Helper",
                                  "A free companion app that reads temperatures & fan speed. "
                                  "Installed separately, versioned on its own."));
    stack->addWidget(makeHelperSection());

    stack->addWidget(sectionTitle("Display"));
    QStringList units;
    for (const auto unit : kTemperatureUnits.allCases())
        units << QString::fromUtf8(suffix(unit));
    auto* unitPicker = new SettingsSegmentedPicker(units);
    unitPicker->setObjectName("temperatureUnit");
    const auto showUnit = [unitPicker] {
        unitPicker->setCurrentIndex(int(AppSettings::shared().temperatureUnit()));
    };
    showUnit();
    connect(unitPicker, &SettingsSegmentedPicker::activated, unitPicker, [](int index) {
        AppSettings::shared().setTemperatureUnit(kTemperatureUnits.allCases()[std::size_t(index)]);
    });
    connect(&AppSettings::shared(), &AppSettings::temperatureUnitChanged, unitPicker, showUnit);
    stack->addWidget(group({row("Temperature unit", std::nullopt, unitPicker, true)}));

    stack->addStretch(1);
    return page;
}

QWidget* SettingsView::makeHelperSection() {
    statusDot_ = new QFDot({.color = QFRole::text4, .size = 6});
    statusText_ = new QFText({.text = "Stopped", .font = qf(12), .color = QFRole::text2});
    startStop_ = new SettingsButton(SettingsButton::Look::secondary, "Start");
    startStop_->setObjectName("helperStartStop");
    connect(startStop_, &QAbstractButton::clicked, this, [this] { stopOrStartHelper(); });

    helperAutostartSwitch_ = new SettingsSwitch;
    helperAutostartSwitch_->setObjectName("helperAutostart");
    connect(helperAutostartSwitch_, &QAbstractButton::clicked, this, [this](bool on) {
        helperAutostart_ = on;
        HelperApp::setLaunchAtLogin(on);
        followUp();
    });

    versionText_ = valueText("—", qfMono(11.5, QFont::Medium));
    versionText_->setObjectName("helperVersion");
    update_ = new SettingsButton(SettingsButton::Look::primary, "Update");
    update_->setObjectName("helperUpdate");
    connect(update_, &QAbstractButton::clicked, this, [this] {
        HelperApp::beginUpdate();
        followUp();
    });
    versionRow_ = row("Version", std::nullopt, hstack({versionText_, update_}, 8));
    versionRow_->setObjectName("helperVersionRow");

    helperInstalled_ = group({
        row("Status", std::nullopt, hstack({statusDot_, statusText_}, 6), true),
        row("Background sensor reader", std::nullopt, startStop_),
        row("Start at login",
            "Runs the helper in the background at login so temperatures and fans are always "
            "available.",
            helperAutostartSwitch_),
        versionRow_,
    });
    helperInstalled_->setObjectName("helperInstalled");

    auto* download = new SettingsButton(SettingsButton::Look::primary, "Download");
    download->setObjectName("helperDownload");
    connect(download, &QAbstractButton::clicked, this, [] { HelperApp::openDownloadPage(); });
    helperMissing_ = group({row("Not installed",
                                "Download the free Quillfen Helper to see CPU/GPU temperatures "
                                "and fan speed — macOS doesn't expose those to sandboxed apps.",
                                download, true)});
    helperMissing_->setObjectName("helperMissing");

    auto* section = new QWidget;
    section->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* stack = new QVBoxLayout(section);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(helperInstalled_);
    stack->addWidget(helperMissing_);
    return section;
}

void SettingsView::showHelperState() {
    const bool installed = HelperApp::isInstalled();
    const auto installedVersion = HelperApp::installedVersion();
    const auto runningVersion = HelperApp::runningVersion();
    helperInstalled_->setVisible(installed);
    helperMissing_->setVisible(!installed);

    statusDot_->setColor(helperRunning_ ? QFRole::disk : QFRole::text4);
    statusText_->setText(helperRunning_ ? "Running" : "Stopped");
    startStop_->setText(helperRunning_ ? "Stop" : "Start");
    helperAutostartSwitch_->setChecked(helperAutostart_);

    const auto shown = runningVersion ? runningVersion : installedVersion;
    versionText_->setText(shown ? QString::fromStdString(*shown) : QStringLiteral("—"));
    const bool hint = showsUpdateHint(installedVersion);
    versionRow_->setOptions(
        {.label = "Version",
         .hint = hint ? std::optional<QString>("A newer version is available.") : std::nullopt});
    update_->setVisible(hint);

    helperSummaryText_->setText(
        helperSummary(installed, helperRunning_, runningVersion, installedVersion));
}

// --- Menu Bar ------------------------------------------------------------------------------

QWidget* SettingsView::makeMenuBarTab() {
    auto* page = new QWidget;
    auto* stack = tabStack(page);

    stack->addWidget(
        sectionTitle("Menu Bar", "Choose and order what Quillfen shows in the menu bar."));

    auto* showMenu = new SettingsButton(SettingsButton::Look::primary, "Show");
    showMenu->setObjectName("menuShow");
    connect(showMenu, &QAbstractButton::clicked, this, [this] {
        QPointer<SettingsView> self(this);
        MenuBarApp::launch([self](bool) {
            if (self) self->refreshMenuRunning();
        });
    });
    menuHidden_ = group({row("Menu bar item is hidden",
                             "You quit Quillfen Menu. The settings below still apply once it's "
                             "back.",
                             showMenu, true)});
    menuHidden_->setObjectName("menuHidden");
    stack->addWidget(menuHidden_);

    auto* preview = new QWidget;
    auto* previewStack = new QVBoxLayout(preview);
    previewStack->setContentsMargins(14, 14, 14, 14);
    previewStack->setSpacing(8);
    previewStack->addWidget(
        new QFText({.text = "PREVIEW", .font = qf(9.5, QFont::Bold), .color = QFRole::text3}));
    auto* strip = new MenuBarPreview;
    strip->setObjectName("menuBarPreview");
    previewStack->addWidget(strip, 0, Qt::AlignLeft);
    stack->addWidget(preview);

    stack->addWidget(makeMetricList());

    stack->addWidget(group({
        row("Show two-line labels",
            "A small colored metric label above each value — helps tell CPU from GPU from "
            "Battery.",
            settingSwitch("twoLineMenuBarLabels", &AppSettings::twoLineMenuBarLabels,
                          &AppSettings::setTwoLineMenuBarLabels,
                          &AppSettings::twoLineMenuBarLabelsChanged),
            true),
        row("Compact spacing",
            "Removes the padding and separators between chips. Shows more data in the same "
            "horizontal space.",
            settingSwitch("compactMenuBarSpacing", &AppSettings::compactMenuBarSpacing,
                          &AppSettings::setCompactMenuBarSpacing,
                          &AppSettings::compactMenuBarSpacingChanged)),
    }));

    stack->addStretch(1);
    return page;
}

QWidget* SettingsView::makeMetricList() {
    // Rows padded like a group's, straight on the window, their separators the only lines.
    auto* list = new QWidget;
    list->setObjectName("metricList");
    list->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    metricLayout_ = new QVBoxLayout(list);
    metricLayout_->setContentsMargins(0, 0, 0, 0);
    metricLayout_->setSpacing(0);
    for (const auto metric : kMenuBarMetrics.allCases()) {
        auto* metricRow = new MetricRow(metric);
        connect(metricRow->upButton(), &QAbstractButton::clicked, this,
                [metric] { move(metric, -1); });
        connect(metricRow->downButton(), &QAbstractButton::clicked, this,
                [metric] { move(metric, +1); });
        connect(metricRow->enabledSwitch(), &QAbstractButton::clicked, this,
                [this, metric](bool on) {
                    enabledBinding(metric).set(on);
                    // Switching off the last metric leaves the list as it was: show it again.
                    arrangeMetricRows();
                });
        metricRows_.push_back(metricRow);
    }
    arrangeMetricRows();
    connect(&AppSettings::shared(), &AppSettings::menuBarMetricsChanged, this,
            [this] { arrangeMetricRows(); });
    return list;
}

void SettingsView::arrangeMetricRows() {
    const auto& enabled = AppSettings::shared().menuBarMetrics();
    for (auto* metricRow : metricRows_)
        metricLayout_->removeWidget(metricRow);
    // One row per metric, where it first appears: a list stored with a metric twice (edited
    // by hand) still shows each metric once, and moving it moves its first entry.
    std::vector<MenuBarMetric> placed;
    for (const auto metric : orderedMetrics(enabled)) {
        if (std::find(placed.begin(), placed.end(), metric) != placed.end()) continue;
        auto* metricRow = metricRows_[std::size_t(metric)];
        const auto at = std::find(enabled.begin(), enabled.end(), metric);
        const bool on = at != enabled.end();
        const auto index = at - enabled.begin();
        metricRow->showState(placed.empty(), on, on && index > 0,
                             on && index + 1 < std::ssize(enabled));
        metricLayout_->addWidget(metricRow);
        placed.push_back(metric);
    }
}

void SettingsView::showMenuState() {
    menuHidden_->setVisible(!menuRunning_);
}

// --- Appearance ----------------------------------------------------------------------------

QWidget* SettingsView::makeAppearanceTab() {
    auto* page = new QWidget;
    auto* stack = tabStack(page);
    stack->addWidget(sectionTitle(
        "Appearance",
        "Set the app window and the menu bar independently. (Liquid Glass coming later.)"));
    stack->addWidget(sectionTitle("App & popover theme"));
    stack->addWidget(makeThemeGrid(false));
    stack->addWidget(sectionTitle("Menu bar theme"));
    stack->addWidget(new QFText({.text = "The menu-bar chips can use a different theme from the "
                                         "app — a subtle monochrome bar over a colorful window, "
                                         "say.",
                                 .font = qf(11),
                                 .color = QFRole::text3,
                                 .wraps = true}));
    stack->addWidget(makeThemeGrid(true));
    stack->addStretch(1);
    return page;
}

QWidget* SettingsView::makeThemeGrid(bool menuBar) {
    auto* grid = new QWidget;
    grid->setObjectName(menuBar ? "menuBarThemeGrid" : "themeGrid");
    grid->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setHorizontalSpacing(10);
    layout->setVerticalSpacing(10);
    for (int column = 0; column < 3; ++column)
        layout->setColumnStretch(column, 1);
    auto& settings = AppSettings::shared();
    const QString prefix = menuBar ? "menuBarTheme:" : "theme:";
    int index = 0;
    std::vector<ThemeCard*> cards;
    for (const auto theme : kThemeChoices.allCases()) {
        auto* card = new ThemeCard(theme);
        card->setObjectName(prefix + QString::fromUtf8(rawValue(theme)));
        connect(card, &QAbstractButton::clicked, card, [theme, menuBar] {
            auto& s = AppSettings::shared();
            const AppSettingsValues before = s.values();
            if (menuBar)
                s.setMenuBarTheme(theme);
            else
                s.setTheme(theme);
            // A menu-bar theme that only followed the theme becomes the user's own choice, so
            // that it stays put when the theme changes later.
            if (s.values() == before) s.persist(menuBar ? "menuBarTheme" : "theme");
        });
        layout->addWidget(card, index / 3, index % 3);
        cards.push_back(card);
        ++index;
    }
    const auto showSelection = [cards, menuBar] {
        const auto& s = AppSettings::shared();
        const QFThemeChoice selected = menuBar ? s.menuBarTheme() : s.theme();
        for (auto* card : cards)
            card->setSelected(card->theme() == selected);
    };
    showSelection();
    connect(&settings, menuBar ? &AppSettings::menuBarThemeChanged : &AppSettings::themeChanged,
            grid, showSelection);
    return grid;
}

// --- About ---------------------------------------------------------------------------------

QWidget* SettingsView::makeAboutTab() {
    auto* page = new QWidget;
    auto* stack = tabStack(page);
    stack->addWidget(sectionTitle("About"));

    auto* header = new QWidget;
    auto* headerRow = new QHBoxLayout(header);
    headerRow->setContentsMargins(20, 20, 20, 20);
    headerRow->setSpacing(18);
    headerRow->addWidget(new AppIconView, 0, Qt::AlignVCenter);
    auto* names = new QVBoxLayout;
    names->setSpacing(2);
    names->addWidget(
        new QFText({.text = "Quillfen", .font = qf(20, QFont::Bold), .color = QFRole::text1}));
    auto* version =
        new QFText({.text = "Version " + appVersion(), .font = qf(12), .color = QFRole::text2});
    version->setObjectName("appVersion");
    names->addWidget(version);
    names->addSpacing(6);
    names->addWidget(
        new QFText({.text = "System monitor for Linux", .font = qf(11), .color = QFRole::text3}));
    headerRow->addLayout(names);
    headerRow->addStretch(1);
    auto* headerGroup = new QFSetGroup;
    headerGroup->addWidget(header);
    stack->addWidget(headerGroup);

    const QFont value = qf(11.5, QFont::Medium);
    helperSummaryText_ = valueText("not installed", value);
    helperSummaryText_->setObjectName("helperSummary");
    stack->addWidget(group({
        row("Sampling", std::nullopt, valueText("1 Hz", value), true),
        row("Architecture", std::nullopt,
            valueText(QString::fromStdString(CPUTopology::current().brandString),
                      qfMono(11.5, QFont::Medium))),
        row("Helper", std::nullopt, helperSummaryText_),
    }));

    stack->addWidget(new QFText({.text = "© 2026 Quillfen. Free software; no warranty.",
                                 .font = qf(10),
                                 .color = QFRole::text4}));
    stack->addStretch(1);
    return page;
}

} // namespace quillfen
