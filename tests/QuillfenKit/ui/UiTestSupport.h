#pragma once

#include "platform/fake/FakePlatform.h"
#include "settings/AppSettings.h"

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <ostream>

// Printed as #AARRGGBB in failures.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QColor& c, std::ostream* os) {
    *os << c.name(QColor::HexArgb).toStdString();
}
QT_END_NAMESPACE

namespace quillfen::testing {

// The backdrop the views are rendered on: dark enough for light text, unlike any palette colour.
inline const QColor kBackground(20, 30, 40);

// Views read the theme from the shared settings; each test gets fresh ones on a fake platform.
class UiTest : public ::testing::Test {
protected:
    void setTheme(QFThemeChoice theme) { AppSettings::shared().setTheme(theme); }

    platform::fake::FakePlatform fake;
};

// Lets windows shown and changed by a test settle: shown, laid out and told of focus changes.
inline void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// `src` composited over the opaque `dst`.
inline QColor over(const QColor& src, const QColor& dst) {
    const double a = src.alphaF();
    return QColor::fromRgbF(float(src.redF() * a + dst.redF() * (1 - a)),
                            float(src.greenF() * a + dst.greenF() * (1 - a)),
                            float(src.blueF() * a + dst.blueF() * (1 - a)));
}

// Whether two opaque colours differ by at most `tolerance` in every 8-bit channel.
inline ::testing::AssertionResult near(const QColor& actual, const QColor& expected,
                                       int tolerance = 3) {
    const int d = std::max({std::abs(actual.red() - expected.red()),
                            std::abs(actual.green() - expected.green()),
                            std::abs(actual.blue() - expected.blue())});
    if (d <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << actual.name().toStdString() << " is not " << expected.name().toStdString();
}

// The widget laid out at `size` and rendered over an opaque background.
inline QImage render(QWidget& widget, QSize size, const QColor& background, double dpr = 1) {
    widget.setAttribute(Qt::WA_DontShowOnScreen);
    widget.resize(size);
    widget.show();
    // Children are shown and layouts settle through posted events, which no event loop runs
    // here.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents();
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(background);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// What `draw` paints, antialiased, on an image of `size` points at `dpr` filled with `fill`.
inline QImage painted(QSizeF size, const std::function<void(QPainter&)>& draw,
                      const QColor& fill = Qt::transparent, double dpr = 1) {
    QImage image((size * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(fill);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    return image;
}

// A square icon of one colour saved as a PNG at `path`, its folders made.
inline void writeIcon(const std::filesystem::path& path, const QColor& colour) {
    std::filesystem::create_directories(path.parent_path());
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(colour);
    EXPECT_TRUE(icon.save(QString::fromStdString(path.string()), "PNG"));
}

// How many pixels inside `box` (in points) `match` holds for.
inline int pixelsWhere(const QImage& image, const QRectF& box,
                       const std::function<bool(const QColor&)>& match) {
    const double dpr = image.devicePixelRatio();
    int n = 0;
    for (int y = int(box.top() * dpr); y < int(box.bottom() * dpr); ++y)
        for (int x = int(box.left() * dpr); x < int(box.right() * dpr); ++x)
            n += match(image.pixelColor(x, y));
    return n;
}

// The pixel under a point given in device-independent units.
inline QColor pixelAt(const QImage& image, double x, double y) {
    const double dpr = image.devicePixelRatio();
    return image.pixelColor(int(x * dpr), int(y * dpr));
}

} // namespace quillfen::testing
