#pragma once

#include <QPainter>
#include <QWidget>

class QBoxLayout;
class QScrollArea;

namespace quillfen {

// Repaints `widget` whenever the user's theme changes: views hold palette roles, not colours,
// and look them up again when they paint.
void qfFollowTheme(QWidget* widget);

// A thin scroll indicator with a handle of `handle`, in place of the platform's scroll bar.
QString qfScrollIndicatorSheet(const QColor& handle);
// Gives `area` that indicator in the current theme's colours, and keeps it in the theme.
void qfThemeScrollIndicator(QScrollArea* area);

// Adds `widget` to a vertical stack at its leading edge: views that can grow take the full
// width, fixed-size ones keep their size at the left instead of being centred.
void qfAddLeading(QBoxLayout* layout, QWidget* widget);

// Device pixels per point where `painter` paints now. A widget rendered into an image of
// another pixel ratio paints through its own device, so the device's ratio is not the one to
// go by.
double qfDeviceScale(const QPainter& painter);

// A painter with antialiasing for shapes and text, as every view paints.
class QFPainter : public QPainter {
public:
    explicit QFPainter(QPaintDevice* device)
        : QPainter(device) {
        setRenderHint(QPainter::Antialiasing);
        setRenderHint(QPainter::TextAntialiasing);
        setRenderHint(QPainter::SmoothPixmapTransform);
    }
};

} // namespace quillfen
