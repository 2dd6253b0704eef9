#include "TempDir.h"
#include "UiTestSupport.h"
#include "ui/ContinuousCorners.h"
#include "ui/QFCard.h"
#include "ui/QFDot.h"
#include "ui/QFFillBar.h"
#include "ui/QFProcessIcon.h"
#include "ui/QFSectionHeading.h"
#include "ui/QFStat.h"
#include "ui/QFText.h"
#include "ui/Symbols.h"

#include <QFontMetricsF>
#include <QIcon>
#include <QPainter>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using namespace testing; // the painting and pixel helpers of UiTestSupport.h

class Layout : public testing::UiTest {};

// Columns of `image` between rows `top` and `bottom` that hold any ink.
std::pair<int, int> inkedColumns(const QImage& image, int top, int bottom) {
    int first = image.width(), last = -1;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 64) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

TEST(ContinuousCorners, CornersRunInSmoothlyAndTendToACapsule) {
    const QRectF r(0, 0, 100, 40);
    const QPainterPath card = qfContinuousRect(r, 10);
    EXPECT_EQ(card.boundingRect(), r);
    EXPECT_TRUE(card.contains(QPointF(50, 20)));
    EXPECT_FALSE(card.contains(QPointF(0.5, 0.5)));
    // The curve's middle crosses the corner's diagonal where a circular arc would, 2.93 in.
    EXPECT_TRUE(card.contains(QPointF(3.2, 3.2)));
    EXPECT_FALSE(card.contains(QPointF(2.6, 2.6)));
    // It leaves the edge further from the corner than a circular arc: 12.8 for a radius of 10.
    EXPECT_FALSE(card.contains(QPointF(10, 0.05)));
    EXPECT_TRUE(card.contains(QPointF(13.5, 0.05)));

    const QPainterPath capsule = qfContinuousRect(QRectF(0, 0, 60, 6), 30);
    EXPECT_EQ(capsule.boundingRect(), QRectF(0, 0, 60, 6));
    EXPECT_TRUE(capsule.contains(QPointF(0.2, 3)));
    EXPECT_FALSE(capsule.contains(QPointF(0.5, 0.5))) << "half circles at the ends";
    EXPECT_TRUE(capsule.contains(QPointF(3, 0.1)));

    EXPECT_EQ(qfContinuousRect(r, 0).boundingRect(), r);
    EXPECT_TRUE(qfContinuousRect(r, 0).contains(QPointF(0.2, 0.2)));
}

TEST_F(Layout, BordersCoverExactlyTheOuterPoint) {
    const QImage image = testing::painted(
        {40, 30}, [](QPainter& p) { qfStrokeBorder(p, QRectF(0, 0, 40, 30), 0, Qt::white); },
        kBackground);
    for (const QPoint edge : {QPoint(20, 0), QPoint(0, 15), QPoint(39, 15), QPoint(20, 29)})
        EXPECT_EQ(image.pixelColor(edge), QColor(Qt::white)) << edge.x() << "," << edge.y();
    for (const QPoint inside : {QPoint(20, 1), QPoint(38, 15)})
        EXPECT_EQ(image.pixelColor(inside), kBackground) << inside.x() << "," << inside.y();
}

TEST_F(Layout, CardPadsAndSpacesItsChildrenAtTheLeadingEdge) {
    QFCard card({.padding = 12, .spacing = 6});
    auto* first = new QFDot({.size = 10});
    auto* second = new QFDot({.size = 8});
    auto* wide = new QFFillBar({.fraction = 0.5});
    card.addWidget(first);
    card.addWidget(second);
    card.addWidget(wide);
    render(card, {200, 120}, kBackground);
    EXPECT_EQ(first->geometry(), QRect(12, 12, 10, 10));
    EXPECT_EQ(second->geometry(), QRect(12, 28, 8, 8)) << "left, not centred";
    EXPECT_EQ(wide->geometry().left(), 12);
    EXPECT_EQ(wide->geometry().width(), 200 - 24) << "growing views take the width";
    EXPECT_EQ(wide->geometry().top(), 42) << "kept at the top of a taller card";
    card.setOptions({.fillHeight = true});
    EXPECT_EQ(card.sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
}

TEST_F(Layout, SectionHeadingPutsItsTrailingViewAtTheRightEdge) {
    auto* trailing = new QFDot({.size = 6});
    QFSectionHeading heading({.icon = "cpu", .color = QFRole::cpu, .title = "CPU"}, trailing);
    render(heading, {300, heading.sizeHint().height()}, kBackground);
    EXPECT_EQ(trailing->geometry().right(), 299);
    auto* replacement = new QFText({.text = "8 cores"});
    heading.setTrailing(replacement);
    render(heading, {300, heading.sizeHint().height()}, kBackground);
    EXPECT_EQ(replacement->geometry().right(), 299);
    EXPECT_EQ(heading.trailing(), replacement);
}

TEST_F(Layout, StatsAlignTheirLinesByTheirAlignment) {
    const QFStat::Options base{.label = "Write", .value = "312", .unit = "KB/s"};
    const QSizeF natural = qfStatSize(base);
    for (const Qt::Alignment alignment : {Qt::AlignLeft, Qt::AlignRight}) {
        QFStat::Options o = base;
        o.alignment = alignment;
        const QImage image = testing::painted({200, std::ceil(natural.height())}, [&](QPainter& p) {
            qfPaintStat(p, QRectF(0, 0, 200, natural.height()), o);
        });
        const int labelBottom = int(qfLineHeight(qf(9.5, QFont::DemiBold)));
        const auto [labelFirst, labelLast] = inkedColumns(image, 0, labelBottom);
        const auto [rowFirst, rowLast] = inkedColumns(image, labelBottom + 1, image.height());
        if (alignment == Qt::AlignLeft) {
            EXPECT_LE(labelFirst, 1);
            EXPECT_LE(rowFirst, 2);
            EXPECT_LT(rowLast, int(natural.width()) + 1);
        } else {
            EXPECT_GE(labelLast, 197);
            EXPECT_GE(rowLast, 197) << "the unit ends at the right edge";
            EXPECT_GT(rowFirst, 200 - int(natural.width()) - 2);
        }
    }
}

TEST_F(Layout, FillBarFillsTheClampedShareFromTheLeft) {
    const QColor track = over(QF::track(), kBackground);
    for (const auto& [fraction, colouredAt, trackAt] :
         std::vector<std::tuple<double, double, double>>{
             {0.25, 40, 60}, {1.5, 195, -1}, {-1, -1, 5}}) {
        QFFillBar bar({.fraction = fraction, .color = QFRole::disk});
        const QImage image = render(bar, {200, 6}, kBackground);
        if (colouredAt >= 0) {
            EXPECT_TRUE(near(pixelAt(image, colouredAt, 3), QF::disk())) << fraction;
        }
        if (trackAt >= 0) {
            EXPECT_TRUE(near(pixelAt(image, trackAt, 3), track)) << fraction;
        }
    }
}

TEST_F(Layout, TextIsMeasuredAsLaidOutAndCutToItsRoom) {
    const QFont font = qf(12);
    const QString text = "Temperatures and fans need the Quillfen Helper";
    EXPECT_DOUBLE_EQ(qfTextWidth(text, font), QFontMetricsF(font).horizontalAdvance(text));
    EXPECT_DOUBLE_EQ(qfTextWidth(text, font), qfTextWidth(text, font)) << "the same when cached";

    const QImage image = testing::painted(
        {300, 20}, [&](QPainter& p) { qfDrawText(p, 10, 14, text, font, Qt::white, 60); });
    const auto [first, last] = inkedColumns(image, 0, 20);
    EXPECT_GE(first, 10);
    EXPECT_LE(last, 71) << "cut, with an ellipsis, to 60 points";
    EXPECT_GT(last, 50);

    QFText label({.text = "cpu", .font = qf(9.5, QFont::DemiBold), .upperCase = true});
    EXPECT_EQ(label.sizeHint().width(),
              int(std::ceil(qfTextWidth("CPU", qf(9.5, QFont::DemiBold)))));
}

TEST_F(Layout, HeavierSymbolsDrawMoreInk) {
    const auto ink = [](QFont::Weight weight) {
        const QImage image = testing::painted({40, 40}, [&](QPainter& p) {
            qfPaintSymbol(p, QRectF(0, 0, 40, 40), "gearshape", 30, weight, Qt::white);
        });
        long sum = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                sum += qAlpha(image.pixel(x, y));
        return sum;
    };
    EXPECT_GT(ink(QFont::DemiBold), ink(QFont::Normal) * 103 / 100);
    EXPECT_GT(ink(QFont::Bold), ink(QFont::DemiBold));
}

TEST_F(Layout, DesktopEntriesNamingAThemeIconShowIt) {
    testing::TempDir dir;
    const auto theme = dir.path() / "icons" / "quillfen-test";
    testing::writeText(theme / "index.theme", "[Icon Theme]\nName=Test\nDirectories=32x32/apps\n\n"
                                              "[32x32/apps]\nSize=32\nType=Fixed\n");
    testing::writeIcon(theme / "32x32/apps/editor.png", QColor(30, 160, 90));
    testing::writeText(dir.path() / "editor.desktop",
                       "[Desktop Entry]\nType=Application\nName=Editor\nIcon=editor.png\n");

    const QStringList paths = QIcon::themeSearchPaths();
    const QString name = QIcon::themeName();
    QIcon::setThemeSearchPaths({QString::fromStdString((dir.path() / "icons").string())});
    QIcon::setThemeName("quillfen-test");
    qfClearProcessIconCache();
    QFProcessIcon view({.bundleURL = dir.path() / "editor.desktop", .size = 16});
    const QColor centre = pixelAt(render(view, {16, 16}, kBackground), 8, 8);
    QIcon::setThemeSearchPaths(paths);
    QIcon::setThemeName(name);
    qfClearProcessIconCache();
    EXPECT_TRUE(near(centre, QColor(30, 160, 90))) << "the theme's icon, its extension dropped";
}

} // namespace
} // namespace quillfen
