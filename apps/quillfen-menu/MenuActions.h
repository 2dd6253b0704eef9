#pragma once

#include <filesystem>
#include <functional>
#include <optional>

namespace quillfen::menu {

// What the popover's footer and the item's context menu do.
struct MenuActions {
    std::function<void()> openApp;
    std::function<void()> openSettings;
    std::function<void()> quit;
};

// The main app's bundle: the one this app's bundle lies in (…/Quillfen.app/Contents/MacOS/
// Quillfen Menu.app), else the installed one, else nothing.
std::optional<std::filesystem::path> mainAppBundle();

// The actions of the running app: start the main app, start it on its settings window
// (`quillfen-app --settings`), quit this app.
MenuActions systemMenuActions();

} // namespace quillfen::menu
