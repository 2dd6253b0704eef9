#pragma once

#include <QWidget>

class QLayout;
class QVBoxLayout;

namespace quillfen {

// The container of the monitor's panels: a leading-aligned vertical stack on the card
// gradient, inside a rounded rectangle of radius 10 with a one-point border.
class QFCard : public QWidget {
    Q_OBJECT

public:
    struct Options {
        double padding = 16;     // on all four edges
        double spacing = 10;     // between children
        bool fillHeight = false; // grows to the height it is offered, content at the top
    };

    // With the defaults of Options.
    explicit QFCard(QWidget* parent = nullptr);
    explicit QFCard(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);

    // Appends a child below the others (leading edge for fixed-size views).
    void addWidget(QWidget* child);
    void addLayout(QLayout* child);
    // The stack itself, for hosts that arrange children further.
    QVBoxLayout* contentLayout() const { return layout_; }

    static constexpr double cornerRadius = 10;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void applyOptions();

    Options o_;
    QVBoxLayout* layout_;
};

} // namespace quillfen
