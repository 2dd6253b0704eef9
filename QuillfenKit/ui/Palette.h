#pragma once

#include "settings/MenuBarMetric.h"
#include "settings/QFThemeChoice.h"

#include <QColor>

#include <array>
#include <cstdint>

namespace quillfen {

// The nine accent colours of a theme: one per kind of resource, a warning, a system and a
// brand colour.
struct QFAccents {
    QColor cpu, gpu, mem, disk, net, bat, warn, sys, brand;

    static const QFAccents& multi();
    static const QFAccents& dual();
    static const QFAccents& mono();
    static const QFAccents& monoGray();
    static const QFAccents& monoBlue();
    static const QFAccents& light();

    bool operator==(const QFAccents&) const = default;
};

// Backgrounds, borders, fills, the track and four text levels. The top/bottom pairs are the
// stops of vertical gradients.
struct QFSurfaces {
    QColor windowBG, cardTop, cardBot, sidebarTop, sidebarBot, chromeTop, border, borderStrong;
    QColor fill1, fill2, fill3, fill4, track, text1, text2, text3, text4;

    static const QFSurfaces& dark();
    static const QFSurfaces& light();

    bool operator==(const QFSurfaces&) const = default;
};

// The colours of a theme choice.
const QFAccents& accents(QFThemeChoice theme);
// The light set for `light`, the dark one for every other theme.
const QFSurfaces& surfaces(QFThemeChoice theme);
// The theme picker's preview strip: cpu, gpu, mem, disk, net.
std::array<QColor, 5> swatches(QFThemeChoice theme);

// Every palette colour by name, so that a view can hold "the theme's cpu colour" rather than
// the colour it had when the view was built.
enum class QFRole : std::uint8_t {
    cpu,
    gpu,
    mem,
    disk,
    net,
    bat,
    warn,
    sys,
    brand,
    windowBG,
    cardTop,
    cardBot,
    sidebarTop,
    sidebarBot,
    chromeTop,
    border,
    borderStrong,
    fill1,
    fill2,
    fill3,
    fill4,
    track,
    text1,
    text2,
    text3,
    text4,
};

// A colour input of a view: either a fixed colour or a palette role looked up when painting,
// so that views built once follow every later change of theme.
class QFColor {
public:
    QFColor(const QColor& color)
        : color_(color) {}
    QFColor(Qt::GlobalColor color)
        : color_(color) {}
    QFColor(QFRole role)
        : role_(role)
        , isRole_(true) {}

    QColor resolve() const;
    bool isRole() const { return isRole_; }

    bool operator==(const QFColor&) const = default;

private:
    QColor color_;
    QFRole role_ = QFRole::text1;
    bool isRole_ = false;
};

// The palette of the user's current theme. Every accessor reads the theme setting when it is
// called; nothing is remembered between calls.
namespace QF {

const QFAccents& accents();
const QFSurfaces& surfaces();

QColor cpu();
QColor gpu();
QColor mem();
QColor disk();
QColor net();
QColor bat();
QColor warn();
QColor sys();
QColor brand();

QColor windowBG();
QColor cardTop();
QColor cardBot();
QColor sidebarTop();
QColor sidebarBot();
QColor chromeTop();
QColor border();
QColor borderStrong();
QColor fill1();
QColor fill2();
QColor fill3();
QColor fill4();
QColor track();
QColor text1();
QColor text2();
QColor text3();
QColor text4();

// Black at opacity 0.55, whatever the theme.
QColor popoverShadow();

// A role of the current theme.
QColor role(QFRole role);
// The same role in a given theme.
QColor role(QFRole role, QFThemeChoice theme);

// The current theme's accent for a menu-bar metric.
QColor color(MenuBarMetric metric);
// A metric's chip in the menu bar, which has a theme of its own: the single theme's brand
// colour in the mono themes, the metric's accent otherwise.
QColor chipColor(MenuBarMetric metric, QFThemeChoice theme);

// An opaque colour from channels on the 0 to 255 scale.
QColor rgb(double r, double g, double b);

// `color` with its opacity multiplied by `opacity`.
QColor withOpacity(QColor color, double opacity);

} // namespace QF

} // namespace quillfen
