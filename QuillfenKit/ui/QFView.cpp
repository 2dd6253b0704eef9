#include "ui/QFView.h"

#include "settings/AppSettings.h"
#include "ui/Palette.h"

#include <QBoxLayout>
#include <QScrollArea>
#include <QScrollBar>

#include <cmath>

namespace quillfen {

void qfFollowTheme(QWidget* widget) {
    QObject::connect(&AppSettings::shared(), &AppSettings::themeChanged, widget,
                     [widget] { widget->update(); });
}

QString qfScrollIndicatorSheet(const QColor& handle) {
    return QStringLiteral("QScrollBar:vertical { background: transparent; width: 10px; "
                          "margin: 3px 2px 3px 2px; border: none; }"
                          "QScrollBar::handle:vertical { background: %1; border-radius: 3px; "
                          "min-height: 30px; }"
                          "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical "
                          "{ height: 0; border: none; background: none; }"
                          "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical "
                          "{ background: none; }")
        .arg(handle.name());
}

void qfThemeScrollIndicator(QScrollArea* area) {
    const auto apply = [area] {
        area->verticalScrollBar()->setStyleSheet(qfScrollIndicatorSheet(QF::text4()));
    };
    apply();
    QObject::connect(&AppSettings::shared(), &AppSettings::themeChanged, area, apply);
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
