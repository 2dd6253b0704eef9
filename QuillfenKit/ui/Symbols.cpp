#include "ui/Symbols.h"

#include "ui/QFView.h"

#include <QFontMetricsF>
#include <QPainterPath>

#include <array>
#include <cmath>
#include <map>
#include <utility>

namespace quillfen {
namespace {

struct Entry {
    std::string_view name;
    char16_t codePoint;
};

// The symbols the views and their hosts name, drawn from Material Icons.
constexpr std::array<Entry, 20> kSymbols{{
    {"gearshape", 0xe8b8},             // settings
    {"gearshape.fill", 0xe8b8},        // settings
    {"menubar.rectangle", 0xe069},     // web_asset
    {"paintpalette", 0xe40a},          // palette
    {"info.circle", 0xe88f},           // info_outline
    {"cpu", 0xe322},                   // memory (a processor chip)
    {"cpu.fill", 0xe30d},              // developer_board
    {"memorychip", 0xe623},            // sd_card
    {"thermometer.medium", 0xf076},    // thermostat
    {"battery.100", 0xe1a4},           // battery_full
    {"arrow.down", 0xe5db},            // arrow_downward
    {"arrow.up", 0xe5d8},              // arrow_upward
    {"chevron.up", 0xe5ce},            // expand_less
    {"chevron.down", 0xe5cf},          // expand_more
    {"checkmark.circle.fill", 0xe86c}, // check_circle
    {"fan", 0xe332},                   // toys (a fan)
    {"internaldrive", 0xe1db},         // storage
    {"network", 0xeb2f},               // lan
    {"bolt", 0xea0b},                  // bolt
    {"display", 0xef5b},               // monitor
}};

// Glyph outlines by code point and size in hundredths of a point, made once each: symbols are
// drawn over and over at the same few sizes.
const QPainterPath& glyphPath(char16_t codePoint, double size) {
    static std::map<std::pair<char16_t, int>, QPainterPath> cache;
    const std::pair key{codePoint, int(std::lround(size * 100))};
    if (const auto it = cache.find(key); it != cache.end()) return it->second;
    if (cache.size() > 512) cache.clear();
    const QFont font = qfSymbolFont(size);
    const QFontMetricsF fm(font);
    const QString text{QChar(codePoint)};
    QPainterPath path;
    // Centred on the origin: the icon font draws every glyph on its em square.
    const double advance = fm.horizontalAdvance(text);
    path.addText(QPointF(-advance / 2, (fm.ascent() - fm.descent()) / 2), font, text);
    return cache.emplace(key, std::move(path)).first->second;
}

} // namespace

std::optional<char16_t> qfSymbolCodePoint(std::string_view name) {
    for (const auto& e : kSymbols)
        if (e.name == name) return e.codePoint;
    return std::nullopt;
}

std::vector<std::string_view> qfSymbolNames() {
    std::vector<std::string_view> names;
    for (const auto& e : kSymbols)
        names.push_back(e.name);
    return names;
}

QFont qfSymbolFont(double size) {
    QFont font(QStringLiteral("Material Icons"));
    font.setStyleStrategy(QFont::NoFontMerging);
    font.setPixelSize(std::max(1, int(std::lround(size))));
    if (std::abs(size - std::round(size)) > 1e-9) font.setPointSizeF(size * 72.0 / 96.0);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void qfPaintSymbol(QPainter& painter, const QRectF& box, std::string_view name, double size,
                   QFont::Weight weight, const QColor& color) {
    const auto codePoint = qfSymbolCodePoint(name);
    if (!codePoint || size <= 0) return;
    const QPainterPath& path = glyphPath(*codePoint, size);
    painter.save();
    painter.translate(box.center());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(path);
    if (const int extra = int(weight) - int(QFont::Normal); extra > 0) {
        // Each step of 100 above regular thickens the strokes by a little under 2 % of the
        // size, about what one weight step adds to a typeface's stems.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(
            QPen(color, size * 0.018 * extra / 100.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
    }
    painter.restore();
}

QFSymbol::QFSymbol(QWidget* parent)
    : QFSymbol(Options{}, parent) {}

QFSymbol::QFSymbol(Options options, QWidget* parent)
    : QWidget(parent)
    , o_(std::move(options)) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void QFSymbol::setOptions(Options options) {
    o_ = std::move(options);
    updateGeometry();
    update();
}

void QFSymbol::setName(std::string name) {
    o_.name = std::move(name);
    update();
}

void QFSymbol::setColor(QFColor color) {
    o_.color = color;
    update();
}

QSize QFSymbol::sizeHint() const {
    const int side = int(std::ceil(o_.size));
    return {side, side};
}

void QFSymbol::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    qfPaintSymbol(p, rect(), o_.name, o_.size, o_.weight, o_.color.resolve());
}

} // namespace quillfen
