#pragma once

#include <QWidget>

class QVBoxLayout;

namespace quillfen {

// A group of settings rows on the card gradient, inside a rounded rectangle of radius 9 with
// a one-point border. No padding of its own: the rows pad themselves.
class QFSetGroup : public QWidget {
    Q_OBJECT

public:
    explicit QFSetGroup(QWidget* parent = nullptr);

    void addWidget(QWidget* row);
    QVBoxLayout* contentLayout() const { return layout_; }

    static constexpr double cornerRadius = 9;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QVBoxLayout* layout_;
};

} // namespace quillfen
