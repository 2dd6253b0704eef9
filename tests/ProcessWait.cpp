#include "ProcessWait.h"

#include <QEventLoop>
#include <QTimer>

#include <cerrno>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace quillfen::testing {

bool waitForExit(int pid, int timeoutMs) {
    const int fd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (fd < 0) return errno == ESRCH;
    pollfd p{fd, POLLIN, 0};
    int n;
    do {
        n = ::poll(&p, 1, timeoutMs);
    } while (n < 0 && errno == EINTR);
    ::close(fd);
    return n == 1;
}

bool spinUntil(const std::function<bool()>& done, int timeoutMs) {
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(timeoutMs);
    while (!done() && deadline.isActive())
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

} // namespace quillfen::testing
