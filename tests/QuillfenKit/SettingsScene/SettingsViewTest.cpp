#include "SettingsScene/SettingsView.h"
#include "QuillfenKit/ui/UiTestSupport.h"
#include "SettingsScene/SettingsControls.h"
#include "SettingsScene/SettingsPieces.h"
#include "TempDir.h"
#include "companions/HelperApp.h"
#include "companions/MenuBarApp.h"
#include "sensors/SensorBridge.h"
#include "ui/QFSetRow.h"
#include "ui/QFText.h"

#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using platform::fake::FakeWorkspace;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using M = MenuBarMetric;

// --- The algorithms ------------------------------------------------------------------------

TEST(SettingsAlgorithms, OrderedMetricsPutTheEnabledOnesFirstInTheirOrder) {
    EXPECT_THAT(
        SettingsView::orderedMetrics({M::netUp, M::cpu}),
        ElementsAre(M::netUp, M::cpu, M::gpu, M::memory, M::temperature, M::battery, M::netDown));
    EXPECT_THAT(SettingsView::orderedMetrics({}), ElementsAreArray(kMenuBarMetrics.allCases()));
}

TEST(SettingsAlgorithms, MoveSwapsWithANeighbourInsideTheList) {
    const std::vector<M> list{M::cpu, M::gpu, M::memory};
    struct Case {
        M metric;
        int step;
        std::vector<M> expected;
    };
    for (const Case& c : {Case{M::gpu, -1, {M::gpu, M::cpu, M::memory}},
                          Case{M::cpu, +1, {M::gpu, M::cpu, M::memory}}, Case{M::cpu, -1, list},
                          Case{M::memory, +1, list}, Case{M::battery, +1, list}})
        EXPECT_EQ(SettingsView::moved(list, c.metric, c.step), c.expected)
            << rawValue(c.metric) << " by " << c.step;
}

TEST(SettingsAlgorithms, EnablingAppendsAndDisablingNeverEmptiesTheList) {
    struct Case {
        std::vector<M> list;
        M metric;
        bool enabled;
        std::vector<M> expected;
    };
    for (const Case& c :
         {Case{{M::cpu}, M::gpu, true, {M::cpu, M::gpu}},
          Case{{M::gpu, M::cpu}, M::gpu, true, {M::gpu, M::cpu}},
          Case{{M::gpu, M::cpu, M::gpu}, M::gpu, false, {M::cpu}},
          Case{{M::gpu}, M::gpu, false, {M::cpu}}, Case{{M::cpu}, M::cpu, false, {M::cpu}}})
        EXPECT_EQ(SettingsView::withEnabled(c.list, c.metric, c.enabled), c.expected)
            << rawValue(c.metric) << (c.enabled ? " on" : " off");
}

TEST(SettingsAlgorithms, HelperSummaryNamesStateAndVersion) {
    using V = std::optional<std::string>;
    EXPECT_EQ(SettingsView::helperSummary(false, true, "1.2", "1.2"), "not installed");
    EXPECT_EQ(SettingsView::helperSummary(true, true, "1.2", "1.3"), "running · 1.2");
    EXPECT_EQ(SettingsView::helperSummary(true, false, V(), V()), "installed · —");
}

// --- The window, driven as a user would ----------------------------------------------------

const std::string kHelperID(HelperApp::bundleID);
const std::filesystem::path kHelperBundle = "/home/u/Applications/Quillfen Helper.app";
const std::filesystem::path kAppBundle = "/home/u/Applications/Quillfen.app";

class SettingsWindow : public testing::UiTest {
protected:
    SettingsWindow() {
        fake.files->groupContainersRoot = dir.path();
        fake.mainBundle->path = kAppBundle;
        fake.mainBundle->info = json::Json{{"CFBundleShortVersionString", "2.3"}};
    }

    // Shows a fresh window, as opening it does.
    SettingsView& open() {
        view = std::make_unique<SettingsView>();
        testing::render(*view, SettingsView::contentSize, Qt::black);
        return *view;
    }

    void install(std::optional<std::string> version) {
        fake.workspace->installed[kHelperID] = kHelperBundle;
        json::Json info{{"CFBundleIdentifier", kHelperID}};
        if (version) info["CFBundleShortVersionString"] = *version;
        fake.workspace->bundles[kHelperBundle] = info;
    }
    void runHelper(std::string version) {
        fake.workspace->running.push_back({kHelperID, "Quillfen Helper", kHelperBundle, 4242});
        SensorBridge::write(SensorsPayload{{}, {}, fake.clock->now(), std::move(version)});
    }
    void quitHelper() {
        std::erase_if(fake.workspace->running,
                      [](auto& a) { return a.bundleIdentifier == kHelperID; });
    }

    template <typename W = QWidget> W* find(const QString& name) const {
        auto* widget = view->findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    void click(const QString& name, QPoint at = {}) {
        auto* widget = find(name);
        ASSERT_TRUE(widget->isVisibleTo(view.get())) << name.toStdString() << " is hidden";
        QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
    }
    bool shown(const QString& name) const { return find(name)->isVisibleTo(view.get()); }
    QString text(const QString& name) const { return find<QFText>(name)->options().text; }
    bool checked(const QString& name) const { return find<QAbstractButton>(name)->isChecked(); }
    std::optional<platform::DefaultsValue> stored(std::string_view key) const {
        return fake.defaults->suiteNamed(SensorBridge::groupID)->objectForKey(key);
    }
    std::optional<SensorControl> control() const { return SensorBridge::readControl(); }
    void advance(double seconds) { fake.queue->advance(seconds); }

    testing::TempDir dir;
    std::unique_ptr<SettingsView> view;
};

TEST_F(SettingsWindow, TheSidebarSwitchesTabs) {
    open();
    EXPECT_EQ(view->tab(), SettingsView::Tab::general);
    EXPECT_TRUE(shown("launchAtLogin"));
    EXPECT_FALSE(shown("themeGrid"));
    for (const auto tab : SettingsView::allTabs) {
        click("tab:" + QString::fromUtf8(SettingsView::tabRawValue(tab)));
        EXPECT_EQ(view->tab(), tab);
    }
    EXPECT_TRUE(shown("appVersion"));
    EXPECT_FALSE(shown("launchAtLogin"));
    EXPECT_EQ(text("appVersion"), "Version 2.3");
}

TEST_F(SettingsWindow, SwitchesAndThePickerEditTheStoredSettings) {
    open();
    auto& settings = AppSettings::shared();
    std::vector<bool> loginItem;
    AppSettings::loginItemHandler = [&](bool on) { loginItem.push_back(on); };
    click("launchAtLogin");
    click("pauseSamplingWhenClosed");
    EXPECT_TRUE(settings.launchAtLogin());
    EXPECT_FALSE(settings.pauseSamplingWhenClosed());
    EXPECT_EQ(stored("launchAtLogin"), platform::DefaultsValue(true));
    EXPECT_EQ(stored("pauseSamplingWhenClosed"), platform::DefaultsValue(false));
    EXPECT_THAT(loginItem, ElementsAre(true));

    auto* picker = find<SettingsSegmentedPicker>("temperatureUnit");
    click("temperatureUnit", picker->segmentRect(1).center().toPoint());
    EXPECT_EQ(settings.temperatureUnit(), TemperatureUnit::fahrenheit);
    EXPECT_EQ(stored("temperatureUnit"), platform::DefaultsValue("fahrenheit"));

    click("tab:menubar");
    click("twoLineMenuBarLabels");
    click("compactMenuBarSpacing");
    EXPECT_EQ(stored("twoLineMenuBarLabels"), platform::DefaultsValue(true));
    EXPECT_EQ(stored("compactMenuBarSpacing"), platform::DefaultsValue(true));

    // Changes made elsewhere show in the controls.
    settings.setLaunchAtLogin(false);
    settings.setTemperatureUnit(TemperatureUnit::celsius);
    EXPECT_FALSE(checked("launchAtLogin"));
    EXPECT_EQ(picker->currentIndex(), 0);
}

TEST_F(SettingsWindow, WithoutTheHelperOnlyDownloadIsOfferedUntilItIsInstalled) {
    open();
    EXPECT_TRUE(shown("helperMissing"));
    EXPECT_FALSE(shown("helperInstalled"));
    EXPECT_EQ(text("helperSummary"), "not installed");
    click("helperDownload");
    EXPECT_THAT(fake.workspace->openedURLs, ElementsAre(HelperApp::downloadURL() + "?app=2.3"));

    install("1.2");
    advance(2); // the next look
    EXPECT_FALSE(shown("helperMissing"));
    EXPECT_TRUE(shown("helperInstalled"));
    EXPECT_EQ(text("helperSummary"), "installed · 1.2");
}

TEST_F(SettingsWindow, StopAsksTheHelperToQuitKeepingItsLoginWish) {
    for (const bool autostart : {true, false}) {
        SCOPED_TRACE(autostart ? "autostart on" : "no control file");
        if (autostart) SensorBridge::writeControl({true, std::nullopt});
        install("1.2");
        runHelper("1.2");
        open();
        EXPECT_EQ(view->helperRunning(), true);
        EXPECT_EQ(checked("helperAutostart"), autostart);
        EXPECT_EQ(find<QAbstractButton>("helperStartStop")->text(), "Stop");
        EXPECT_EQ(text("helperSummary"), "running · 1.2");

        click("helperStartStop");
        EXPECT_EQ(control(), (SensorControl{autostart, fake.clock->now()}));
        quitHelper();
        advance(SettingsView::followUpDelay);
        EXPECT_FALSE(view->helperRunning()) << "looked again 0.4 s later";
        EXPECT_EQ(find<QAbstractButton>("helperStartStop")->text(), "Start");
        EXPECT_EQ(text("helperSummary"), "installed · 1.2");

        std::filesystem::remove(*SensorBridge::containerURL() / SensorBridge::controlFileName);
        view.reset();
    }
}

TEST_F(SettingsWindow, StartAndTheLoginSwitchLaunchTheInstalledHelper) {
    install("1.2");
    SensorBridge::writeControl({false, 100.0});
    open();
    click("helperStartStop");
    EXPECT_THAT(fake.workspace->launches, ElementsAre(FakeWorkspace::Launch{kHelperBundle, false}));
    EXPECT_EQ(control(), (SensorControl{false, std::nullopt})) << "the stop request is lifted";

    click("helperAutostart");
    EXPECT_TRUE(view->helperAutostart());
    EXPECT_EQ(control(), (SensorControl{true, std::nullopt}));
    runHelper("1.2");
    advance(SettingsView::followUpDelay);
    EXPECT_TRUE(view->helperRunning());
    EXPECT_TRUE(checked("helperAutostart"));
}

TEST_F(SettingsWindow, AnOutdatedHelperOffersTheUpdate) {
    EXPECT_FALSE(SettingsView::showsUpdateHint(std::nullopt)) << "a version that cannot be read";
    for (const auto& [version, offered] : std::vector<std::pair<std::string, bool>>{
             {"0.99", true}, {"1", true}, {"1.0", false}, {"1.10", false}}) {
        SCOPED_TRACE(version);
        install(version);
        open();
        EXPECT_EQ(shown("helperUpdate"), offered);
        EXPECT_EQ(find<QFSetRow>("helperVersionRow")->options().hint.has_value(), offered);
        EXPECT_EQ(text("helperVersion"), QString::fromStdString(version));
        if (offered) {
            fake.workspace->openedURLs.clear();
            click("helperUpdate");
            EXPECT_THAT(fake.workspace->openedURLs,
                        ElementsAre(HelperApp::downloadURL() + "?app=2.3&helper=1.0"));
        }
        view.reset();
    }
}

TEST_F(SettingsWindow, StatusIsLookedUpEveryTwoSecondsOnlyWhileShown) {
    install("1.2");
    open();
    runHelper("1.2");
    advance(1.9);
    EXPECT_FALSE(view->helperRunning());
    advance(0.1);
    EXPECT_TRUE(view->helperRunning());
    view->hide();
    quitHelper();
    advance(10);
    EXPECT_TRUE(view->helperRunning()) << "no lookups while hidden";
    view->show();
    EXPECT_FALSE(view->helperRunning()) << "looked up on showing";
    view.reset();
    EXPECT_EQ(fake.queue->pendingCount(), 0u) << "the timer goes with the view";
}

TEST_F(SettingsWindow, AQuitMenuBarAppCanBeShownAgain) {
    open();
    click("tab:menubar");
    EXPECT_TRUE(shown("menuHidden"));
    click("menuShow");
    EXPECT_THAT(
        fake.workspace->launches,
        ElementsAre(FakeWorkspace::Launch{kAppBundle / "Contents/MacOS/Quillfen Menu.app", false}));
    fake.workspace->running.push_back(
        {std::string(MenuBarApp::bundleID), "Quillfen Menu", MenuBarApp::bundleURL(), 4343});
    fake.queue->runUntilIdle();
    EXPECT_TRUE(view->menuRunning());
    EXPECT_FALSE(shown("menuHidden"));
}

TEST_F(SettingsWindow, ChevronsAndSwitchesReorderTheMenuBarMetrics) {
    auto& settings = AppSettings::shared();
    settings.setMenuBarMetrics({M::cpu, M::gpu, M::memory});
    open();
    click("tab:menubar");
    // Rows stand in ordered-metric order, top to bottom.
    const auto rowOrder = [this] {
        std::map<int, M> rows;
        for (auto* row : view->findChildren<MetricRow*>())
            rows.emplace(row->y(), row->metric());
        std::vector<M> order;
        for (auto& [y, metric] : rows)
            order.push_back(metric);
        return order;
    };
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(rowOrder(), SettingsView::orderedMetrics());
    EXPECT_FALSE(find<QWidget>("moveUp:cpu")->isEnabled());
    EXPECT_TRUE(find<QWidget>("moveDown:cpu")->isEnabled());
    EXPECT_FALSE(find<QWidget>("moveDown:memory")->isEnabled());
    EXPECT_FALSE(shown("moveUp:battery")) << "disabled metrics have no chevrons";

    click("moveUp:gpu");
    EXPECT_THAT(settings.menuBarMetrics(), ElementsAre(M::gpu, M::cpu, M::memory));
    EXPECT_EQ(stored("menuBarMetrics"),
              platform::DefaultsValue(std::vector<std::string>{"gpu", "cpu", "memory"}));
    click("moveDown:cpu");
    EXPECT_THAT(settings.menuBarMetrics(), ElementsAre(M::gpu, M::memory, M::cpu));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(rowOrder(), SettingsView::orderedMetrics());
    EXPECT_FALSE(find<QWidget>("moveDown:cpu")->isEnabled());

    click("enabled:battery");
    EXPECT_THAT(settings.menuBarMetrics(), ElementsAre(M::gpu, M::memory, M::cpu, M::battery));
    for (const char* name : {"enabled:gpu", "enabled:memory", "enabled:battery", "enabled:cpu"})
        click(name);
    EXPECT_THAT(settings.menuBarMetrics(), ElementsAre(M::cpu)) << "cpu stays";
    EXPECT_TRUE(checked("enabled:cpu"));
}

TEST_F(SettingsWindow, ThemeCardsChooseTheThemesAndTheColourScheme) {
    auto& settings = AppSettings::shared();
    open();
    click("tab:appearance");
    EXPECT_TRUE(find<ThemeCard>("theme:multi")->isSelected());
    // The menu-bar theme follows the theme until chosen; choosing it keeps it.
    click("menuBarTheme:multi");
    EXPECT_EQ(stored("menuBarTheme"), platform::DefaultsValue("multi"));
    click("theme:light");
    EXPECT_EQ(settings.theme(), QFThemeChoice::light);
    EXPECT_EQ(settings.menuBarTheme(), QFThemeChoice::multi);
    EXPECT_TRUE(find<ThemeCard>("theme:light")->isSelected());
    EXPECT_FALSE(find<ThemeCard>("theme:multi")->isSelected());
    click("menuBarTheme:monoBlue");
    EXPECT_EQ(stored("menuBarTheme"), platform::DefaultsValue("monoBlue"));
    EXPECT_TRUE(find<ThemeCard>("menuBarTheme:monoBlue")->isSelected());

    for (const auto theme : kThemeChoices.allCases()) {
        const QPalette palette = SettingsView::schemePalette(theme);
        EXPECT_EQ(palette.color(QPalette::Window), surfaces(theme).windowBG);
        EXPECT_EQ(palette.color(QPalette::Window).lightness() > 128, theme == QFThemeChoice::light)
            << rawValue(theme);
    }
    EXPECT_EQ(view->palette().color(QPalette::Window), QFSurfaces::light().windowBG);
}

TEST_F(SettingsWindow, PaintsSidebarContentAndTheChosenCardInThePalette) {
    setTheme(QFThemeChoice::light);
    view = std::make_unique<SettingsView>();
    view->setTab(SettingsView::Tab::appearance);
    const QImage image = testing::render(*view, SettingsView::contentSize, Qt::black, 2);
    const auto& s = QFSurfaces::light();
    EXPECT_TRUE(
        testing::near(testing::pixelAt(image, SettingsView::sidebarWidth + 10, 590), s.windowBG));
    const QColor sidebarBottom = testing::pixelAt(image, 100, 599.5);
    EXPECT_TRUE(testing::near(sidebarBottom, s.sidebarBot, 2));
    EXPECT_TRUE(testing::near(testing::pixelAt(image, 189.5, 590),
                              testing::over(s.border, sidebarBottom), 2));
    // The chosen card's outline, in the accent, along its left edge.
    auto* card = find<ThemeCard>("theme:light");
    const QPoint edge = card->mapTo(view.get(), QPoint(0, card->height() / 2));
    EXPECT_TRUE(testing::near(testing::pixelAt(image, edge.x() + 0.5, edge.y()), QF::cpu(), 4));
    auto* other = find<ThemeCard>("theme:dual");
    const QPoint plain = other->mapTo(view.get(), QPoint(0, other->height() / 2));
    EXPECT_FALSE(testing::near(testing::pixelAt(image, plain.x() + 0.5, plain.y()), QF::cpu(), 40));
}

TEST_F(SettingsWindow, TheDefaultSizeIsSetOnceKeepingTheTopLeftCorner) {
    QWidget window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.setGeometry(100, 200, 500, 300);
    auto* setter = new SettingsDefaultSizeSetter({860, 600}, &window);
    window.show();
    EXPECT_EQ(window.size(), QSize(500, 300)) << "changed from the main queue";
    fake.queue->runUntilIdle();
    EXPECT_TRUE(setter->didApply());
    EXPECT_EQ(window.size(), QSize(860, 600));
    EXPECT_EQ(window.pos(), QPoint(100, 200));
    window.hide();
    window.resize(700, 500);
    window.show();
    fake.queue->runUntilIdle();
    EXPECT_EQ(window.size(), QSize(700, 500)) << "only once";
}

} // namespace
} // namespace quillfen
