#pragma once
// Whether a folder lies on one of this computer's internal disks, read from
// sysfs: the folder's device number leads to /sys/dev/block/MAJOR:MINOR, a
// partition to its disk, and the disk's "removable" flag and bus say the
// rest.
//
// Internal: the folder is on the same device as the home folder, or on a
// block device whose disk is not removable and not attached over USB (a
// device-mapper volume, such as an encrypted one, is internal when every
// device under it is). External: a removable disk, or one on USB. Unknown
// (nothing): a folder that can't be read, or a file system without a block
// device behind it (network shares, FUSE mounts such as cloud folders).
//
// Threads: any. Blocks only on local reads.
#include <filesystem>
#include <optional>

#include "app/model/AppServices.h"

namespace larkvale {

class SysfsVolumeProbe final : public VolumeProbe {
 public:
  // `home` empty: no folder counts as internal for sharing its device.
  explicit SysfsVolumeProbe(std::filesystem::path home, std::filesystem::path sysfsRoot = "/sys");

  std::optional<bool> isInternal(const std::filesystem::path& folder) override;

 private:
  std::optional<bool> deviceIsInternal(const std::filesystem::path& device, int depth);

  std::filesystem::path home_;
  std::filesystem::path sysfs_;
};

}  // namespace larkvale
