#include "platform/linux/FileIO.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillfen {
namespace {

class Fd {
public:
    explicit Fd(int fd)
        : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now and reports whether the close (which may report a late write error) worked.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void syncDirectory(const std::filesystem::path& dir) {
    Fd d(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (d.get() >= 0) ::fsync(d.get());
}

} // namespace

std::optional<std::string> readFile(const std::filesystem::path& path, std::size_t maxBytes) {
    return readFileAt(AT_FDCWD, path.c_str(), maxBytes);
}

std::optional<std::string> readFileAt(int dirFd, const char* path, std::size_t maxBytes) {
    Fd fd(::openat(dirFd, path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) return std::nullopt;

    // The size is a hint only: the file may change while it is read, and files under /proc
    // and /sys report a size of 0 or 4096 whatever their contents.
    // One byte beyond the reported size lets a single read both fill the buffer and show
    // that the end has been reached.
    std::string out;
    const bool sized = st.st_size > 0;
    out.resize(sized ? std::min(static_cast<std::size_t>(st.st_size), maxBytes) + 1 : 4096);
    std::size_t used = 0;
    for (;;) {
        if (used == out.size()) {
            if (out.size() > maxBytes) return std::nullopt;
            out.resize(std::min(out.size() * 2, maxBytes + 1));
        }
        const ssize_t n = ::read(fd.get(), out.data() + used, out.size() - used);
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (n == 0) break;
        const bool shortRead = static_cast<std::size_t>(n) < out.size() - used;
        used += static_cast<std::size_t>(n);
        // A regular file with a real size ends where a read comes back short.
        if (sized && shortRead) break;
    }
    if (used > maxBytes) return std::nullopt;
    out.resize(used);
    return out;
}

bool writeFileAtomically(const std::filesystem::path& path, std::string_view data,
                         Durability durability) {
    const std::filesystem::path dir = path.parent_path();
    // A name of this process's own, so no two writers share a temporary file; created with
    // the usual 0666 less umask, like any other file the user writes.
    static std::atomic<unsigned> serial{0};
    // A child after fork() shares the cached id; O_EXCL turns that into another attempt.
    static const pid_t pid = ::getpid();
    std::string tmpl;
    int rawFd = -1;
    for (int attempt = 0; attempt < 8 && rawFd < 0; ++attempt) {
        tmpl = dir.empty() ? std::string() : dir.string() + '/';
        tmpl += '.';
        tmpl += path.filename().string();
        tmpl += '.';
        tmpl += std::to_string(pid);
        tmpl += '-';
        tmpl += std::to_string(serial.fetch_add(1, std::memory_order_relaxed));
        rawFd = ::open(tmpl.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (rawFd < 0 && errno != EEXIST) return false;
    }
    Fd fd(rawFd);
    if (fd.get() < 0) return false;

    // Allocating the blocks up front keeps ext4 from flushing the file's delayed allocation
    // synchronously when it replaces the old one by rename (auto_da_alloc), which otherwise
    // dominates the cost of a small write. Where it is unsupported the write simply goes on.
    if (!data.empty() && durability != Durability::replaceInMemory)
        ::fallocate(fd.get(), 0, 0, static_cast<off_t>(data.size()));
    bool ok = writeAll(fd.get(), data);
    if (ok && durability == Durability::synced) ok = ::fsync(fd.get()) == 0;
    ok = fd.close() && ok;
    if (ok) ok = ::rename(tmpl.c_str(), path.c_str()) == 0;
    if (!ok) {
        const int why = errno; // for the caller, not the clean-up's
        ::unlink(tmpl.c_str());
        errno = why;
        return false;
    }
    if (durability == Durability::synced) syncDirectory(dir.empty() ? "." : dir);
    return true;
}

void removeStaleTemporaries(const std::filesystem::path& path) {
    const std::filesystem::path dir = path.parent_path().empty() ? "." : path.parent_path();
    const std::string prefix = '.' + path.filename().string() + '.';
    DIR* folder = ::opendir(dir.c_str());
    if (!folder) return;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix)) continue;
        // ".<name>.<pid>-<serial>", as writeFileAtomically names them.
        const std::string_view rest = name.substr(prefix.size());
        const auto dash = rest.find('-');
        if (dash == std::string_view::npos || dash + 1 == rest.size()) continue;
        pid_t pid = 0;
        const auto [end, ec] = std::from_chars(rest.data(), rest.data() + dash, pid);
        if (ec != std::errc() || end != rest.data() + dash || pid <= 0) continue;
        if (rest.substr(dash + 1).find_first_not_of("0123456789") != std::string_view::npos)
            continue;
        // Our own id on a file we did not write means an earlier process had it.
        const bool gone = pid == ::getpid() || (::kill(pid, 0) != 0 && errno == ESRCH);
        if (gone) ::unlinkat(::dirfd(folder), entry->d_name, 0);
    }
    ::closedir(folder);
}

} // namespace quillfen
