#include "ui/QFView.h"

#include "settings/AppSettings.h"

#include <QBoxLayout>

#include <cmath>

namespace quillfen {

void qfFollowTheme(QWidget* widget) {
    QObject::connect(&AppSettings::shared(), &AppSettings::themeChanged, widget,
                     [widget] { widget->update(); });
}

double qfDeviceScale(const QPainter& painter) {
    const QTransform t = painter.deviceTransform();
    return std::max(std::hypot(t.m11(), t.m12()), 0.01);
}

void qfAddLeading(QBoxLayout* layout, QWidget* widget) {
    const bool grows = widget->sizePolicy().horizontalPolicy() & QSizePolicy::GrowFlag;
    layout->addWidget(widget, 0, grows ? Qt::Alignment() : Qt::AlignLeft);
}

} // namespace quillfen
