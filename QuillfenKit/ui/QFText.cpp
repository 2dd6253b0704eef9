#include "ui/QFText.h"

#include "ui/QFView.h"

#include <QFontMetricsF>
#include <QStaticText>

#include <cmath>
#include <unordered_map>

namespace quillfen {

namespace {

// Laid-out text by string and font. Labels repaint every second with mostly the same texts;
// laying them out again each time (shaping) would cost more than drawing them.
struct TextKey {
    QString text;
    QFont font;
    bool operator==(const TextKey&) const = default;
};

struct TextKeyHash {
    std::size_t operator()(const TextKey& k) const { return qHash(k.text) ^ (qHash(k.font) << 1); }
};

struct LaidOut {
    QStaticText text;
    double width;
};

// Readings change, so texts come and go; past this many the cache starts over.
constexpr std::size_t kMaxCachedTexts = 2048;

const LaidOut& laidOut(const QString& text, const QFont& font) {
    static std::unordered_map<TextKey, LaidOut, TextKeyHash> cache;
    TextKey key{text, font};
    if (const auto it = cache.find(key); it != cache.end()) return it->second;
    if (cache.size() >= kMaxCachedTexts) cache.clear();
    QStaticText s(text);
    s.setTextFormat(Qt::PlainText);
    s.prepare(QTransform(), font);
    const double width = QFontMetricsF(font).horizontalAdvance(text);
    return cache.emplace(std::move(key), LaidOut{std::move(s), width}).first->second;
}

} // namespace

double qfTextWidth(const QString& text, const QFont& font) {
    return laidOut(text, font).width;
}

double qfLineHeight(const QFont& font) {
    const QFontMetricsF fm(font);
    return fm.ascent() + fm.descent();
}

double qfAscent(const QFont& font) {
    return QFontMetricsF(font).ascent();
}

void qfDrawText(QPainter& painter, double x, double baseline, const QString& text,
                const QFont& font, const QColor& color, double maxWidth) {
    if (text.isEmpty() || maxWidth <= 0) return;
    const LaidOut* shown = &laidOut(text, font);
    if (shown->width > maxWidth + 0.01)
        shown = &laidOut(QFontMetricsF(font).elidedText(text, Qt::ElideRight, maxWidth), font);
    painter.setFont(font);
    painter.setPen(color);
    // Static text is placed by the top of its line.
    painter.drawStaticText(QPointF(x, baseline - qfAscent(font)), shown->text);
}

void qfDrawTextIn(QPainter& painter, const QRectF& box, const QString& text, const QFont& font,
                  const QColor& color, Qt::Alignment alignment) {
    const QFontMetricsF fm(font);
    const double width = std::min(fm.horizontalAdvance(text), box.width());
    double x = box.left();
    if (alignment & Qt::AlignRight)
        x = box.right() - width;
    else if (alignment & Qt::AlignHCenter)
        x = box.left() + (box.width() - width) / 2;
    qfDrawText(painter, x, box.top() + fm.ascent(), text, font, color, box.width());
}

QFText::QFText(QWidget* parent)
    : QFText(Options{}, parent) {}

QFText::QFText(Options options, QWidget* parent)
    : QWidget(parent)
    , o_(std::move(options)) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    if (o_.wraps) setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void QFText::setOptions(Options options) {
    o_ = std::move(options);
    setSizePolicy(QSizePolicy::Preferred, o_.wraps ? QSizePolicy::Preferred : QSizePolicy::Fixed);
    updateGeometry();
    update();
}

void QFText::setText(const QString& text) {
    if (text == o_.text) return;
    o_.text = text;
    updateGeometry();
    update();
}

void QFText::setColor(QFColor color) {
    o_.color = color;
    update();
}

QString QFText::shown() const {
    return o_.upperCase ? o_.text.toUpper() : o_.text;
}

QSize QFText::sizeHint() const {
    return {int(std::ceil(qfTextWidth(shown(), o_.font))), int(std::ceil(qfLineHeight(o_.font)))};
}

QSize QFText::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

int QFText::heightForWidth(int width) const {
    if (!o_.wraps) return sizeHint().height();
    const QFontMetricsF fm(o_.font);
    const QRectF r = fm.boundingRect(QRectF(0, 0, std::max(width, 1), 1e6),
                                     int(o_.alignment | Qt::AlignTop | Qt::TextWordWrap), shown());
    return int(std::ceil(std::max(r.height(), fm.ascent() + fm.descent())));
}

void QFText::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    if (o_.wraps) {
        p.setFont(o_.font);
        p.setPen(o_.color.resolve());
        p.drawText(QRectF(rect()), int(o_.alignment | Qt::AlignTop | Qt::TextWordWrap), shown());
        return;
    }
    qfDrawTextIn(p, rect(), shown(), o_.font, o_.color.resolve(), o_.alignment);
}

} // namespace quillfen
