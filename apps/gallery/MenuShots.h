#pragma once

#include <QString>

namespace quillfen::gallery {

// Renders the menu-bar app to `dir`: the popover (popover-<theme>[@2x].png) in a dark and the
// light theme on a desktop-like backdrop, with a realistic machine's readings, and the tray
// icon (tray-<menu-bar theme>[@2x].png) in every chip arrangement, wide and square, on a dark
// and a light panel. Returns the process's exit status.
int writeMenuShots(const QString& dir, double scale);

} // namespace quillfen::gallery
