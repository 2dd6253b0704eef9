#pragma once

#include "ui/Palette.h"

#include <QWidget>

#include <string>

class QHBoxLayout;

namespace quillfen {

class QFIconChip;
class QFText;

// The heading of a card: an icon chip, the title (13-point semibold, one line, natural
// width), a flexible space and an optional trailing view.
class QFSectionHeading : public QWidget {
    Q_OBJECT

public:
    struct Options {
        std::string icon;
        QFColor color = QFRole::text2;
        QString title;
    };

    // Takes ownership of `trailing`, which may be null.
    explicit QFSectionHeading(Options options, QWidget* trailing = nullptr,
                              QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setTitle(const QString& title);
    // Replaces the trailing view (deleting the previous one); null removes it.
    void setTrailing(QWidget* trailing);
    QWidget* trailing() const { return trailing_; }

private:
    Options o_;
    QHBoxLayout* row_;
    QFIconChip* chip_;
    QFText* title_;
    QWidget* trailing_ = nullptr;
};

} // namespace quillfen
