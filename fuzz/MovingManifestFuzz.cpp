// Reads arbitrary bytes as a Moving Day manifest and compares what is
// accepted with a fixed Mac. Nothing may crash, and no path of the diff may
// lie outside the folder or the home folder. An accepted manifest must also
// survive being written and read again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "kit/movingday/MovingManifest.h"
#include "kit/movingday/NewMacDiff.h"

namespace {

namespace fs = std::filesystem;
using namespace larkvale;

const fs::path kFolder = "/nonexistent-fuzz/Moving Day";
const fs::path kHome = "/nonexistent-fuzz/home";

void require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "violated: %s\n", what);
  std::abort();
}

bool inside(const std::optional<fs::path>& path, const fs::path& base) {
  if (!path) return true;
  fs::path normal = path->lexically_normal();
  auto rel = normal.lexically_relative(base);
  return !rel.empty() && *rel.begin() != ".." && rel.native().find('\0') == std::string::npos;
}

const std::vector<InstalledApp>& apps() {
  static const std::vector<InstalledApp> installed = [] {
    std::vector<InstalledApp> list(3);
    list[0].bundleID = "com.example.a";
    list[0].version = "1.0";
    list[1].bundleID = "COM.EXAMPLE.B";
    list[1].version = "2.0b1";
    list[2].bundleID = "com.example.b";
    list[2].version = "latest";
    return list;
  }();
  return installed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  MovingManifest manifest;
  try {
    manifest = MovingManifest::decode(bytes);
  } catch (const Error&) {
    return 0;
  }
  require(manifest.schema <= MovingManifest::currentSchema, "newer schema accepted");

  NewMacDiff diff(manifest, kFolder, apps(), kHome);
  for (const auto* lines : {&diff.missingSettings, &diff.presentSettings}) {
    for (const auto& line : *lines) {
      require(inside(line.copy, kFolder), "copy outside the folder");
      require(inside(line.setting.placeIn(kHome), kHome), "place outside home");
      require(!line.copyExists || line.copy, "copy exists without a path");
    }
  }
  require(diff.missingApps.size() + diff.olderApps.size() + diff.presentApps.size() ==
              manifest.apps.size(),
          "apps lost");
  (void)diff.isComplete();
  (void)diff.brewInstallCommand();

  MovingManifest again = MovingManifest::decode(MovingManifest::writeManifest(manifest));
  manifest.created = std::chrono::floor<std::chrono::seconds>(manifest.created);
  require(again == manifest, "round trip changed the manifest");
  return 0;
}
