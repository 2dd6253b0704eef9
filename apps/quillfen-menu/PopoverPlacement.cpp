#include "PopoverPlacement.h"

#include <algorithm>

namespace quillfen::menu {
namespace {

// `position` moved so that `length` fits between `low` and `high` less the margins; a popover
// larger than the screen keeps its start on it.
int clampInto(int position, int length, int low, int high) {
    const int first = low + kPopoverScreenMargin;
    const int last = high - kPopoverScreenMargin - length;
    return std::max(first, std::min(position, last));
}

} // namespace

QPoint popoverPosition(QSize size, std::optional<QRect> trayItem, QRect screen, QPoint cursor) {
    const int right = screen.x() + screen.width(), bottom = screen.y() + screen.height();
    int x = 0, y = 0;
    if (trayItem && trayItem->isValid() && !trayItem->isEmpty()) {
        const QRect& item = *trayItem;
        x = item.x() + item.width() / 2 - size.width() / 2;
        const bool upperHalf = item.center().y() < screen.center().y();
        y = upperHalf ? item.y() + item.height() + kPopoverTrayGap
                      : item.y() - kPopoverTrayGap - size.height();
    } else {
        const bool left = cursor.x() < screen.center().x();
        const bool top = cursor.y() < screen.center().y();
        x = left ? screen.x() : right - size.width();
        y = top ? screen.y() : bottom - size.height();
    }
    return {clampInto(x, size.width(), screen.x(), right),
            clampInto(y, size.height(), screen.y(), bottom)};
}

} // namespace quillfen::menu
