#include "SettingsScene/SettingsPieces.h"

#include "SettingsScene/SettingsControls.h"
#include "settings/AppSettings.h"
#include "ui/ContinuousCorners.h"
#include "ui/MenuBarChips.h"
#include "ui/Palette.h"
#include "ui/QFIconChip.h"
#include "ui/QFQuillfenMark.h"
#include "ui/QFText.h"
#include "ui/QFView.h"
#include "ui/Symbols.h"

#include <QFontMetricsF>
#include <QHBoxLayout>

#include <cmath>

namespace quillfen {
namespace {

// The baseline that centres one line of `font` in a box `height` high starting at `top`.
double centredBaseline(double top, double height, const QFont& font) {
    return top + (height - qfLineHeight(font)) / 2 + qfAscent(font);
}

QFont tabTitleFont(bool selected) {
    return qf(12.5, selected ? QFont::DemiBold : QFont::Medium);
}

QFont themeNameFont() {
    return qf(12.5, QFont::DemiBold);
}

QFont themeDetailFont() {
    return qf(10.5);
}

constexpr int kWrap = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

QFRole roleFor(MenuBarMetric metric) {
    switch (metric) {
    case MenuBarMetric::cpu:
        return QFRole::cpu;
    case MenuBarMetric::gpu:
        return QFRole::gpu;
    case MenuBarMetric::memory:
        return QFRole::mem;
    case MenuBarMetric::temperature:
        return QFRole::warn;
    case MenuBarMetric::battery:
        return QFRole::bat;
    case MenuBarMetric::netDown:
    case MenuBarMetric::netUp:
        return QFRole::net;
    }
    return QFRole::cpu;
}

} // namespace

// --- SettingsTabButton ---------------------------------------------------------------------

SettingsTabButton::SettingsTabButton(std::string symbol, const QString& title, QWidget* parent)
    : QAbstractButton(parent)
    , symbol_(std::move(symbol)) {
    qfFollowTheme(this);
    setText(title);
    setCheckable(true);
    setAutoExclusive(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize SettingsTabButton::sizeHint() const {
    const double line = std::max(qfLineHeight(tabTitleFont(true)), symbolFrame);
    const double width =
        2 * paddingH + symbolFrame + spacing + std::ceil(qfTextWidth(text(), tabTitleFont(true)));
    return {int(std::ceil(width)), int(std::ceil(line + 2 * paddingV))};
}

void SettingsTabButton::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const bool selected = isChecked();
    const QRectF box = rect();
    if (selected)
        qfFillContinuous(p, box, radius, QF::fill3());
    else if (isDown() || hasFocus())
        qfFillContinuous(p, box, radius, QF::fill1());
    qfPaintSymbol(p, QRectF(paddingH, 0, symbolFrame, box.height()), symbol_, 12, QFont::Normal,
                  selected ? QF::cpu() : QF::text3());
    const QFont font = tabTitleFont(selected);
    const double x = paddingH + symbolFrame + spacing;
    qfDrawText(p, x, centredBaseline(0, box.height(), font), text(), font,
               selected ? QF::text1() : QF::text2(), box.width() - x - paddingH);
}

// --- SettingsSidebar -----------------------------------------------------------------------

SettingsSidebar::SettingsSidebar(QWidget* parent)
    : QWidget(parent) {
    qfFollowTheme(this);
}

void SettingsSidebar::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QF::sidebarTop());
    gradient.setColorAt(1, QF::sidebarBot());
    p.fillRect(rect(), gradient);
    p.fillRect(QRectF(width() - 1, 0, 1, height()), QF::border());
}

// --- MetricRow -----------------------------------------------------------------------------

std::string_view MetricRow::symbol(MenuBarMetric metric) {
    switch (metric) {
    case MenuBarMetric::cpu:
        return "cpu";
    case MenuBarMetric::gpu:
        return "cpu.fill";
    case MenuBarMetric::memory:
        return "memorychip";
    case MenuBarMetric::temperature:
        return "thermometer.medium";
    case MenuBarMetric::battery:
        return "battery.100";
    case MenuBarMetric::netDown:
        return "arrow.down";
    case MenuBarMetric::netUp:
        return "arrow.up";
    }
    return {};
}

MetricRow::MetricRow(MenuBarMetric metric, QWidget* parent)
    : QWidget(parent)
    , metric_(metric)
    , up_(new SettingsSymbolButton("chevron.up", QFRole::text3))
    , down_(new SettingsSymbolButton("chevron.down", QFRole::text3))
    , switch_(new SettingsSwitch) {
    qfFollowTheme(this);
    const QString raw = QString::fromUtf8(rawValue(metric));
    setObjectName("metric:" + raw);
    up_->setObjectName("moveUp:" + raw);
    down_->setObjectName("moveDown:" + raw);
    switch_->setObjectName("enabled:" + raw);
    up_->setToolTip(QStringLiteral("Move up"));
    down_->setToolTip(QStringLiteral("Move down"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(14, 8, 14, 8);
    row->setSpacing(10);
    row->addWidget(
        new QFIconChip({.systemName = std::string(symbol(metric)), .color = roleFor(metric)}), 0,
        Qt::AlignVCenter);
    auto* label = new QFText({.text = QString::fromUtf8(displayName(metric)),
                              .font = qf(12.5, QFont::Medium),
                              .color = QFRole::text1});
    row->addWidget(label, 0, Qt::AlignVCenter);
    row->addStretch(1);
    // The chevrons sit close together, as one control.
    auto* chevrons = new QHBoxLayout;
    chevrons->setSpacing(0);
    chevrons->addWidget(up_);
    chevrons->addWidget(down_);
    row->addLayout(chevrons);
    row->addWidget(switch_, 0, Qt::AlignVCenter);
    // As high with its chevrons hidden as with them shown.
    row->addStrut(int(SettingsSymbolButton::side));
}

void MetricRow::showState(bool isFirstRow, bool enabled, bool canMoveUp, bool canMoveDown) {
    isFirstRow_ = isFirstRow;
    switch_->setChecked(enabled);
    up_->setVisible(enabled);
    down_->setVisible(enabled);
    up_->setEnabled(canMoveUp);
    down_->setEnabled(canMoveDown);
    update();
}

void MetricRow::paintEvent(QPaintEvent*) {
    if (isFirstRow_) return;
    QFPainter p(this);
    p.fillRect(QRectF(0, 0, width(), 1), QF::border());
}

// --- ThemeCard -----------------------------------------------------------------------------

ThemeCard::ThemeCard(QFThemeChoice theme, QWidget* parent)
    : QAbstractButton(parent)
    , theme_(theme) {
    qfFollowTheme(this);
    setText(QString::fromUtf8(displayName(theme)));
    setToolTip(QString::fromUtf8(detail(theme)));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void ThemeCard::setSelected(bool selected) {
    if (selected == selected_) return;
    selected_ = selected;
    update();
}

QRectF ThemeCard::swatchRect(int index, double width) {
    const double inner = width - 2 * padding;
    const double each = (inner - 4 * swatchSpacing) / 5;
    return {padding + index * (each + swatchSpacing), padding, each, swatchHeight};
}

QRectF ThemeCard::checkMarkRect(double width) {
    return {width - checkMarkInset - checkMarkSize, checkMarkInset, checkMarkSize, checkMarkSize};
}

int ThemeCard::heightForWidth(int width) const {
    const QFontMetricsF detailMetrics(themeDetailFont());
    const double inner = std::max(1.0, width - 2 * padding);
    const double detailHeight =
        detailMetrics
            .boundingRect(QRectF(0, 0, inner, 1e6), kWrap, QString::fromUtf8(detail(theme_)))
            .height();
    return int(std::ceil(2 * padding + swatchHeight + spacing + qfLineHeight(themeNameFont()) +
                         spacing + std::max(detailHeight, qfLineHeight(themeDetailFont()))));
}

QSize ThemeCard::sizeHint() const {
    const int width = 180;
    return {width, heightForWidth(width)};
}

QSize ThemeCard::minimumSizeHint() const {
    return {int(2 * padding + 5 * 8 + 4 * swatchSpacing), heightForWidth(120)};
}

void ThemeCard::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const QRectF box = rect();
    qfFillContinuous(p, box, radius, QF::fill1());
    if (isDown()) qfFillContinuous(p, box, radius, QF::fill2());
    const auto colours = swatches(theme_);
    for (int i = 0; i < 5; ++i)
        qfFillContinuous(p, swatchRect(i, box.width()), swatchRadius, colours[i]);
    const double nameTop = padding + swatchHeight + spacing;
    const QFont nameFont = themeNameFont();
    qfDrawText(p, padding, nameTop + qfAscent(nameFont), text(), nameFont, QF::text1(),
               box.width() - 2 * padding);
    const double detailTop = nameTop + qfLineHeight(nameFont) + spacing;
    p.setFont(themeDetailFont());
    p.setPen(QF::text3());
    p.drawText(QRectF(padding, detailTop, box.width() - 2 * padding, box.height() - detailTop),
               kWrap, QString::fromUtf8(detail(theme_)));
    if (selected_) {
        qfStrokeBorder(p, box, radius, QF::cpu(), 1.5);
        // The glyph's check is cut out of its disc: a white disc behind it keeps the check
        // white over whichever swatch lies beneath.
        const QRectF mark = checkMarkRect(box.width());
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255));
        p.drawEllipse(mark.center(), mark.width() * 0.3, mark.height() * 0.3);
        qfPaintSymbol(p, checkMarkRect(box.width()), "checkmark.circle.fill", checkMarkSize,
                      QFont::Normal, QF::cpu());
    } else {
        qfStrokeBorder(p, box, radius, QF::border());
    }
    if (hasFocus())
        qfStrokeBorder(p, box.adjusted(-2, -2, 2, 2), radius + 2, QF::withOpacity(QF::cpu(), 0.5),
                       1.5);
}

// --- MenuBarPreview ------------------------------------------------------------------------

namespace {

MenuBarChipsLayout previewLayout() {
    const auto& settings = AppSettings::shared();
    return qfMenuBarChipsLayout(qfMenuBarSampleChips(settings.menuBarMetrics()),
                                {.twoLineLabels = settings.twoLineMenuBarLabels(),
                                 .compactSpacing = settings.compactMenuBarSpacing()});
}

} // namespace

MenuBarPreview::MenuBarPreview(QWidget* parent)
    : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto& settings = AppSettings::shared();
    const auto relayout = [this] {
        updateGeometry();
        update();
    };
    connect(&settings, &AppSettings::menuBarMetricsChanged, this, relayout);
    connect(&settings, &AppSettings::twoLineMenuBarLabelsChanged, this, relayout);
    connect(&settings, &AppSettings::compactMenuBarSpacingChanged, this, relayout);
    connect(&settings, &AppSettings::menuBarThemeChanged, this, relayout);
}

QSize MenuBarPreview::sizeHint() const {
    const QSizeF size = qfMenuBarPreviewSize(previewLayout());
    return {int(std::ceil(size.width())), int(std::ceil(size.height()))};
}

void MenuBarPreview::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    qfPaintMenuBarChips(p, previewLayout(), AppSettings::shared().menuBarTheme(), true);
}

// --- AppIconView ---------------------------------------------------------------------------

AppIconView::AppIconView(QWidget* parent)
    : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void AppIconView::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    qfPaintQuillfenAppIcon(p, QRectF(0, 0, 72, 72));
}

} // namespace quillfen
