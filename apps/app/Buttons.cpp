#include "Buttons.h"

#include "ui/ContinuousCorners.h"
#include "ui/Palette.h"
#include "ui/QFText.h"
#include "ui/QFView.h"
#include "ui/Symbols.h"

#include <cmath>

namespace quillfen::app {
namespace {

constexpr double kRadius = 6, kPaddingH = 12, kHeight = 24;

const QFont& titleFont() {
    static const QFont f = qf(12, QFont::Medium);
    return f;
}

QColor surface(bool active) {
    return active ? QF::fill3() : QF::fill2();
}

// What both kinds share: theme colours, a hover look, keyboard focus, a pointing hand and
// their own size.
void setUp(QAbstractButton* button) {
    qfFollowTheme(button);
    button->setAttribute(Qt::WA_Hover); // repainted as the pointer comes and goes
    button->setFocusPolicy(Qt::TabFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

} // namespace

SecondaryButton::SecondaryButton(const QString& title, QWidget* parent)
    : QAbstractButton(parent) {
    setText(title);
    setUp(this);
}

QSize SecondaryButton::sizeHint() const {
    return {int(std::ceil(qfTextWidth(text(), titleFont()) + 2 * kPaddingH)), int(kHeight)};
}

void SecondaryButton::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const QRectF r = rect();
    qfFillContinuous(p, r, kRadius, surface(underMouse() || isDown()));
    qfStrokeBorder(p, r, kRadius,
                   hasFocus() ? QF::withOpacity(QF::cpu(), 0.8) : QF::borderStrong());
    const double top = (height() - qfLineHeight(titleFont())) / 2;
    qfDrawTextIn(p, QRectF(0, top, width(), qfLineHeight(titleFont())), text(), titleFont(),
                 QF::text1(), Qt::AlignHCenter);
}

SymbolButton::SymbolButton(std::string symbol, double side, double glyph, QWidget* parent)
    : QAbstractButton(parent)
    , symbol_(std::move(symbol))
    , side_(side)
    , glyph_(glyph) {
    setUp(this);
}

QSize SymbolButton::sizeHint() const {
    const int s = int(std::ceil(side_));
    return {s, s};
}

void SymbolButton::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const QRectF r = rect();
    qfFillContinuous(p, r, kRadius, surface(underMouse() || isDown()));
    if (hasFocus()) qfStrokeBorder(p, r, kRadius, QF::withOpacity(QF::cpu(), 0.8));
    qfPaintSymbol(p, r, symbol_, glyph_, QFont::Normal, underMouse() ? QF::text1() : QF::text2());
}

} // namespace quillfen::app
