// Volumes of a captured desktop and of fixture mount tables: which are listed, under what
// name, and how their space is counted.

#include "platform/linux/LinuxVolumes.h"
#include "platform/fake/FakePlatform.h"
#include "platform/linux/MountInfo.h"
#include "sampling/DiskUsageSampler.h"

#include "Table.h"
#include "TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;

const fs::path kDesktop = fs::path(QUILLFEN_FIXTURES) / "machines/desktop-24thread";

TEST(MountInfo, DecodesEscapesAndSkipsMalformedLines) {
    const auto mounts =
        parseMountInfo("33 27 8:1 / /mnt/Media\\040Library rw - ext4 /dev/sda1 rw\n"
                       "not a mount line\n"
                       "34 27 x:1 / /bad rw - ext4 /dev/sdb1 rw\n"
                       "35 27 0:5 / /no-separator rw ext4 /dev/sdc rw\n"
                       "36 27 0:6 /a\\134b /back\\011slash rw shared:1 - xfs /dev/sdd rw\n");
    ASSERT_EQ(mounts.size(), 2u);
    EXPECT_EQ(mounts[0], (MountEntry{8, 1, "/", "/mnt/Media Library", "ext4", "/dev/sda1"}));
    EXPECT_EQ(mounts[1].root, "/a\\b");
    EXPECT_EQ(mounts[1].mountPoint, "/back\tslash");
    EXPECT_EQ(decodeOctalEscapes("\\040\\0"), " \\0");
}

class LinuxVolumesTest : public ::testing::Test {
protected:
    LinuxVolumesTest()
        : volumes(kDesktop / "proc", kDesktop / "sys", kDesktop,
                  [this](const fs::path& p) -> std::optional<LinuxVolumes::Space> {
                      asked.push_back(p.string());
                      if (p == "/mnt/empty") return LinuxVolumes::Space{0, 0, 0, 4096};
                      return LinuxVolumes::Space{1000, 400, 300, 4096};
                  }) {}

    std::vector<std::string> asked;
    LinuxVolumes volumes;
};

TEST_F(LinuxVolumesTest, ListsEachVisibleFilesystemOnceAtItsFirstMountPoint) {
    const auto urls = volumes.mountedVolumeURLs(true);
    ASSERT_TRUE(urls);
    std::vector<std::string> paths(urls->begin(), urls->end());
    EXPECT_EQ(paths, (std::vector<std::string>{"/dev/shm", "/", "/run", "/boot/efi", "/home",
                                               "/snap/core22/1122", "/run/user/1000", "/mnt/nas",
                                               "/run/user/1000/gvfs", "/run/media/ana/USB STICK",
                                               "/var/lib/docker/overlay2/abc/merged", "/mnt/empty",
                                               "/mnt/Media Library", "/mnt/cd", "/run/mount/backup",
                                               "/mnt/backup"}));
    EXPECT_GT(volumes.mountedVolumeURLs(false)->size(), paths.size());
}

TEST_F(LinuxVolumesTest, ValuesNameAndClassifyVolumesAndOnlyAskLocalBrowsableOnesForSpace) {
    volumes.mountedVolumeURLs(true);
    const auto root = volumes.resourceValues("/");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->localizedName, "Ubuntu");
    EXPECT_EQ(std::tuple(root->totalCapacity, root->availableCapacityForImportantUsage,
                         root->availableCapacity, root->isBrowsable, root->isLocal),
              std::tuple((600 + 300) * 4096, 300 * 4096, 400 * 4096, true, true));

    EXPECT_EQ(volumes.resourceValues("/mnt/Media Library")->localizedName, "Media Library");
    EXPECT_EQ(volumes.resourceValues("/run/media/ana/USB STICK")->isBrowsable, true);
    for (const char* notBrowsable : {"/dev/shm", "/run", "/boot/efi", "/snap/core22/1122",
                                     "/run/user/1000", "/var/lib/docker/overlay2/abc/merged"})
        EXPECT_EQ(volumes.resourceValues(notBrowsable)->isBrowsable, false) << notBrowsable;
    for (const char* remote : {"/mnt/nas", "/run/user/1000/gvfs"}) {
        const auto v = volumes.resourceValues(remote);
        EXPECT_EQ(v->isLocal, false) << remote;
        EXPECT_FALSE(v->totalCapacity) << remote;
    }
    EXPECT_EQ(asked,
              (std::vector<std::string>{"/", "/mnt/Media Library", "/run/media/ana/USB STICK"}));
    EXPECT_FALSE(volumes.resourceValues("/not/listed"));
}

TEST(LinuxVolumesShown, ADeviceMountedOutOfSightFirstIsShownWhereItIsVisible) {
    // sde1 is mounted under /run first, then under /mnt; nvme0n1p3 at /home and then, in
    // part, at /srv/projects.
    platform::fake::FakePlatform fake;
    fake.platform.volumes = std::make_shared<LinuxVolumes>(
        kDesktop / "proc", kDesktop / "sys", kDesktop, [](const fs::path&) {
            return LinuxVolumes::Space{1000, 400, 300, 4096};
        });
    const auto list = DiskUsageSampler().sample().value();
    std::vector<std::string> paths;
    for (const auto& v : list)
        paths.push_back(v.path);
    EXPECT_THAT(paths, ::testing::UnorderedElementsAre("/", "/home", "/mnt/Media Library",
                                                       "/run/media/ana/USB STICK", "/mnt/empty",
                                                       "/mnt/cd", "/mnt/backup"));
}

// A volume's space as statvfs reports it, and the figures df shows for it.
struct SpaceCase : quillfen::testing::Row {
    LinuxVolumes::Space space;
    std::uint64_t used, size, available; // df -B1: Used, Used + Available, Available
    int usePercent;                      // df's Use%: used ÷ (used + available), rounded up
};

class VolumeSpace : public ::testing::TestWithParam<SpaceCase> {};

TEST_P(VolumeSpace, UsedAndItsShareAreDfs) {
    const auto& c = GetParam();
    testing::TempDir dir;
    testing::writeText(dir / "proc/self/mountinfo",
                       "27 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n");
    platform::fake::FakePlatform fake;
    fake.platform.volumes = std::make_shared<LinuxVolumes>(
        dir / "proc", dir / "sys", dir.path(), [&](const fs::path&) { return c.space; });
    const auto list = DiskUsageSampler().sample().value();
    ASSERT_EQ(list.size(), 1u);
    const auto& v = list[0];
    EXPECT_EQ(std::tuple(v.usedBytes(), v.totalBytes, v.availableBytes),
              std::tuple(c.used, c.size, c.available));
    EXPECT_EQ(static_cast<int>(std::ceil(100.0 * static_cast<double>(v.usedBytes()) /
                                         static_cast<double>(v.totalBytes))),
              c.usePercent);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, VolumeSpace, ::testing::Values(
    // The machine of the report: root holds back 166 GB, which df counts neither as used nor
    // as available (18 %, where the whole filesystem less what users may write was 69 %).
    SpaceCase{"ReservedBlocksAreNotUsed", {66053021, 61599252, 20630528, 4096},
              18242637824, 18242637824 + 84502642688ull, 84502642688, 18},
    SpaceCase{"NoReserve", {1000, 400, 400, 4096}, 600 * 4096, 1000 * 4096, 400 * 4096, 60},
    SpaceCase{"LargeFragments", {1000, 500, 250, 65536},
              500 * 65536, 750 * 65536, 250 * 65536, 67},
    // Nothing left for ordinary users: the free reserve is the only available figure, and the
    // whole filesystem its capacity, so used is still df's.
    SpaceCase{"FullForOrdinaryUsers", {1000, 50, 0, 4096}, 950 * 4096, 1000 * 4096, 50 * 4096, 95},
    // More free than there are blocks cannot be; nothing counts as used.
    SpaceCase{"FreeBeyondTheBlocks", {100, 200, 150, 4096}, 0, 150 * 4096, 150 * 4096, 0}),
    ::testing::PrintToStringParamName());
// clang-format on

TEST(LinuxVolumesLabels, NameAVolumeAfterItsFilesystemLabel) {
    // A label is a link to the block device; borrow one of this machine's.
    std::optional<fs::path> device;
    struct stat st {};
    std::error_code ec;
    for (fs::directory_iterator it("/dev", ec), end; !ec && it != end && !device; it.increment(ec))
        if (::stat(it->path().c_str(), &st) == 0 && S_ISBLK(st.st_mode)) device = it->path();
    if (!device) GTEST_SKIP() << "no block device to label";

    testing::TempDir dir;
    fs::create_directories(dir / "dev/disk/by-label");
    fs::create_symlink(*device, dir / "dev/disk/by-label/My\\x20Photos");
    testing::writeText(dir / "proc/self/mountinfo", "40 27 " + std::to_string(major(st.st_rdev)) +
                                                        ":" + std::to_string(minor(st.st_rdev)) +
                                                        " / /mnt/photos rw - ext4 " +
                                                        device->string() + " rw\n");
    LinuxVolumes volumes(dir / "proc", dir / "sys", dir.path(),
                         [](const fs::path&) { return std::nullopt; });
    volumes.mountedVolumeURLs(true);
    EXPECT_EQ(volumes.resourceValues("/mnt/photos")->localizedName, "My Photos");
}
} // namespace
} // namespace quillfen::platform::linux
