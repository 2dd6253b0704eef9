#pragma once

#include <QWidget>

#include <optional>

namespace quillfen {

class QFText;

// The title of a settings section (13-point bold) with an optional subtitle below it.
class QFSetSectionTitle : public QWidget {
    Q_OBJECT

public:
    struct Options {
        QString title;
        std::optional<QString> sub;
    };

    explicit QFSetSectionTitle(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);

private:
    Options o_;
    QFText* title_;
    QFText* sub_;
};

} // namespace quillfen
