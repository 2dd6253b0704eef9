#pragma once

#include <filesystem>
#include <optional>
#include <vector>

// The user's folders as the XDG base-directory rules place them. Relative values of the
// variables are invalid and ignored, as the rules require.
namespace quillfen::platform::linux::xdg {

// $HOME, else the home folder of the password database.
std::optional<std::filesystem::path> home();
// $XDG_DATA_HOME, else ~/.local/share.
std::optional<std::filesystem::path> dataHome();
// $XDG_CONFIG_HOME, else ~/.config.
std::optional<std::filesystem::path> configHome();
// The absolute entries of $XDG_DATA_DIRS, else /usr/local/share and /usr/share.
std::vector<std::filesystem::path> dataDirs();
// $XDG_RUNTIME_DIR when it names a folder of the user's own that only the user may enter
// (mode 0700, as the rules require); nothing otherwise, the rules naming no default.
std::optional<std::filesystem::path> runtimeDir();

} // namespace quillfen::platform::linux::xdg
