#pragma once

#include "model/SystemSnapshot.h"
#include "settings/MenuBarMetric.h"
#include "settings/QFThemeChoice.h"
#include "ui/MenuBarChips.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

namespace quillfen::menu {

// The tray's value of a metric, as short as the menu bar shows it: "23%", "27G", "47°",
// "100%", "1.8M", "86K"; "—" while there is no reading.
QString compactValue(MenuBarMetric metric, const SnapshotValues& values);
// Binary multiples with a one-letter unit: one decimal below 10 of a unit, whole above.
QString compactBytes(std::uint64_t count);

// One line per metric with its full value ("CPU: 23%", "Network In: 1.8 MB/s"), in order.
QString trayTooltip(const std::vector<MenuBarMetric>& metrics, const SnapshotValues& values);

// How the tray host shows an item's icon: at any width, or squeezed into a square, where only
// the first chip stays legible.
enum class TrayShape { wide, square };

// Everything the icon shows: two equal states draw the same pixels.
struct TrayIconState {
    std::vector<MenuBarChip> chips;
    MenuBarChipsOptions options;
    QFThemeChoice theme = QFThemeChoice::multi;
    TrayShape shape = TrayShape::wide;

    bool operator==(const TrayIconState& other) const {
        return chips == other.chips && options.twoLineLabels == other.options.twoLineLabels &&
               options.compactSpacing == other.options.compactSpacing && theme == other.theme &&
               shape == other.shape;
    }
};

// The icon's state from the settings now in force and the latest readings.
TrayIconState trayIconState(const SnapshotValues& values, TrayShape shape);

// The points the tray gives an icon by default; images are drawn at the screen's pixel ratio.
inline constexpr int kTrayIconHeight = 22;

// The chips on a transparent image `height` points high: as wide as they are, or, for a
// square host, the first chip alone, centred and shrunk to fit. Values are white, or the light
// theme's text colour with the light menu-bar theme, which is meant for light panels.
QImage renderTrayIcon(const TrayIconState& state, double devicePixelRatio,
                      int height = kTrayIconHeight);

} // namespace quillfen::menu
