#include "SettingsScene/SettingsControls.h"

#include "ui/ContinuousCorners.h"
#include "ui/QFText.h"
#include "ui/QFView.h"
#include "ui/Symbols.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <cmath>

namespace quillfen {
namespace {

// A control being pressed darkens a little; a disabled one fades.
constexpr double kPressedOpacity = 0.78;
constexpr double kDisabledOpacity = 0.35;

QColor white() {
    return QColor(255, 255, 255);
}

// The baseline that centres one line of `font` in a box `height` high starting at `top`.
double centredBaseline(double top, double height, const QFont& font) {
    return top + (height - qfLineHeight(font)) / 2 + qfAscent(font);
}

} // namespace

// --- SettingsSwitch ------------------------------------------------------------------------

SettingsSwitch::SettingsSwitch(QWidget* parent)
    : QAbstractButton(parent) {
    qfFollowTheme(this);
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    // Keyboard users reach it with Tab; a click does not leave a focus ring behind.
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize SettingsSwitch::sizeHint() const {
    return {int(trackWidth), int(trackHeight)};
}

void SettingsSwitch::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    if (!isEnabled()) p.setOpacity(kDisabledOpacity);
    const QRectF track((width() - trackWidth) / 2, (height() - trackHeight) / 2, trackWidth,
                       trackHeight);
    const double radius = trackHeight / 2;
    if (isChecked()) {
        qfFillContinuous(p, track, radius, QF::cpu());
    } else {
        qfFillContinuous(p, track, radius, QF::fill4());
        qfStrokeBorder(p, track, radius, QF::borderStrong());
    }
    if (isDown()) qfFillContinuous(p, track, radius, QColor(0, 0, 0, 40));
    const double knob = trackHeight - 2 * knobInset;
    const double x = isChecked() ? track.right() - knobInset - knob : track.left() + knobInset;
    const QRectF knobRect(x, track.top() + knobInset, knob, knob);
    // A faint shadow gives the knob an edge on light tracks.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawEllipse(knobRect.translated(0, 0.5).adjusted(-0.25, -0.25, 0.25, 0.25));
    p.setBrush(white());
    p.drawEllipse(knobRect);
    if (hasFocus())
        qfStrokeBorder(p, track.adjusted(-2, -2, 2, 2), radius + 2, QF::withOpacity(QF::cpu(), 0.5),
                       1.5);
}

// --- SettingsSegmentedPicker ---------------------------------------------------------------

namespace {

QFont segmentFont(bool selected) {
    return qf(11.5, selected ? QFont::DemiBold : QFont::Medium);
}

} // namespace

SettingsSegmentedPicker::SettingsSegmentedPicker(QStringList items, QWidget* parent)
    : QWidget(parent)
    , items_(std::move(items)) {
    qfFollowTheme(this);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SettingsSegmentedPicker::setCurrentIndex(int index) {
    if (index < 0 || index >= items_.size() || index == current_) return;
    current_ = index;
    update();
}

double SettingsSegmentedPicker::segmentWidth(int index) const {
    // Sized for the heavier selected weight, so picking a segment never moves its neighbours.
    return std::ceil(qfTextWidth(items_[index], segmentFont(true))) + 2 * segmentPadding;
}

QRectF SettingsSegmentedPicker::segmentRect(int index) const {
    double x = 0;
    for (int i = 0; i < index; ++i)
        x += segmentWidth(i);
    return {x, (height() - segmentHeight) / 2, segmentWidth(index), segmentHeight};
}

QSize SettingsSegmentedPicker::sizeHint() const {
    double width = 0;
    for (int i = 0; i < items_.size(); ++i)
        width += segmentWidth(i);
    return {int(std::ceil(width)), int(segmentHeight)};
}

void SettingsSegmentedPicker::pick(int index) {
    if (index < 0 || index >= items_.size()) return;
    setCurrentIndex(index);
    emit activated(index);
}

void SettingsSegmentedPicker::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    for (int i = 0; i < items_.size(); ++i)
        if (segmentRect(i).contains(event->position())) return pick(i);
}

void SettingsSegmentedPicker::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left) return pick(current_ - 1);
    if (event->key() == Qt::Key_Right) return pick(current_ + 1);
    QWidget::keyPressEvent(event);
}

void SettingsSegmentedPicker::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    if (!isEnabled()) p.setOpacity(kDisabledOpacity);
    const QRectF whole(0, (height() - segmentHeight) / 2, sizeHint().width(), segmentHeight);
    qfFillContinuous(p, whole, radius, QF::fill2());
    qfStrokeBorder(p, whole, radius, QF::border());
    for (int i = 0; i < items_.size(); ++i) {
        const QRectF segment = segmentRect(i);
        const bool selected = i == current_;
        if (selected) qfFillContinuous(p, segment.adjusted(2, 2, -2, -2), radius - 2, QF::cpu());
        const QFont font = segmentFont(selected);
        const double baseline = centredBaseline(segment.top(), segmentHeight, font);
        const double x = segment.left() + (segment.width() - qfTextWidth(items_[i], font)) / 2;
        qfDrawText(p, x, baseline, items_[i], font, selected ? white() : QF::text2());
    }
    if (hasFocus())
        qfStrokeBorder(p, whole.adjusted(-2, -2, 2, 2), radius + 2, QF::withOpacity(QF::cpu(), 0.5),
                       1.5);
}

// --- SettingsButton ------------------------------------------------------------------------

namespace {

QFont buttonFont(SettingsButton::Look look) {
    return qf(SettingsButton::fontSize,
              look == SettingsButton::Look::primary ? QFont::DemiBold : QFont::Medium);
}

} // namespace

SettingsButton::SettingsButton(Look look, const QString& text, QWidget* parent)
    : QAbstractButton(parent)
    , look_(look) {
    qfFollowTheme(this);
    setText(text);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize SettingsButton::sizeHint() const {
    const QFont font = buttonFont(look_);
    return {int(std::ceil(qfTextWidth(text(), font) + 2 * paddingH)),
            int(std::ceil(qfLineHeight(font) + 2 * paddingV))};
}

void SettingsButton::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    if (!isEnabled()) p.setOpacity(kDisabledOpacity);
    const QRectF box = rect();
    const bool primary = look_ == Look::primary;
    qfFillContinuous(p, box, radius, primary ? QF::cpu() : QF::fill2());
    if (!primary) qfStrokeBorder(p, box, radius, QF::border());
    if (isDown())
        qfFillContinuous(p, box, radius, QColor(0, 0, 0, int(255 * (1 - kPressedOpacity))));
    const QFont font = buttonFont(look_);
    const double textWidth = qfTextWidth(text(), font);
    const double baseline = centredBaseline(0, box.height(), font);
    qfDrawText(p, (box.width() - textWidth) / 2, baseline, text(), font,
               primary ? white() : QF::text1(), box.width() - 2 * paddingH + 0.5);
    if (hasFocus())
        qfStrokeBorder(p, box, radius, QF::withOpacity(primary ? white() : QF::cpu(), 0.6), 1.5);
}

// --- SettingsSymbolButton ------------------------------------------------------------------

SettingsSymbolButton::SettingsSymbolButton(std::string symbol, QFColor color, QWidget* parent)
    : QAbstractButton(parent)
    , symbol_(std::move(symbol))
    , color_(color) {
    qfFollowTheme(this);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize SettingsSymbolButton::sizeHint() const {
    return {int(side), int(side)};
}

void SettingsSymbolButton::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    if (!isEnabled()) p.setOpacity(kDisabledOpacity);
    if (isDown() || hasFocus()) qfFillContinuous(p, rect(), 5, QF::fill3());
    qfPaintSymbol(p, rect(), symbol_, glyph, QFont::Normal, color_.resolve());
}

} // namespace quillfen
