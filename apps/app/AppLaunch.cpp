#include "AppLaunch.h"

#include "companions/HelperApp.h"
#include "companions/MenuBarApp.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "support/SystemLog.h"
#include "ui/Palette.h"

#include <QApplication>
#include <QPalette>

namespace quillfen::app {

std::variant<LaunchOptions, std::string> parseArguments(const QStringList& arguments) {
    LaunchOptions o;
    bool tabGiven = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == "--settings") {
            o.settingsOnly = true;
        } else if (a == "--tab") {
            if (i + 1 >= arguments.size()) return std::string("--tab needs a tab name");
            const auto tab = SettingsView::tabNamed(arguments[++i].toStdString());
            if (!tab)
                return "unknown tab \"" + arguments[i].toStdString() +
                       "\" (general, menubar, appearance or about)";
            o.tab = *tab;
            tabGiven = true;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else {
            return "unknown argument \"" + a.toStdString() + "\"";
        }
    }
    if (tabGiven && !o.settingsOnly) return std::string("--tab goes with --settings");
    return o;
}

void installLoginItemHandler() {
    AppSettings::loginItemHandler = [](bool on) {
        auto& items = *platform::current().loginItems;
        const auto error = on ? items.registerApp(MenuBarApp::bundleURL())
                              : items.unregisterApp(MenuBarApp::bundleID);
        if (error) systemLog("Quillfen: login-item update failed: " + *error);
    };
}

void runHelperManagement() {
    HelperApp::autoStartAfterInstallIfNeeded();
    HelperApp::restartIfStaleVersionRunning();
    HelperApp::stopUnsupportedHelperIfNeeded();
}

namespace {

void applyPalette() {
    QPalette p;
    const QColor window = QF::windowBG(), text = QF::text1();
    // Translucent palette colours are laid over the window colour: the style draws with
    // them on surfaces of its own.
    const auto solid = [&](const QColor& c) {
        const double a = c.alphaF();
        return QColor::fromRgbF(float(c.redF() * a + window.redF() * (1 - a)),
                                float(c.greenF() * a + window.greenF() * (1 - a)),
                                float(c.blueF() * a + window.blueF() * (1 - a)));
    };
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, QF::cardTop());
    p.setColor(QPalette::AlternateBase, QF::cardBot());
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, solid(QF::fill3()));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::ToolTipBase, QF::cardTop());
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QF::text3());
    p.setColor(QPalette::Highlight, QF::cpu());
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Light, solid(QF::fill4()));
    p.setColor(QPalette::Midlight, solid(QF::fill3()));
    p.setColor(QPalette::Mid, solid(QF::borderStrong()));
    p.setColor(QPalette::Dark, solid(QF::fill2()));
    p.setColor(QPalette::Shadow, QF::popoverShadow());
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QF::text4());
    QApplication::setPalette(p);
}

} // namespace

void followThemeInApplicationPalette() {
    applyPalette();
    QObject::connect(&AppSettings::shared(), &AppSettings::themeChanged, qApp,
                     [] { applyPalette(); });
}

} // namespace quillfen::app
