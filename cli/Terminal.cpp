#include "Terminal.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace quillfen::cli {
namespace {

// Alternate screen, cursor hidden, no wrapping at the right margin; and back.
constexpr const char* kEnter = "\x1b[?1049h\x1b[?25l\x1b[?7l\x1b[H\x1b[2J";
constexpr const char* kLeave = "\x1b[?7h\x1b[?25h\x1b[?1049l";

int resizePipe[2] = {-1, -1};

extern "C" void onResize(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a wake-up.
    [[maybe_unused]] const auto n = ::write(resizePipe[1], &byte, 1);
    errno = saved;
}

} // namespace

TerminalSize terminalSize(int fd) {
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) return {};
    return {size.ws_col, size.ws_row};
}

FullScreen::FullScreen(int fd)
    : fd_(fd) {
    if (resizePipe[0] >= 0 || ::pipe2(resizePipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        notifier_ = new QSocketNotifier(resizePipe[0], QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] {
            char buf[16];
            while (::read(resizePipe[0], buf, sizeof buf) > 0) {
            }
            if (resized) resized();
        });
        struct sigaction sa {};
        sa.sa_handler = onResize;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGWINCH, &sa, nullptr);
    }
    write(kEnter);
}

FullScreen::~FullScreen() {
    ::signal(SIGWINCH, SIG_DFL);
    write(kLeave);
}

void FullScreen::draw(const std::vector<std::string>& lines) {
    const auto rows = size().rows;
    // Each row is cleared before it is written (clearing after the text would take the last
    // column with it when the text fills the row); the last line has no line break, so a
    // frame as tall as the screen does not scroll it.
    std::string frame = "\x1b[H";
    for (std::size_t i = 0; i < lines.size() && i < rows; ++i) {
        if (i) frame += "\r\n";
        frame += "\x1b[2K";
        frame += lines[i];
    }
    // The rows below, from the start of the next one: erasing from the end of a full row
    // would take its last column.
    if (lines.size() < rows) frame += "\r\n\x1b[J";
    write(frame);
}

void FullScreen::write(const std::string& text) {
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const auto n = ::write(fd_, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}

} // namespace quillfen::cli
