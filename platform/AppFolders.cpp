#include "platform/AppFolders.h"

namespace larkvale {
namespace {

bool isFolderName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

}  // namespace

AppFolders::AppFolders(const UserFolders& folders, std::string_view bundleID) {
  if (!isFolderName(bundleID)) bundleID = kDefaultBundleID;
  state =
      folders.applicationSupport / (bundleID.ends_with(".debug") ? "Larkvale Debug" : "Larkvale");
  caches = folders.caches / bundleID;
  http = caches / "http";
  terminal = caches / "terminal";
  catalogue = caches / "MoreApps";
}

}  // namespace larkvale
