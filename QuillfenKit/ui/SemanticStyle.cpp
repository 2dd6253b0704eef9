#include "ui/SemanticStyle.h"

#include <QHelpEvent>
#include <QToolTip>

#include <cmath>

namespace quillfen {
namespace {

// sRGB channel to linear light.
double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c) {
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

// Above this relative luminance white text falls below a contrast of about 1.9 : 1.
constexpr double kPaleFill = 0.5;

} // namespace

double qfTextStyleSize(QFTextStyle style) {
    switch (style) {
    case QFTextStyle::headline:
        return 13;
    case QFTextStyle::callout:
        return 12;
    case QFTextStyle::caption:
        return 10.5;
    case QFTextStyle::caption2:
        return 9.5;
    }
    return 12;
}

QFont qfTextStyleFont(QFTextStyle style, bool monospacedDigits) {
    return qfTextStyleFont(style, style == QFTextStyle::headline ? QFont::DemiBold : QFont::Normal,
                           monospacedDigits);
}

QFont qfTextStyleFont(QFTextStyle style, QFont::Weight weight, bool monospacedDigits) {
    const double size = qfTextStyleSize(style);
    return monospacedDigits ? qfMono(size, weight) : qf(size, weight);
}

std::optional<QFRole> qfSemanticRole(QFSemanticColor color) {
    switch (color) {
    case QFSemanticColor::accent:
        return QFRole::cpu;
    case QFSemanticColor::orange:
        return QFRole::mem;
    case QFSemanticColor::purple:
        return QFRole::gpu;
    case QFSemanticColor::primary:
        return QFRole::text1;
    case QFSemanticColor::secondary:
        return QFRole::text2;
    case QFSemanticColor::tertiary:
        return QFRole::text3;
    case QFSemanticColor::white:
        break;
    }
    return std::nullopt;
}

QColor qfSemanticColor(QFSemanticColor color) {
    const auto role = qfSemanticRole(color);
    return role ? QF::role(*role) : QColor(Qt::white);
}

QColor QFSemanticTint::resolve() const {
    return QF::withOpacity(qfSemanticColor(color), opacity);
}

QColor qfTextOnFill(const QColor& preferred, const QColor& fill) {
    if (preferred != QColor(Qt::white) || fill.alphaF() < 0.99 || luminance(fill) <= kPaleFill)
        return preferred;
    return QFSurfaces::dark().windowBG;
}

bool qfAnswerToolTip(QWidget* widget, QEvent* event, const QString& tip) {
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, widget);
    }
    return true;
}

} // namespace quillfen
