#include "ui/Fonts.h"

#include <QStringList>

#include <cmath>

namespace quillfen {
namespace {

QFont make(const QStringList& families, QFont::StyleHint hint, double size, QFont::Weight weight) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setWeight(weight);
    // Qt takes pixel sizes only as whole numbers. Half sizes (9.5, 11.5, 12.5) go through the
    // point size at the 96 dots per inch that Qt gives every device-independent pixel, which
    // yields the same fractional pixel size.
    if (const double whole = std::round(size); std::abs(size - whole) < 1e-9 && whole >= 1)
        font.setPixelSize(int(whole));
    else
        font.setPointSizeF(std::max(size, 0.5) * 72.0 / 96.0);
    font.setKerning(true);
    return font;
}

} // namespace

QFont qf(double size, QFont::Weight weight) {
    static const QStringList families{QStringLiteral("Inter"), QStringLiteral("sans-serif")};
    return make(families, QFont::SansSerif, size, weight);
}

QFont qfMono(double size, QFont::Weight weight) {
    static const QStringList families{QStringLiteral("JetBrains Mono"),
                                      QStringLiteral("monospace")};
    return make(families, QFont::Monospace, size, weight);
}

} // namespace quillfen
