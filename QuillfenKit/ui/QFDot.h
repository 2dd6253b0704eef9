#pragma once

#include "ui/Palette.h"

#include <QWidget>

namespace quillfen {

// A filled circle, `size` × `size`.
class QFDot : public QWidget {
    Q_OBJECT

public:
    struct Options {
        QFColor color = QFRole::text3;
        double size = 5;
    };

    // With the defaults of Options.
    explicit QFDot(QWidget* parent = nullptr);
    explicit QFDot(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setColor(QFColor color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Options o_;
};

} // namespace quillfen
