#include "support/FileIO.h"

#include <cerrno>
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
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) return std::nullopt;

    // The size is a hint only: the file may change while it is read, and files under /proc
    // and /sys report a size that has nothing to do with their contents.
    std::string out;
    out.resize(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 4096);
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
        used += static_cast<std::size_t>(n);
    }
    if (used > maxBytes) return std::nullopt;
    out.resize(used);
    return out;
}

bool writeFileAtomically(const std::filesystem::path& path, std::string_view data,
                         Durability durability) {
    const std::filesystem::path dir = path.parent_path();
    std::string tmpl = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
    Fd fd(::mkostemp(tmpl.data(), O_CLOEXEC));
    if (fd.get() < 0) return false;

    // mkostemp creates the file readable by its owner only; the product's files are as
    // readable as any other file the user writes.
    bool ok = ::fchmod(fd.get(), 0644) == 0 && writeAll(fd.get(), data);
    if (ok && durability == Durability::synced) ok = ::fsync(fd.get()) == 0;
    ok = fd.close() && ok;
    if (ok) ok = ::rename(tmpl.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(tmpl.c_str());
        return false;
    }
    if (durability == Durability::synced) syncDirectory(dir.empty() ? "." : dir);
    return true;
}

} // namespace quillfen
