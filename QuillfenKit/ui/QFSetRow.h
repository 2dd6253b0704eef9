#pragma once

#include <QWidget>

#include <optional>

namespace quillfen {

class QFText;

// One setting in a QFSetGroup: its label, a flexible space and its control on one row (at
// least 22 high), an optional hint below; padded 14 × 10. Every row but the first draws a
// one-point separator along its top edge.
class QFSetRow : public QWidget {
    Q_OBJECT

public:
    struct Options {
        QString label;
        std::optional<QString> hint;
        bool isFirst = false;
    };

    // The row takes ownership of `control`, which may be null.
    explicit QFSetRow(Options options, QWidget* control = nullptr, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setFirst(bool isFirst);
    QWidget* control() const { return control_; }

    static constexpr double paddingH = 14, paddingV = 10;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Options o_;
    QFText* label_;
    QFText* hint_;
    QWidget* control_;
};

} // namespace quillfen
