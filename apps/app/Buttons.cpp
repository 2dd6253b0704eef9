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

} // namespace

SecondaryButton::SecondaryButton(const QString& title, QWidget* parent)
    : QAbstractButton(parent) {
    setText(title);
    qfFollowTheme(this);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize SecondaryButton::sizeHint() const {
    return {int(std::ceil(qfTextWidth(text(), titleFont()) + 2 * kPaddingH)), int(kHeight)};
}

void SecondaryButton::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const QRectF r = rect();
    qfFillContinuous(p, r, kRadius, surface(hovered_ || isDown()));
    qfStrokeBorder(p, r, kRadius,
                   hasFocus() ? QF::withOpacity(QF::cpu(), 0.8) : QF::borderStrong());
    const double top = (height() - qfLineHeight(titleFont())) / 2;
    qfDrawTextIn(p, QRectF(0, top, width(), qfLineHeight(titleFont())), text(), titleFont(),
                 QF::text1(), Qt::AlignHCenter);
}

void SecondaryButton::enterEvent(QEnterEvent* e) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(e);
}

void SecondaryButton::leaveEvent(QEvent* e) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(e);
}

SymbolButton::SymbolButton(std::string symbol, double side, double glyph, QWidget* parent)
    : QAbstractButton(parent)
    , symbol_(std::move(symbol))
    , side_(side)
    , glyph_(glyph) {
    qfFollowTheme(this);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize SymbolButton::sizeHint() const {
    const int s = int(std::ceil(side_));
    return {s, s};
}

void SymbolButton::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const QRectF r = rect();
    qfFillContinuous(p, r, kRadius, surface(hovered_ || isDown()));
    if (hasFocus()) qfStrokeBorder(p, r, kRadius, QF::withOpacity(QF::cpu(), 0.8));
    qfPaintSymbol(p, r, symbol_, glyph_, QFont::Normal, hovered_ ? QF::text1() : QF::text2());
}

void SymbolButton::enterEvent(QEnterEvent* e) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(e);
}

void SymbolButton::leaveEvent(QEvent* e) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(e);
}

} // namespace quillfen::app
