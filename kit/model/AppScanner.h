#pragma once
// Finds the application bundles in the application folders and reads each
// into an InstalledApp.
//
// Everything here is read-only towards the apps. A scan blocks on the file
// system (and the metadata store), so callers run it off the UI thread; any
// number of scans may run at once. Nothing here throws: what can't be read is
// left out or falls back to a fixed default.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "kit/model/InstalledApp.h"
#include "platform/PropertyList.h"
#include "platform/Spotlight.h"

namespace larkvale {

struct AppScanner {
  // The folders to scan, in order.
  std::vector<std::filesystem::path> roots;
  // The running program's own bundle, to tell which copy of it to keep.
  std::optional<std::string> runningPath;
  // Where App Store identifiers are looked up. Shared, never null.
  std::shared_ptr<const Spotlight> spotlight = Spotlight::system();

  // "/Applications" and the folder "Applications" in the home folder.
  static std::vector<std::filesystem::path> defaultRoots(const std::filesystem::path& home);

  // The bundles under roots and their direct subfolders, each read once
  // (a bundle reached again through a link or an overlapping root is
  // skipped), with one copy of the program, sorted by name (localized,
  // case-insensitive, stable). Bundles whose path is not valid UTF-8 are left
  // out. Reads bundles on up to four threads of its own, joined before it
  // returns; the metadata store must allow calls from several threads.
  // Throws Cancelled once `stop` is requested (tested before every listed
  // entry and every bundle read); it then answers nothing.
  std::vector<InstalledApp> scan(std::stop_token stop = {}) const;

  // The "*.app" entries of a folder and, while depth is at least 1, of its
  // subfolders, hidden entries skipped, in path order. Empty when the folder
  // can't be listed.
  static std::vector<std::filesystem::path> listApps(const std::filesystem::path& folder,
                                                     int depth);

  // One bundle as a record, or nothing when it has no readable property list
  // with a non-empty "CFBundleIdentifier" text, or its path is not UTF-8.
  std::optional<InstalledApp> readApp(const std::filesystem::path& bundle) const;

  // The facts a record takes from the property list alone: identifier, name,
  // versions and feed. fileName is the bundle's own name ("Name.app"), for the
  // name's fallback. Nothing without a usable identifier. The other fields
  // keep their defaults.
  static std::optional<InstalledApp> factsFromInfo(const PlistDict& info,
                                                   std::string_view fileName);

  // The text naming the app's built-in updater, or nothing.
  static std::optional<std::string> detectSelfUpdater(const std::filesystem::path& bundle,
                                                      const PlistDict& info);

  // The App Store identifier the metadata store holds for the bundle.
  std::optional<int64_t> appStoreID(const std::filesystem::path& bundle) const;

  // An identifier from a metadata value: a number's integer value, or a text
  // that is exactly a base-10 signed integer ("+"/"-" optional).
  static std::optional<int64_t> storeIDFromMetadata(const MetadataValue& value);

  // The text without invisible characters, made one line
  // (TextTrim::oneLine): the direction marks, overrides and zero-width
  // characters among them.
  static std::string cleanDisplayName(std::string_view text);

  // Whether the app at path runs in the App Sandbox, from the entitlements
  // of its code signature. Nothing when the signature can't be examined;
  // false without entitlements or without a true "app-sandbox" entitlement.
  static std::optional<bool> isSandboxed(const std::filesystem::path& path);

 private:
  // Bundles are read by this many threads at most, all joined before scan()
  // returns.
  static constexpr size_t kReadWorkers = 4;

  // readApp of every bundle, records in the order given.
  std::vector<InstalledApp> readAll(const std::vector<std::filesystem::path>& bundles,
                                    const std::stop_token& stop) const;
};

}  // namespace larkvale
