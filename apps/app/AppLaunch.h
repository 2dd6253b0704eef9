#pragma once

#include "SettingsScene/SettingsView.h"

#include <QStringList>

#include <optional>
#include <string>
#include <variant>

namespace quillfen::app {

// What the command line asks for.
struct LaunchOptions {
    // Only the settings window, on `tab`.
    bool settingsOnly = false;
    SettingsView::Tab tab = SettingsView::Tab::general;
    bool help = false;
};

inline constexpr const char* kUsage =
    "usage: quillfen-app [--settings [--tab general|menubar|appearance|about]]\n"
    "  Without arguments opens the monitor window; with --settings only the settings window.\n";

// The options of `arguments` (the program name first), or why they make no sense.
std::variant<LaunchOptions, std::string> parseArguments(const QStringList& arguments);

// Installs the settings' login-item handler: launch at login registers the menu-bar app that
// ships inside this app's bundle, and switching it off removes that login item. A failure is
// logged.
void installLoginItemHandler();

// The main app's care of the sensor helper at launch: start it once after it was installed,
// restart it once when a newer version was installed under a running one, stop one too old
// to be used.
void runHelperManagement();

// Gives the application's widgets (scroll bars, tooltips, menus) the colours of the user's
// theme, now and whenever it changes.
void followThemeInApplicationPalette();

} // namespace quillfen::app
