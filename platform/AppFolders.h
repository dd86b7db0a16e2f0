#pragma once
// Every folder the app keeps files of its own in, worked out in one place
// from the user's folders and the app's bundle identifier:
//   state      applicationSupport/"Larkvale", or "Larkvale Debug" beside it
//              for an identifier ending in ".debug" (such a build keeps a
//              state of its own)
//   caches     caches/<bundle identifier>
//   http       caches/<bundle identifier>/"http"      (saved HTTP answers)
//   terminal   caches/<bundle identifier>/"terminal"  (upgrade scripts)
//   catalogue  caches/<bundle identifier>/"MoreApps"  (the catalogue's cache,
//              where the catalogue's own default puts it)
//
// A plain value that only joins paths: it makes and reads nothing. The
// library never finds the user's folders by itself; the app's entry builds
// one AppFolders from UserFolders::current() and hands folders in, tests
// build theirs under a temporary folder.
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/UserFolders.h"

namespace larkvale {

struct AppFolders {
  static constexpr std::string_view kDefaultBundleID = "com.tarn4820.Larkvale";

  std::filesystem::path state;
  std::filesystem::path caches;
  std::filesystem::path http;
  std::filesystem::path terminal;
  std::filesystem::path catalogue;

  // An identifier that is empty or could not stand as one folder name (it
  // holds a "/" or a NUL, or is "." or "..") counts as the default one.
  explicit AppFolders(const UserFolders& folders, std::string_view bundleID = kDefaultBundleID);

  friend bool operator==(const AppFolders&, const AppFolders&) = default;
};

}  // namespace larkvale
