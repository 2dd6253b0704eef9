#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace quillfen::menu {

// Kept between the popover and the screen's edges, and between it and the tray item.
inline constexpr int kPopoverScreenMargin = 8;
inline constexpr int kPopoverTrayGap = 4;

// Where the popover's top-left corner goes. Beside the tray item when the host says where it
// is: below an item in the upper half of the screen, above one in the lower half, centred on
// it. Otherwise in the corner of the screen nearest the cursor, which is where the click on
// the item came from. Always kept on `screen` (its available area).
QPoint popoverPosition(QSize size, std::optional<QRect> trayItem, QRect screen, QPoint cursor);

} // namespace quillfen::menu
