#include "SettingsScene/SettingsView.h"

#include "SettingsScene/SettingsControls.h"
#include "SettingsScene/SettingsPieces.h"
#include "companions/HelperApp.h"
#include "companions/MenuBarApp.h"
#include "platform/Platform.h"
#include "sensors/SensorBridge.h"
#include "settings/AppSettings.h"
#include "support/Json.h"
#include "support/VersionCompare.h"
#include "ui/Palette.h"
#include "ui/QFView.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace quillfen {

// --- Tabs ----------------------------------------------------------------------------------

std::optional<SettingsView::Tab> SettingsView::tabNamed(std::string_view raw) {
    for (const Tab tab : allTabs)
        if (tabRawValue(tab) == raw) return tab;
    return std::nullopt;
}

std::string_view SettingsView::tabRawValue(Tab tab) {
    switch (tab) {
    case Tab::general:
        return "general";
    case Tab::menubar:
        return "menubar";
    case Tab::appearance:
        return "appearance";
    case Tab::about:
        return "about";
    }
    return {};
}

QString SettingsView::tabTitle(Tab tab) {
    switch (tab) {
    case Tab::general:
        return QStringLiteral("General");
    case Tab::menubar:
        return QStringLiteral("Menu Bar");
    case Tab::appearance:
        return QStringLiteral("Appearance");
    case Tab::about:
        return QStringLiteral("About");
    }
    return {};
}

std::string_view SettingsView::tabSymbol(Tab tab) {
    switch (tab) {
    case Tab::general:
        return "gearshape";
    case Tab::menubar:
        return "menubar.rectangle";
    case Tab::appearance:
        return "paintpalette";
    case Tab::about:
        return "info.circle";
    }
    return {};
}

// --- Settings algorithms -------------------------------------------------------------------

std::vector<MenuBarMetric> SettingsView::orderedMetrics(const std::vector<MenuBarMetric>& enabled) {
    std::vector<MenuBarMetric> ordered = enabled;
    for (const auto metric : kMenuBarMetrics.allCases())
        if (std::find(enabled.begin(), enabled.end(), metric) == enabled.end())
            ordered.push_back(metric);
    return ordered;
}

std::vector<MenuBarMetric> SettingsView::orderedMetrics() {
    return orderedMetrics(AppSettings::shared().menuBarMetrics());
}

bool SettingsView::isEnabled(MenuBarMetric metric) {
    const auto& list = AppSettings::shared().menuBarMetrics();
    return std::find(list.begin(), list.end(), metric) != list.end();
}

std::vector<MenuBarMetric> SettingsView::moved(std::vector<MenuBarMetric> list,
                                               MenuBarMetric metric, int step) {
    const auto it = std::find(list.begin(), list.end(), metric);
    if (it == list.end()) return list;
    const auto i = it - list.begin();
    const auto j = i + step;
    if (j < 0 || j >= std::ssize(list)) return list;
    std::swap(list[std::size_t(i)], list[std::size_t(j)]);
    return list;
}

void SettingsView::move(MenuBarMetric metric, int step) {
    auto& settings = AppSettings::shared();
    settings.setMenuBarMetrics(moved(settings.menuBarMetrics(), metric, step));
}

std::vector<MenuBarMetric> SettingsView::withEnabled(std::vector<MenuBarMetric> list,
                                                     MenuBarMetric metric, bool enabled) {
    if (enabled) {
        if (std::find(list.begin(), list.end(), metric) == list.end()) list.push_back(metric);
        return list;
    }
    std::erase(list, metric);
    if (list.empty()) list = {MenuBarMetric::cpu};
    return list;
}

bool SettingsView::EnabledBinding::get() const {
    return isEnabled(metric);
}

void SettingsView::EnabledBinding::set(bool enabled) const {
    auto& settings = AppSettings::shared();
    settings.setMenuBarMetrics(withEnabled(settings.menuBarMetrics(), metric, enabled));
}

SettingsView::EnabledBinding SettingsView::enabledBinding(MenuBarMetric metric) {
    return {metric};
}

bool SettingsView::showsUpdateHint(const std::optional<std::string>& installedVersion) {
    return installedVersion && compareNumeric(*installedVersion, HelperApp::minVersion) < 0;
}

QString SettingsView::helperSummary(bool installed, bool running,
                                    const std::optional<std::string>& runningVersion,
                                    const std::optional<std::string>& installedVersion) {
    if (!installed) return QStringLiteral("not installed");
    const auto version = runningVersion ? runningVersion : installedVersion;
    return QString(running ? "running" : "installed") + QStringLiteral(" · ") +
           (version ? QString::fromStdString(*version) : QStringLiteral("—"));
}

QString SettingsView::helperSummary() const {
    return helperSummary(HelperApp::isInstalled(), helperRunning_, HelperApp::runningVersion(),
                         HelperApp::installedVersion());
}

QString SettingsView::appVersion() {
    const auto version = json::textIn(platform::current().mainBundle->infoDictionary(),
                                      "CFBundleShortVersionString");
    return version ? QString::fromStdString(*version) : QStringLiteral("—");
}

bool SettingsView::readAutostart() {
    const auto control = SensorBridge::readControl();
    return control && control->autostart;
}

SensorControl SettingsView::stopRequest(double now) {
    return SensorControl{readAutostart(), now};
}

// --- Look ----------------------------------------------------------------------------------

QPalette SettingsView::schemePalette(QFThemeChoice theme) {
    const QFSurfaces& s = surfaces(theme);
    QPalette palette;
    const auto set = [&palette](QPalette::ColorRole role, const QColor& colour) {
        palette.setColor(QPalette::All, role, colour);
    };
    set(QPalette::Window, s.windowBG);
    set(QPalette::WindowText, s.text1);
    set(QPalette::Base, s.cardTop);
    set(QPalette::AlternateBase, s.cardBot);
    set(QPalette::Text, s.text1);
    set(QPalette::Button, s.cardTop);
    set(QPalette::ButtonText, s.text1);
    set(QPalette::ToolTipBase, s.cardTop);
    set(QPalette::ToolTipText, s.text1);
    set(QPalette::PlaceholderText, s.text3);
    set(QPalette::Highlight, accents(theme).cpu);
    set(QPalette::HighlightedText, QColor(255, 255, 255));
    set(QPalette::Link, accents(theme).cpu);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, s.text3);
    palette.setColor(QPalette::Disabled, QPalette::Text, s.text3);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, s.text3);
    return palette;
}

void SettingsView::applyScheme() {
    const QFThemeChoice theme = AppSettings::shared().theme();
    setPalette(schemePalette(theme));
    // The scroll indicator, thin and in the theme's colours rather than the platform's.
    const QString sheet = qfScrollIndicatorSheet(surfaces(theme).text4);
    for (auto* scroll : findChildren<QScrollArea*>())
        scroll->verticalScrollBar()->setStyleSheet(sheet);
    update();
}

void SettingsView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QF::windowBG());
}

// --- The window ----------------------------------------------------------------------------

SettingsView::SettingsView(QWidget* parent)
    : QWidget(parent) {
    setWindowTitle(QStringLiteral("Settings"));
    setFixedSize(contentSize);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(makeSidebar());
    pages_ = new QStackedWidget;
    pages_->addWidget(makePage(makeGeneralTab()));
    pages_->addWidget(makePage(makeMenuBarTab()));
    pages_->addWidget(makePage(makeAppearanceTab()));
    pages_->addWidget(makePage(makeAboutTab()));
    row->addWidget(pages_, 1);
    applyScheme();
    connect(&AppSettings::shared(), &AppSettings::themeChanged, this, [this] { applyScheme(); });
    setTab(Tab::general);
    showHelperState();
    showMenuState();
}

SettingsView::~SettingsView() {
    helperRefresh_.cancel();
}

void SettingsView::setTab(Tab tab) {
    const bool changed = tab != tab_;
    tab_ = tab;
    const auto index =
        std::size_t(std::find(allTabs.begin(), allTabs.end(), tab) - allTabs.begin());
    tabButtons_[index]->setChecked(true);
    pages_->setCurrentIndex(int(index));
    if (changed) emit tabChanged(tab);
}

QWidget* SettingsView::makeSidebar() {
    auto* sidebar = new SettingsSidebar;
    sidebar->setFixedWidth(int(sidebarWidth));
    auto* stack = new QVBoxLayout(sidebar);
    stack->setContentsMargins(10, 10 + 30, 10, 10);
    stack->setSpacing(1);
    for (const Tab tab : allTabs) {
        auto* button = new SettingsTabButton(std::string(tabSymbol(tab)), tabTitle(tab));
        button->setObjectName("tab:" + QString::fromUtf8(tabRawValue(tab)));
        connect(button, &QAbstractButton::clicked, this, [this, tab] { setTab(tab); });
        stack->addWidget(button);
        tabButtons_.push_back(button);
    }
    stack->addStretch(1);
    return sidebar;
}

QScrollArea* SettingsView::makePage(QWidget* content) {
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    // The window's background shows through; the page draws only its content.
    content->setAutoFillBackground(false);
    scroll->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);
    return scroll;
}

// --- The helper and the menu-bar app -------------------------------------------------------

void SettingsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    onScreenRefresh();
    if (helperRefresh_.isEmpty() || helperRefresh_.isCancelled()) {
        QPointer<SettingsView> self(this);
        helperRefresh_ = platform::current().mainQueue->repeating(helperRefreshInterval, [self] {
            if (self) self->onScreenRefresh();
        });
    }
}

void SettingsView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Nobody sees the state while the window is hidden; it is looked up again on showing.
    helperRefresh_.cancel();
    helperRefresh_ = {};
}

void SettingsView::onScreenRefresh() {
    refreshHelper();
    refreshMenuRunning();
}

void SettingsView::refreshHelper() {
    helperRunning_ = HelperApp::isRunning();
    helperAutostart_ = readAutostart();
    showHelperState();
}

void SettingsView::refreshMenuRunning() {
    menuRunning_ = MenuBarApp::isRunning();
    showMenuState();
}

void SettingsView::followUp() {
    QPointer<SettingsView> self(this);
    platform::current().mainQueue->asyncAfter(followUpDelay, [self] {
        if (self) self->refreshHelper();
    });
}

void SettingsView::stopOrStartHelper() {
    if (helperRunning_)
        SensorBridge::writeControl(stopRequest(platform::current().clock->now()));
    else
        HelperApp::start();
    followUp();
}

// --- The window's default size -------------------------------------------------------------

SettingsDefaultSizeSetter::SettingsDefaultSizeSetter(QSize defaultSize, QWidget* parent)
    : QWidget(parent)
    , defaultSize_(defaultSize) {
    // Present only to hear when its window is shown.
    setFixedSize(0, 0);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QRect SettingsDefaultSizeSetter::resizedFrame(const QRect& old, QSize defaultSize) {
    return {old.topLeft(), defaultSize};
}

void SettingsDefaultSizeSetter::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (didApply_) return;
    didApply_ = true;
    QPointer<QWidget> host(window());
    const QSize size = defaultSize_;
    platform::current().mainQueue->async([host, size] {
        if (!host) return;
        const QRect frame = resizedFrame(QRect(host->pos(), host->size()), size);
        host->resize(frame.size());
        host->move(frame.topLeft());
    });
}

void showSettingsWindow(SettingsView::Tab tab) {
    static QPointer<SettingsView> window;
    if (!window) {
        window = new SettingsView;
        window->setAttribute(Qt::WA_DeleteOnClose);
        new SettingsDefaultSizeSetter(SettingsView::contentSize, window);
    }
    window->setTab(tab);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace quillfen
