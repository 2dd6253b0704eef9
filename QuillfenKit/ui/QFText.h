#pragma once

#include "ui/Fonts.h"
#include "ui/Palette.h"

#include <QWidget>

#include <limits>

class QPainter;

namespace quillfen {

// Width of `text` set in `font`.
double qfTextWidth(const QString& text, const QFont& font);

// Height of one line of `font` (ascent + descent).
double qfLineHeight(const QFont& font);
double qfAscent(const QFont& font);

// Draws `text` on one line starting at `x` with its baseline at `baseline`; text wider than
// `maxWidth` is cut at the end with an ellipsis.
void qfDrawText(QPainter& painter, double x, double baseline, const QString& text,
                const QFont& font, const QColor& color,
                double maxWidth = std::numeric_limits<double>::infinity());

// The same, placed in `box` by `alignment` (leading, trailing or centred; the line is
// top-aligned in the box) and cut to its width.
void qfDrawTextIn(QPainter& painter, const QRectF& box, const QString& text, const QFont& font,
                  const QColor& color, Qt::Alignment alignment = Qt::AlignLeft);

// Text as a view, at its natural width. One line that ends in an ellipsis when narrower,
// unless it wraps.
class QFText : public QWidget {
    Q_OBJECT

public:
    struct Options {
        QString text;
        QFont font = qf(13);
        QFColor color = QFRole::text1;
        bool upperCase = false;
        Qt::Alignment alignment = Qt::AlignLeft;
        // Breaks the text into lines at word boundaries instead of cutting it.
        bool wraps = false;
    };

    // With the defaults of Options.
    explicit QFText(QWidget* parent = nullptr);
    explicit QFText(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setText(const QString& text);
    void setColor(QFColor color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return o_.wraps; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString shown() const;

    Options o_;
};

} // namespace quillfen
