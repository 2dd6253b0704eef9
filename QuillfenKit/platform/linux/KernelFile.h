#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen::platform::linux {

// Whether `root` is the live procfs or sysfs, whose files are generated afresh on every read
// from their start; not a tree captured from another machine.
bool isLiveKernelTree(const std::filesystem::path& root);

// A file under /proc or /sys that is read again and again, such as /proc/stat every second.
// Where `keepOpen` (the file lies in a live tree) it is opened once and then read from
// offset 0 each time, which makes the kernel generate it afresh: its path is walked once, not
// on every read. Elsewhere, as in the captured trees tests replace file by file, it is opened
// for every read. A kept file whose read fails (a disk or chip that went away) is opened
// again once before the read counts as failed. The contents land in a buffer of the object's
// own that later reads reuse, so a steady read allocates nothing.
class KernelFile {
public:
    KernelFile(std::filesystem::path path, bool keepOpen);
    ~KernelFile();
    KernelFile(KernelFile&& other) noexcept;
    KernelFile& operator=(KernelFile&& other) noexcept;
    // A copy reads the same file through a descriptor of its own, opened when it first reads.
    KernelFile(const KernelFile& other);
    KernelFile& operator=(const KernelFile& other);

    // The whole contents, valid until the next read; nothing when the file cannot be read, is
    // not a regular file, or holds more than `maxBytes` (refused, never truncated).
    std::optional<std::string_view> read(std::size_t maxBytes);

    // Only the first `bytes` bytes (fewer when the file is shorter), in one read: for the
    // first line of a file the kernel generates in full anyway.
    std::optional<std::string_view> readStart(std::size_t bytes);

    const std::filesystem::path& path() const { return path_; }
    // Whether the file is held open between reads right now.
    bool isOpen() const { return fd_ >= 0; }

private:
    bool open();
    void close();
    std::optional<std::string_view> readFromStart(std::size_t maxBytes);
    template <typename Read> std::optional<std::string_view> withFile(Read read);

    std::filesystem::path path_;
    bool keepOpen_;
    int fd_ = -1;
    // The open file reports a size (regular files, sysfs attributes, which hand over their
    // whole text at once): a read that comes back short has reached the end. Files of procfs
    // report none and are read until a read returns nothing.
    bool sized_ = false;
    std::string buffer_;
};

// A folder under /sys whose entries are listed again and again, such as the hardware-monitor
// chips to see whether one came or went. Kept open on the live tree and read again from its
// start; elsewhere opened for every listing.
class KernelDirectory {
public:
    KernelDirectory(std::filesystem::path path, bool keepOpen);
    ~KernelDirectory();
    KernelDirectory(const KernelDirectory&) = delete;
    KernelDirectory& operator=(const KernelDirectory&) = delete;

    // The names of the entries but "." and "..", in the order the file system lists them,
    // into `names` (whose strings are reused); false, with `names` empty, when the folder
    // cannot be read.
    bool list(std::vector<std::string>& names);

private:
    std::filesystem::path path_;
    bool keepOpen_;
    void* dir_ = nullptr; // DIR
};

} // namespace quillfen::platform::linux
