#pragma once

#include "ui/Palette.h"

#include <QWidget>

namespace quillfen {

// A compact read-out on one baseline: the value in 11.5-point medium monospaced type, then
// the label upper-cased in 9.5-point semibold `text3`.
class QFMiniMetric : public QWidget {
    Q_OBJECT

public:
    struct Options {
        QString value;
        QString label;
        QFColor color = QFRole::text1;
    };

    explicit QFMiniMetric(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setValue(const QString& value);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Options o_;
};

} // namespace quillfen
