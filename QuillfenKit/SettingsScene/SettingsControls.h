#pragma once

#include "ui/Palette.h"

#include <QAbstractButton>
#include <QStringList>
#include <QWidget>

#include <string>

namespace quillfen {

// The settings window's controls, drawn from the palette rather than by the platform style,
// so that they look the same in every theme. The theme's cpu accent is the interactive accent.

// An on/off switch: a capsule track, the accent when on, with a round knob.
class SettingsSwitch final : public QAbstractButton {
    Q_OBJECT

public:
    explicit SettingsSwitch(QWidget* parent = nullptr);

    QSize sizeHint() const override;

    static constexpr double trackWidth = 32, trackHeight = 18, knobInset = 2;

protected:
    void paintEvent(QPaintEvent*) override;
};

// A row of mutually exclusive segments at their natural width; the chosen one filled with the
// accent. Emits `activated` when the user picks a segment.
class SettingsSegmentedPicker final : public QWidget {
    Q_OBJECT

public:
    explicit SettingsSegmentedPicker(QStringList items, QWidget* parent = nullptr);

    int currentIndex() const { return current_; }
    void setCurrentIndex(int index);
    // Segment `index` in the picker's coordinates.
    QRectF segmentRect(int index) const;

    QSize sizeHint() const override;

    static constexpr double segmentHeight = 22, radius = 6, segmentPadding = 12;

signals:
    void activated(int index);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void pick(int index);
    double segmentWidth(int index) const;

    QStringList items_;
    int current_ = 0;
};

// A plain text button in one of the two looks: primary (white semibold on the accent) or
// secondary (medium text1 on fill2 with a border). Padded 10 × 3, radius 5.
class SettingsButton final : public QAbstractButton {
    Q_OBJECT

public:
    enum class Look { primary, secondary };

    SettingsButton(Look look, const QString& text, QWidget* parent = nullptr);

    Look look() const { return look_; }
    QSize sizeHint() const override;

    static constexpr double paddingH = 10, paddingV = 3, radius = 5, fontSize = 11.5;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Look look_;
};

// A plain button showing a symbol, dimmed while disabled.
class SettingsSymbolButton final : public QAbstractButton {
    Q_OBJECT

public:
    SettingsSymbolButton(std::string symbol, QFColor color, QWidget* parent = nullptr);

    QSize sizeHint() const override;

    static constexpr double glyph = 14, side = 20;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::string symbol_;
    QFColor color_;
};

} // namespace quillfen
