#pragma once

#include <QAbstractButton>

#include <string>

namespace quillfen::app {

// A secondary push button in the palette: its title in 12-point medium `text1` on a `fill2`
// rounded rectangle with a border, `fill3` under the pointer or while pressed.
class SecondaryButton final : public QAbstractButton {
    Q_OBJECT

public:
    explicit SecondaryButton(const QString& title, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
};

// A symbol on a square hit area: the gear of the window's header.
class SymbolButton final : public QAbstractButton {
    Q_OBJECT

public:
    SymbolButton(std::string symbol, double side, double glyph, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::string symbol_;
    double side_, glyph_;
};

} // namespace quillfen::app
