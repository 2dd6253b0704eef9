#pragma once

#include "ui/Fonts.h"
#include "ui/Palette.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

class QEvent;
class QWidget;

namespace quillfen {

// The detail views are set in the desktop's semantic text styles and colours rather than in
// the palette's named sizes. This is where those names become sizes and theme colours, so
// that every view using them changes together.
enum class QFTextStyle { headline, callout, caption, caption2 };

// The style's size in points: headline 13, callout 12, caption 10.5, caption 2 9.5.
double qfTextStyleSize(QFTextStyle style);
// The style's font; a headline is semibold unless a weight is given. Monospaced digits are
// set in the monospaced design, as every changing number of the kit is.
QFont qfTextStyleFont(QFTextStyle style, bool monospacedDigits = false);
QFont qfTextStyleFont(QFTextStyle style, QFont::Weight weight, bool monospacedDigits = false);

// Accent is the theme's interactive accent (`cpu`); orange and purple are the theme's `mem`
// and `gpu` accents, which are orange and purple in the colourful themes and stay distinct
// shades in the single-colour ones; primary, secondary and tertiary are the text levels
// `text1` to `text3`; white is white.
enum class QFSemanticColor { accent, orange, purple, primary, secondary, tertiary, white };

// A semantic colour at an opacity, looked up in the current theme when it is resolved.
struct QFSemanticTint {
    QFSemanticColor color = QFSemanticColor::primary;
    double opacity = 1;

    QColor resolve() const;
    bool operator==(const QFSemanticTint&) const = default;
};

QColor qfSemanticColor(QFSemanticColor color);
// The palette role behind a semantic colour, for views that take roles; none for white.
std::optional<QFRole> qfSemanticRole(QFSemanticColor color);

// Text drawn on a filled shape: `preferred` unless the fill is so pale that white text on it
// could not be read (as the grey and pale-blue single-colour themes' accents are); then the
// dark theme's window colour.
QColor qfTextOnFill(const QColor& preferred, const QColor& fill);

// Answers a tooltip event for `widget` with `tip`, the text for the point asked about: shown
// beside it, or any tooltip showing hidden when there is none there. Always handled.
bool qfAnswerToolTip(QWidget* widget, QEvent* event, const QString& tip);

} // namespace quillfen
