#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

namespace quillfen::MenuBarApp {

inline constexpr std::string_view bundleID = "com.brenvoll.pellgrove.menu";
// The main app, whose bundle carries the menu-bar app.
inline constexpr std::string_view mainAppBundleID = "com.brenvoll.pellgrove";

// Where the menu-bar app lies: inside the running app's own bundle.
std::filesystem::path bundleURL();
// The menu-bar app inside the main app's bundle at `appBundle`.
std::filesystem::path bundleURL(const std::filesystem::path& appBundle);

bool isRunning();

// Starts the menu-bar app in the background, without taking the focus. The callback gets
// true when it runs or was started: at once, before this returns, when it was running
// already; otherwise later on the main queue.
void launch(std::function<void(bool)> completion = {});

// Asks every running instance to quit.
void quit();

} // namespace quillfen::MenuBarApp
