#include "platform/linux/LinuxVolumes.h"

#include "platform/linux/FileIO.h"
#include "platform/linux/KernelText.h"

#include <algorithm>
#include <array>
#include <set>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unordered_map>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;

// A mount table of tens of thousands of entries (container hosts) stays below this.
constexpr std::size_t kMaxMountInfoBytes = 16 << 20;

constexpr std::array<std::string_view, 22> kHiddenTypes = {
    "proc",      "sysfs",     "devpts",      "cgroup",  "cgroup2",  "securityfs",
    "debugfs",   "tracefs",   "pstore",      "bpf",     "configfs", "mqueue",
    "hugetlbfs", "fusectl",   "binfmt_misc", "autofs",  "efivarfs", "rpc_pipefs",
    "nsfs",      "selinuxfs", "ramfs",       "devtmpfs"};

constexpr std::array<std::string_view, 17> kNetworkTypes = {
    "nfs", "nfs4",  "cifs",  "smb3",   "smbfs", "ncpfs", "afs",  "ceph",    "glusterfs",
    "9p",  "davfs", "sshfs", "lustre", "gfs2",  "ocfs2", "coda", "virtiofs"};

constexpr std::array<std::string_view, 4> kNotBrowsableTypes = {"tmpfs", "overlay", "squashfs",
                                                                "aufs"};

template <std::size_t N>
bool among(const std::array<std::string_view, N>& list, std::string_view value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

bool under(std::string_view path, std::string_view folder) {
    return path == folder ||
           (path.starts_with(folder) && path.size() > folder.size() && path[folder.size()] == '/');
}

bool isHidden(const MountEntry& m) {
    return among(kHiddenTypes, m.fsType) || under(m.mountPoint, "/proc") ||
           under(m.mountPoint, "/sys");
}

bool isLocal(const MountEntry& m) {
    if (m.fsType == "fuseblk") return true;
    if (m.fsType == "fuse" || m.fsType.starts_with("fuse.")) return false;
    return !among(kNetworkTypes, m.fsType);
}

bool isBrowsable(const MountEntry& m) {
    if (isHidden(m) || among(kNotBrowsableTypes, m.fsType)) return false;
    for (std::string_view system : {"/dev", "/boot/efi", "/efi", "/snap", "/var/snap",
                                    "/var/lib/snapd", "/var/lib/docker", "/var/lib/containers"})
        if (under(m.mountPoint, system)) return false;
    return !under(m.mountPoint, "/run") || under(m.mountPoint, "/run/media");
}

// The names udev gives labels escape blanks and slashes as "\x20" and "\x2f".
std::string decodeHexEscapes(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            if (const auto v = parseHex(text.substr(i + 2, 2))) {
                out.push_back(static_cast<char>(*v));
                i += 3;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

// A volume's capacity as df measures its use: the blocks in use (f_blocks − f_bfree) and
// those an ordinary user may still write (f_bavail). Blocks kept back for root are neither
// used nor available to the user, so they are left out; used = capacity − available is then
// df's Used, and used ÷ capacity its Use%. A volume full for ordinary users has only its
// plain free space (the reserve) left as an available figure, which readers then take; with
// it the capacity is the whole filesystem, so that used stays df's Used.
std::uint64_t capacityBlocks(const LinuxVolumes::Space& s) {
    if (s.available == 0) return s.blocks;
    return addSaturating(s.blocks - std::min(s.free, s.blocks), s.available);
}

std::optional<std::int64_t> bytes(std::uint64_t count, std::uint64_t unit) {
    const auto total = multiplySaturating(count, unit);
    return static_cast<std::int64_t>(std::min<std::uint64_t>(total, INT64_MAX));
}

} // namespace

LinuxVolumes::LinuxVolumes(fs::path procRoot, fs::path sysRoot, fs::path root, StatVfs statvfs)
    : mountInfo_(procRoot / "self" / "mountinfo")
    , root_(std::move(root))
    , statvfs_(std::move(statvfs))
    , flags_(std::move(sysRoot)) {}

std::optional<LinuxVolumes::Space> LinuxVolumes::systemStatVfs(const fs::path& path) {
    struct statvfs s {};
    if (::statvfs(path.c_str(), &s) != 0) return std::nullopt;
    return Space{s.f_blocks, s.f_bfree, s.f_bavail, s.f_frsize};
}

std::optional<std::vector<MountEntry>> LinuxVolumes::readMounts() const {
    const auto text = readFile(mountInfo_, kMaxMountInfoBytes);
    if (!text) return std::nullopt;
    return parseMountInfo(*text);
}

std::optional<std::vector<fs::path>> LinuxVolumes::mountedVolumeURLs(bool skipHiddenVolumes) {
    const auto mounts = readMounts();
    if (!mounts) return std::nullopt;
    // A mount point mounted over again shows only its latest mount.
    std::unordered_map<std::string_view, std::size_t> lastAt;
    for (std::size_t i = 0; i < mounts->size(); ++i)
        lastAt[(*mounts)[i].mountPoint] = i;

    listed_.clear();
    labels_.reset();
    // A device is one volume, at the first of its mount points that is shown. Mounts out of
    // sight (under /run, say) claim nothing: a device mounted there first and then under
    // /mnt is shown at /mnt.
    std::set<std::string> sources;
    std::vector<fs::path> urls;
    for (std::size_t i = 0; i < mounts->size(); ++i) {
        const auto& m = (*mounts)[i];
        if (lastAt[m.mountPoint] != i) continue;
        if (skipHiddenVolumes && isHidden(m)) continue;
        if (m.source.starts_with("/dev/") && isLocal(m) && isBrowsable(m) &&
            !sources.insert(m.source).second)
            continue;
        urls.emplace_back(m.mountPoint);
        listed_.emplace(m.mountPoint, m);
    }
    return urls;
}

std::optional<std::string> LinuxVolumes::label(const MountEntry& mount) {
    if (!labels_) {
        labels_.emplace();
        const fs::path dir = root_ / "dev" / "disk" / "by-label";
        std::error_code ec;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            struct stat st {};
            if (::stat(it->path().c_str(), &st) != 0 || !S_ISBLK(st.st_mode)) continue;
            labels_->emplace(std::pair(::major(st.st_rdev), ::minor(st.st_rdev)),
                             decodeHexEscapes(it->path().filename().string()));
        }
    }
    const auto it = labels_->find({mount.major, mount.minor});
    if (it == labels_->end() || it->second.empty()) return std::nullopt;
    return it->second;
}

std::string LinuxVolumes::distributionName() const {
    for (const char* file : {"etc/os-release", "usr/lib/os-release"}) {
        const auto text = readFile(root_ / file, 64 << 10);
        if (!text) continue;
        std::string_view rest = *text;
        while (!rest.empty()) {
            const std::string_view line = nextLine(rest);
            if (!line.starts_with("NAME=")) continue;
            std::string_view value = trim(line.substr(5));
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            if (!value.empty()) return std::string(value);
        }
    }
    return "Linux";
}

std::optional<MountedVolumeValues> LinuxVolumes::resourceValues(const fs::path& volume) {
    const auto it = listed_.find(volume.native());
    if (it == listed_.end()) return std::nullopt;
    const MountEntry& m = it->second;
    MountedVolumeValues v;
    v.isLocal = isLocal(m);
    v.isBrowsable = isBrowsable(m);
    if (const auto name = label(m)) {
        v.localizedName = name;
    } else if (m.mountPoint == "/") {
        v.localizedName = distributionName();
    } else {
        v.localizedName = fs::path(m.mountPoint).filename().string();
    }
    // Only volumes a user keeps files on are examined further: their device and space.
    if (*v.isLocal && *v.isBrowsable) {
        if (m.source.starts_with("/dev/"))
            if (const auto removable = flags_.isRemovableDevice(m.major, m.minor))
                v.isInternal = !*removable;
        if (const auto space = statvfs_(volume)) {
            v.totalCapacity = bytes(capacityBlocks(*space), space->fragmentSize);
            v.availableCapacityForImportantUsage = bytes(space->available, space->fragmentSize);
            v.availableCapacity = bytes(space->free, space->fragmentSize);
        }
    }
    return v;
}

} // namespace quillfen::platform::linux
