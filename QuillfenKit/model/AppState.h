#pragma once

#include <QObject>

namespace quillfen {

// Whether the menu-bar popover is open: while it is, the sampler takes full samples.
class AppState final : public QObject {
    Q_OBJECT

public:
    static AppState& shared();
    // For tests: the next shared() starts afresh, on the platform current then.
    static void resetShared();

    bool popoverIsOpen() const { return popoverIsOpen_; }
    void setPopoverIsOpen(bool open) {
        if (open == popoverIsOpen_) return;
        popoverIsOpen_ = open;
        emit popoverIsOpenChanged();
    }

signals:
    void popoverIsOpenChanged();

private:
    bool popoverIsOpen_ = false;
};

} // namespace quillfen
