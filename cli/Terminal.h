#pragma once

#include <QObject>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class QSocketNotifier;

namespace quillfen::cli {

// The size of the terminal on `fd`; 80 by 24 when it does not say.
struct TerminalSize {
    std::size_t columns = 80;
    std::size_t rows = 24;
};
TerminalSize terminalSize(int fd);

// A full-screen view on the terminal on `fd`: while it lives, frames are drawn in place on
// the alternate screen, without a cursor and without line wrapping; when it ends, the
// terminal is as it was. Resizes are reported on the main loop. Ending the process by a
// signal goes through the event loop (the application turns SIGINT, SIGTERM and SIGHUP into
// a normal exit), so the view ends with its owner.
class FullScreen final : public QObject {
public:
    explicit FullScreen(int fd);
    ~FullScreen() override;

    TerminalSize size() const { return terminalSize(fd_); }
    // Replaces the screen's contents with `lines`, at most one a row.
    void draw(const std::vector<std::string>& lines);

    // Called on the main loop after the terminal changed its size.
    std::function<void()> resized;

private:
    void write(const std::string& text);

    int fd_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace quillfen::cli
