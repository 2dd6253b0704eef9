#include "platform/linux/LinuxVolumeFlags.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace quillfen::platform::linux {
namespace {

using quillfen::testing::TempDir;
using quillfen::testing::writeText;

// A sysfs tree as the kernel lays it out: /sys/dev/block/<major>:<minor> links to the device,
// partitions are folders inside their disk.
class LinuxVolumeFlagsTest : public ::testing::Test {
protected:
    void device(const char* numbers, const std::string& devicePath) {
        std::filesystem::create_directories(sys / "dev" / "block");
        std::filesystem::create_directories(sys / devicePath);
        std::filesystem::create_symlink("../../" + devicePath, sys / "dev" / "block" / numbers);
    }

    TempDir dir;
    const std::filesystem::path sys = dir / "sys";
    LinuxVolumeFlags flags{sys};
};

TEST_F(LinuxVolumeFlagsTest, RemovableMediaAndFileBackedLoopDevicesAreRemovable) {
    device("8:1", "devices/pci/ata1/block/sda/sda1");
    writeText(sys / "devices/pci/ata1/block/sda/sda1/partition", "1\n");
    writeText(sys / "devices/pci/ata1/block/sda/removable", "0\n");

    device("8:17", "devices/pci/usb1/block/sdb/sdb1");
    writeText(sys / "devices/pci/usb1/block/sdb/sdb1/partition", "1\n");
    writeText(sys / "devices/pci/usb1/block/sdb/removable", "1\n");

    device("7:0", "devices/virtual/block/loop0");
    writeText(sys / "devices/virtual/block/loop0/removable", "0\n");
    writeText(sys / "devices/virtual/block/loop0/loop/backing_file", "/home/u/Quillfen.img\n");

    device("7:1", "devices/virtual/block/loop1"); // detached: no backing file
    writeText(sys / "devices/virtual/block/loop1/removable", "0\n");

    device("259:3", "devices/virtual/block/loop2/loop2p1"); // partition of a mounted image
    writeText(sys / "devices/virtual/block/loop2/loop2p1/partition", "1\n");
    writeText(sys / "devices/virtual/block/loop2/loop/backing_file", "/home/u/Disk.img\n");

    // 0:45 is tmpfs and the like.
    const std::tuple<unsigned, unsigned, std::optional<bool>> cases[] = {
        {8, 1, false}, {8, 17, true}, {7, 0, true}, {7, 1, false}, {259, 3, true}, {0, 45, {}}};
    for (const auto& [major, minor, removable] : cases)
        EXPECT_EQ(flags.isRemovableDevice(major, minor), removable) << major << ":" << minor;
}

TEST(LinuxVolumeFlags, AWritableFolderIsNotReadOnlyAndAMissingOneCannotBeExamined) {
    TempDir dir;
    LinuxVolumeFlags flags;
    const auto values = flags.volumeResourceValues(dir.path());
    ASSERT_TRUE(values);
    EXPECT_EQ(values->isReadOnly, false);
    EXPECT_EQ(flags.volumeResourceValues(dir / "missing"), std::nullopt);
}

} // namespace
} // namespace quillfen::platform::linux
