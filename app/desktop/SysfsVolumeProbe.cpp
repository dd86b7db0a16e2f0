#include "app/desktop/SysfsVolumeProbe.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <string>

#include "platform/FileSystem.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;

// Device-mapper stacks are shallow; the cap only guards against a loop.
constexpr int kMaxDepth = 8;

std::optional<dev_t> deviceOf(const fs::path& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
  return st.st_dev;
}

std::optional<std::string> readFlag(const fs::path& file) {
  auto text = FileSystem::readFile(file, 64);
  if (!text) return std::nullopt;
  while (!text->empty() && (text->back() == '\n' || text->back() == ' ')) text->pop_back();
  return text;
}

bool onUsb(const fs::path& device) {
  for (const fs::path& piece : device) {
    if (piece.string().starts_with("usb")) return true;
  }
  return false;
}

}  // namespace

SysfsVolumeProbe::SysfsVolumeProbe(fs::path home, fs::path sysfsRoot)
    : home_(std::move(home)), sysfs_(std::move(sysfsRoot)) {}

std::optional<bool> SysfsVolumeProbe::isInternal(const fs::path& folder) {
  auto device = deviceOf(folder);
  if (!device) return std::nullopt;
  if (auto home = deviceOf(home_); home && *home == *device) return true;
  const std::string number = std::to_string(major(*device)) + ":" + std::to_string(minor(*device));
  std::error_code ec;
  fs::path node = fs::canonical(sysfs_ / "dev" / "block" / number, ec);
  if (ec) return std::nullopt;
  return deviceIsInternal(node, 0);
}

std::optional<bool> SysfsVolumeProbe::deviceIsInternal(const fs::path& device, int depth) {
  if (depth > kMaxDepth) return std::nullopt;
  std::error_code ec;
  // A partition's flags live on its disk, the folder above it.
  fs::path disk = fs::exists(device / "partition", ec) ? device.parent_path() : device;

  auto under = FileSystem::listNames(disk / "slaves");
  if (under && !under->empty()) {
    for (const std::string& name : *under) {
      fs::path lower = fs::canonical(disk / "slaves" / name, ec);
      if (ec) return std::nullopt;
      auto internal = deviceIsInternal(lower, depth + 1);
      if (internal != true) return internal;
    }
    return true;
  }
  auto removable = readFlag(disk / "removable");
  if (!removable || (*removable != "0" && *removable != "1")) return std::nullopt;
  // Only the path below the sysfs root tells the bus.
  fs::path root = fs::canonical(sysfs_, ec);
  return *removable == "0" && !onUsb(ec ? disk : disk.lexically_relative(root));
}

}  // namespace larkvale
