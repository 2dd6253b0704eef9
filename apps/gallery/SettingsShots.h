#pragma once

#include <QString>

namespace quillfen::gallery {

// Renders every tab of the settings window in every theme to `dir` as
// settings-<tab>-<theme>[-<state>][@2x].png, with made-up but realistic states of the helper
// (installed and running, installed but outdated, not installed) and of the menu-bar app.
// Nothing of the user's own settings, helper or container is read or touched. Returns the
// process's exit status.
int writeSettingsShots(const QString& dir, double scale);

} // namespace quillfen::gallery
