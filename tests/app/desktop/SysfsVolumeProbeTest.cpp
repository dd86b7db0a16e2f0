#include "app/desktop/SysfsVolumeProbe.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>

#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;

// A sysfs tree in which the device of the test's own folder is a partition
// (or device-mapper volume) of a disk laid out as each case needs.
class FakeSysfs {
 public:
  explicit FakeSysfs(const test::TempDir& temp) : temp_(temp), root_(temp / "sys") {
    struct stat st {};
    EXPECT_EQ(::stat(temp.path().c_str(), &st), 0);
    number_ = std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev));
    fs::create_directories(root_ / "dev/block");
  }
  const fs::path& root() const { return root_; }

  // A disk at `devicePath` (below devices/) with its removable flag; answers
  // the disk's folder.
  fs::path disk(const std::string& devicePath, const std::string& removable) const {
    fs::path folder = root_ / "devices" / devicePath;
    fs::create_directories(folder);
    write(folder / "removable", removable + "\n");
    return folder;
  }
  fs::path partition(const fs::path& disk, const std::string& name) const {
    fs::create_directories(disk / name);
    write(disk / name / "partition", "1\n");
    return disk / name;
  }
  // Makes `device` the one that holds the test's folder.
  void holdsTheFolder(const fs::path& device) const {
    ASSERT_TRUE(temp_.remove(root_ / "dev/block" / number_));
    fs::create_directory_symlink(fs::relative(device, root_ / "dev/block"),
                                 root_ / "dev/block" / number_);
  }
  static void write(const fs::path& file, const std::string& text) {
    std::FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs(text.c_str(), f);
    std::fclose(f);
  }

 private:
  const test::TempDir& temp_;
  fs::path root_;
  std::string number_;
};

TEST(SysfsVolumeProbeTest, ReadsTheDiskBehindTheFolder) {
  test::TempDir temp;
  FakeSysfs sys(temp);
  SysfsVolumeProbe probe({}, sys.root());
  const fs::path folder = temp.mkdir("Destination");
  EXPECT_EQ(probe.isInternal(folder), std::nullopt);  // no device known

  const fs::path sata = sys.disk("pci0000:00/0000:00:17.0/ata1/host0/block/sda", "0");
  sys.holdsTheFolder(sys.partition(sata, "sda2"));
  EXPECT_EQ(probe.isInternal(folder), true);

  sys.holdsTheFolder(sys.disk("pci0000:00/0000:00:1d.0/nvme/nvme0/nvme0n1", "0"));
  EXPECT_EQ(probe.isInternal(folder), true);  // a whole disk, no partition

  const fs::path card = sys.disk("platform/mmc0/mmc0:0001/block/mmcblk0", "1");
  sys.holdsTheFolder(sys.partition(card, "mmcblk0p1"));
  EXPECT_EQ(probe.isInternal(folder), false);

  // USB disks often say they are not removable; the bus says otherwise.
  const fs::path stick = sys.disk("pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host4/block/sdb", "0");
  sys.holdsTheFolder(sys.partition(stick, "sdb1"));
  EXPECT_EQ(probe.isInternal(folder), false);

  // An encrypted volume is as internal as the disks under it.
  const fs::path mapped = sys.disk("virtual/block/dm-0", "0");
  fs::create_directories(mapped / "slaves");
  fs::create_directory_symlink(sata / "sda2", mapped / "slaves/sda2");
  sys.holdsTheFolder(mapped);
  EXPECT_EQ(probe.isInternal(folder), true);
  fs::create_directory_symlink(stick / "sdb1", mapped / "slaves/sdb1");
  EXPECT_EQ(probe.isInternal(folder), false);

  const fs::path odd = sys.disk("pci0000:00/ata2/block/sdc", "maybe");
  sys.holdsTheFolder(odd);
  EXPECT_EQ(probe.isInternal(folder), std::nullopt);
}

TEST(SysfsVolumeProbeTest, TheHomeFolderDeviceIsInternalAndMissingFoldersUnknown) {
  test::TempDir temp;
  SysfsVolumeProbe probe(temp.mkdir("home"), temp / "no-sysfs");
  EXPECT_EQ(probe.isInternal(temp.mkdir("elsewhere")), true);
  EXPECT_EQ(probe.isInternal(temp / "missing"), std::nullopt);
  EXPECT_EQ(SysfsVolumeProbe("/proc", temp / "no-sysfs").isInternal(temp.path()), std::nullopt);
}

}  // namespace
}  // namespace larkvale
