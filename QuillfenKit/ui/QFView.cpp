#include "ui/QFView.h"

#include "settings/AppSettings.h"

#include <QBoxLayout>

namespace quillfen {

void qfFollowTheme(QWidget* widget) {
    QObject::connect(&AppSettings::shared(), &AppSettings::themeChanged, widget,
                     [widget] { widget->update(); });
}

void qfAddLeading(QBoxLayout* layout, QWidget* widget) {
    const bool grows = widget->sizePolicy().horizontalPolicy() & QSizePolicy::GrowFlag;
    layout->addWidget(widget, 0, grows ? Qt::Alignment() : Qt::AlignLeft);
}

} // namespace quillfen
