#include "SettingsShots.h"

#include "SettingsScene/SettingsView.h"
#include "companions/HelperApp.h"
#include "companions/MenuBarApp.h"
#include "platform/Platform.h"
#include "platform/fake/FakeFileManager.h"
#include "platform/fake/FakeMainBundle.h"
#include "platform/fake/FakeWorkspace.h"
#include "sensors/SensorBridge.h"
#include "settings/AppSettings.h"
#include "support/ProductVersion.h"

#include <QCoreApplication>
#include <QImage>
#include <QTemporaryDir>

#include <iostream>
#include <memory>

namespace quillfen::gallery {
namespace {

using Tab = SettingsView::Tab;

enum class Helper { running, outdated, missing };

struct Shot {
    Tab tab;
    const char* state; // file-name suffix; empty for the usual state
    Helper helper = Helper::running;
    bool menuRunning = true;
};

const Shot kShots[] = {
    {Tab::general, ""},
    {Tab::general, "outdated", Helper::outdated},
    {Tab::general, "missing", Helper::missing},
    {Tab::menubar, ""},
    {Tab::menubar, "hidden", Helper::running, false},
    {Tab::appearance, ""},
    {Tab::about, ""},
    {Tab::about, "missing", Helper::missing},
};

const std::string kHelperID(HelperApp::bundleID);
const std::filesystem::path kHelperBundle = "/opt/Quillfen Helper.app";

// The helper and the menu-bar app as the shot wants them.
void stage(platform::fake::FakeWorkspace& workspace, const Shot& shot, double now) {
    workspace.installed.clear();
    workspace.bundles.clear();
    workspace.running.clear();
    if (shot.helper != Helper::missing) {
        const std::string version = shot.helper == Helper::outdated ? "0.9" : "1.2";
        workspace.installed[kHelperID] = kHelperBundle;
        workspace.bundles[kHelperBundle] =
            json::Json{{"CFBundleIdentifier", kHelperID}, {"CFBundleShortVersionString", version}};
    }
    if (shot.helper == Helper::running) {
        workspace.running.push_back({kHelperID, "Quillfen Helper", kHelperBundle, 4242});
        SensorBridge::write(SensorsPayload{{}, {}, now, "1.2"});
        SensorBridge::writeControl({true, std::nullopt});
    } else {
        SensorBridge::write(SensorsPayload{{}, {}, now - 60, std::nullopt});
        SensorBridge::writeControl({false, std::nullopt});
    }
    if (shot.menuRunning)
        workspace.running.push_back(
            {std::string(MenuBarApp::bundleID), "Quillfen Menu", MenuBarApp::bundleURL(), 4343});
}

// Settings that show what the tab can do.
void configure(QFThemeChoice theme, const Shot& shot) {
    auto& settings = AppSettings::shared();
    settings.setTheme(theme);
    const bool compact = std::string_view(shot.state) == "hidden";
    settings.setMenuBarMetrics(compact ? std::vector{MenuBarMetric::cpu, MenuBarMetric::memory,
                                                     MenuBarMetric::netDown, MenuBarMetric::netUp}
                                       : std::vector{MenuBarMetric::cpu, MenuBarMetric::gpu,
                                                     MenuBarMetric::temperature,
                                                     MenuBarMetric::battery});
    settings.setTwoLineMenuBarLabels(!compact);
    settings.setCompactMenuBarSpacing(compact);
    settings.setLaunchAtLogin(true);
    // The appearance tab shows two different choices.
    settings.setMenuBarTheme(shot.tab == Tab::appearance && theme != QFThemeChoice::monoGray
                                 ? QFThemeChoice::monoGray
                                 : theme);
}

} // namespace

int writeSettingsShots(const QString& dir, double scale) {
    QTemporaryDir container;
    if (!container.isValid()) {
        std::cerr << "quillfen-gallery: cannot create a temporary folder\n";
        return 1;
    }
    auto workspace = std::make_shared<platform::fake::FakeWorkspace>();
    auto files = std::make_shared<platform::fake::FakeFileManager>();
    files->groupContainersRoot = container.path().toStdString();
    auto bundle = std::make_shared<platform::fake::FakeMainBundle>();
    bundle->path = "/opt/Quillfen.app";
    bundle->info = json::Json{{"CFBundleShortVersionString", std::string(productVersion())}};
    platform::Platform staged = platform::current();
    staged.workspace = workspace;
    staged.fileManager = files;
    staged.mainBundle = bundle;
    platform::ScopedPlatform scope(staged);

    const QString suffix = scale == 2 ? "@2x" : "";
    for (const auto theme : kThemeChoices.allCases()) {
        for (const Shot& shot : kShots) {
            configure(theme, shot);
            stage(*workspace, shot, staged.clock->now());
            SettingsView view;
            view.setTab(shot.tab);
            view.setAttribute(Qt::WA_DontShowOnScreen);
            view.show();
            QCoreApplication::sendPostedEvents();
            QCoreApplication::sendPostedEvents();
            QImage image(view.size() * scale, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(scale);
            image.fill(Qt::black);
            view.render(&image);
            QString name = QStringLiteral("settings-%1-%2")
                               .arg(QString::fromUtf8(SettingsView::tabRawValue(shot.tab)),
                                    QString::fromUtf8(rawValue(theme)));
            if (*shot.state) name += QStringLiteral("-") + shot.state;
            const QString path = QStringLiteral("%1/%2%3.png").arg(dir, name, suffix);
            if (!image.save(path, "PNG")) {
                std::cerr << "quillfen-gallery: cannot write " << path.toStdString() << "\n";
                return 1;
            }
            std::cout << path.toStdString() << "\n";
        }
    }
    return 0;
}

} // namespace quillfen::gallery
