#include "platform/linux/KernelFile.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <utility>

namespace quillfen::platform::linux {
namespace {

// Most attributes and most of /proc fit in one page; a larger file grows the buffer once.
constexpr std::size_t kInitialBytes = 4096;

} // namespace

bool isLiveKernelTree(const std::filesystem::path& root) {
    struct statfs fs {};
    if (::statfs(root.c_str(), &fs) != 0) return false;
    return fs.f_type == PROC_SUPER_MAGIC || fs.f_type == SYSFS_MAGIC;
}

KernelFile::KernelFile(std::filesystem::path path, bool keepOpen)
    : path_(std::move(path))
    , keepOpen_(keepOpen) {}

KernelFile::~KernelFile() {
    close();
}

KernelFile::KernelFile(const KernelFile& other)
    : path_(other.path_)
    , keepOpen_(other.keepOpen_) {}

KernelFile& KernelFile::operator=(const KernelFile& other) {
    if (this != &other) {
        close();
        path_ = other.path_;
        keepOpen_ = other.keepOpen_;
    }
    return *this;
}

KernelFile::KernelFile(KernelFile&& other) noexcept
    : path_(std::move(other.path_))
    , keepOpen_(other.keepOpen_)
    , fd_(std::exchange(other.fd_, -1))
    , sized_(other.sized_)
    , buffer_(std::move(other.buffer_)) {}

KernelFile& KernelFile::operator=(KernelFile&& other) noexcept {
    if (this != &other) {
        close();
        path_ = std::move(other.path_);
        keepOpen_ = other.keepOpen_;
        fd_ = std::exchange(other.fd_, -1);
        sized_ = other.sized_;
        buffer_ = std::move(other.buffer_);
    }
    return *this;
}

bool KernelFile::open() {
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) return false;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        close();
        return false;
    }
    sized_ = st.st_size > 0;
    return true;
}

void KernelFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::optional<std::string_view> KernelFile::readFromStart(std::size_t maxBytes) {
    if (buffer_.empty()) buffer_.resize(std::min(kInitialBytes, maxBytes + 1));
    std::size_t used = 0;
    for (;;) {
        if (used == buffer_.size()) {
            if (buffer_.size() > maxBytes) return std::nullopt;
            buffer_.resize(std::min(buffer_.size() * 2, maxBytes + 1));
        }
        // Reading from offset 0 makes procfs and sysfs generate the file anew; the reads
        // after it go on where the one before ended.
        const ssize_t n =
            ::pread(fd_, buffer_.data() + used, buffer_.size() - used, static_cast<off_t>(used));
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (n == 0) break;
        const bool shortRead = static_cast<std::size_t>(n) < buffer_.size() - used;
        used += static_cast<std::size_t>(n);
        if (sized_ && shortRead) break;
    }
    if (used > maxBytes) return std::nullopt;
    return std::string_view(buffer_.data(), used);
}

template <typename Read> std::optional<std::string_view> KernelFile::withFile(Read read) {
    if (!keepOpen_) {
        // A file of a captured tree may have been replaced since the last read: always the
        // one at the path now.
        if (!open()) return std::nullopt;
        auto text = read();
        close();
        return text;
    }
    if (fd_ >= 0) {
        if (auto text = read()) return text;
        // The device behind it may have gone, or come back as a new file at the same path.
        close();
    }
    if (!open()) return std::nullopt;
    auto text = read();
    if (!text) close();
    return text;
}

std::optional<std::string_view> KernelFile::read(std::size_t maxBytes) {
    return withFile([&] { return readFromStart(maxBytes); });
}

std::optional<std::string_view> KernelFile::readStart(std::size_t bytes) {
    return withFile([&]() -> std::optional<std::string_view> {
        if (buffer_.size() < bytes) buffer_.resize(bytes);
        for (;;) {
            const ssize_t n = ::pread(fd_, buffer_.data(), bytes, 0);
            if (n >= 0) return std::string_view(buffer_.data(), static_cast<std::size_t>(n));
            if (errno != EINTR) return std::nullopt;
        }
    });
}

KernelDirectory::KernelDirectory(std::filesystem::path path, bool keepOpen)
    : path_(std::move(path))
    , keepOpen_(keepOpen) {}

KernelDirectory::~KernelDirectory() {
    if (dir_) ::closedir(static_cast<DIR*>(dir_));
}

bool KernelDirectory::list(std::vector<std::string>& names) {
    DIR* dir = static_cast<DIR*>(dir_);
    if (dir) {
        ::rewinddir(dir);
    } else {
        dir = ::opendir(path_.c_str());
        if (!dir) {
            names.clear();
            return false;
        }
    }
    std::size_t count = 0;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (count < names.size())
            names[count].assign(name);
        else
            names.emplace_back(name);
        ++count;
    }
    const bool failed = errno != 0;
    names.resize(failed ? 0 : count);
    const bool wasKept = dir_ != nullptr;
    // A kept folder that lists nothing may have been removed and made anew (a driver
    // reloaded): the one at the path now is looked at instead.
    if (keepOpen_ && !failed && (count > 0 || !wasKept)) {
        dir_ = dir;
        return true;
    }
    ::closedir(dir);
    dir_ = nullptr;
    if (wasKept) return list(names);
    return !failed;
}

} // namespace quillfen::platform::linux
