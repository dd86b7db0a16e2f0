#pragma once
// The record that Copy Settings leaves in every Moving Day folder as
// "manifest.json", and its one writer and one reader.
//
// A manifest read from disk is outside data: it may be hand-edited or
// hostile. The texts shown on one line (the Mac's name, its system version,
// app names and versions, how to install an app) are read through
// TextTrim::oneLine. A cask token, repository or host that fails its rule
// (Homebrew::isCaskToken, GitHubReleases::isRepoName, WebURL::isHostName)
// is read as absent. Its paths are kept exactly as written, so that they
// still name their files; they are only ever turned into file-system
// locations through Setting::copyIn and Setting::placeIn, which refuse
// anything that would lead outside the Moving Day folder or the home folder.
//
// Plain values; every function may be called from any thread.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Dates.h"

namespace larkvale {

struct InventoryEntry;

struct MovingManifest {
  static constexpr std::string_view fileName = "manifest.json";
  static constexpr int64_t currentSchema = 1;

  // One app of the old Mac. Identified by bundleID in lists.
  struct App {
    std::string name;
    std::string bundleID;
    std::string version;
    std::string source;  // "sparkle", "homebrew", "github", "appstore", "apple", "unknown"
    std::optional<std::string> caskToken;
    std::optional<int64_t> storeTrackID;
    std::optional<std::string> githubRepo;  // "owner/name", only for GitHub apps
    std::string installHow;
    std::optional<std::string> downloadHint;

    const std::string& id() const { return bundleID; }
    // "macappstore://apps.apple.com/app/id<n>", or nothing without an identifier.
    std::optional<std::string> appStoreURL() const;

    friend bool operator==(const App&, const App&) = default;
  };

  // One copied settings item. Identified by tildePath in lists.
  struct Setting {
    std::string tildePath;  // "~/" first
    std::string appName;
    std::string bundleID;
    bool isFolder = false;
    int64_t bytes = 0;
    int64_t files = 0;
    std::string stored;  // "Settings/" + tildePath less "~/", relative to the folder

    const std::string& id() const { return tildePath; }

    // Where the copy lies inside the Moving Day folder: nothing when stored
    // is not a plain relative path below "Settings/" (absolute, empty, ".",
    // ".." or NUL pieces), so the result never lies outside folder.
    std::optional<std::filesystem::path> copyIn(const std::filesystem::path& folder) const;
    // Where the item belongs below home, by the same rule for tildePath less
    // "~/"; nothing when tildePath does not begin with "~/" or is not plain.
    std::optional<std::filesystem::path> placeIn(const std::filesystem::path& home) const;

    friend bool operator==(const Setting&, const Setting&) = default;
  };

  // One item that was not copied, with its reason.
  struct LeftOut {
    std::string path;  // display path, "~/" first
    std::string reason;

    friend bool operator==(const LeftOut&, const LeftOut&) = default;
  };

  struct Read;

  int64_t schema = currentSchema;
  Date created{};
  std::string macName;
  std::string systemVersion;  // major.minor.patch
  std::vector<App> apps;      // sorted by name
  std::vector<Setting> settings;
  std::vector<LeftOut> leftOut;

  friend bool operator==(const MovingManifest&, const MovingManifest&) = default;

  // The inventory's apps, less those that come with the system, sorted by
  // name (localized, case-insensitive, stable). Never fails.
  static std::vector<App> manifestApps(const std::vector<InventoryEntry>& entries);

  // The bytes of manifest.json: pretty-printed UTF-8 JSON with sorted keys,
  // dates in whole seconds UTC, "/" written as "\/". Text that is not valid
  // UTF-8 is written with U+FFFD in place of the bad bytes. Never throws.
  static std::string writeManifest(const MovingManifest& manifest);

  // Reads the manifest of a Moving Day folder, or a manifest file itself.
  // Throws FileError when the file can't be read, JsonDecodingError when it
  // does not follow the format (dates may carry a fraction of a second or an
  // offset; a missing key fails whatever the schema), and
  // CarryError::newerManifest for a schema of 2 or more in a file that
  // decodes.
  static Read readManifest(const std::filesystem::path& location);

  // Decodes the bytes of a manifest file, with readManifest's errors.
  static MovingManifest decode(std::string_view bytes);
};

// What readManifest answers: the manifest and the folder holding the file.
struct MovingManifest::Read {
  MovingManifest manifest;
  std::filesystem::path folder;
};

}  // namespace larkvale
