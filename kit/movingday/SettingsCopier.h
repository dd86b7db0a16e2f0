#pragma once
// Copy Settings: offers the settings items of the inventory that lie in
// ~/Library/Preferences or ~/Library/Application Support, measures them, and
// copies the chosen ones into a new Moving Day folder inside a destination
// the user picked, with manifest.json and README.txt.
//
// The copy never overwrites or deletes anything and never writes outside the
// new Moving Day folder: the folder is claimed with one mkdir (a taken name
// moves on to " 2", " 3" …), every write below it goes through folder
// handles that refuse symbolic links, and files are created exclusively.
// A problem with one item is a left-out item with its reason, never an error.
// What is copied, left out and counted follows CopyRules.h.
//
// A plain value; every function is synchronous and may run on any thread.
// Measuring and copying take a stop token, tested before every item they
// walk (and while a large file is copied): once a stop is requested they
// throw Cancelled and answer nothing.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "kit/model/WorkProgress.h"
#include "kit/movingday/CopyRules.h"
#include "kit/movingday/MovingManifest.h"
#include "kit/movingday/SettingsPick.h"
#include "platform/Dates.h"

namespace larkvale {

struct InventoryEntry;

class SettingsCopier {
 public:
  struct Result {
    std::filesystem::path folder;  // the new Moving Day folder
    MovingManifest manifest;       // exactly as written into it
  };

  struct Size {
    int64_t bytes = 0;
    int64_t files = 0;
    friend bool operator==(const Size&, const Size&) = default;
  };

  // Called on the copying thread with (done, total).
  using Progress = ProgressCallback;

  explicit SettingsCopier(std::filesystem::path home) : home_(std::move(home)) {}
  const std::filesystem::path& home() const { return home_; }

  // One pick per allowed settings path of the entries, apps sorted by name
  // (localized, case-insensitive, stable); a path shared by two apps is
  // offered once, under the app that sorts first.
  static std::vector<SettingsPick> settingsPicks(const std::vector<InventoryEntry>& entries);

  // Whether a tilde path lies strictly below one of the two allowed folders
  // with only plain pieces (no empty, "." or ".." piece).
  static bool isAllowedPath(std::string_view tildePath);

  static bool looksLikeLicence(std::string_view name);

  // How the copy treats the item (links not followed). picked tells whether
  // the item is the picked item itself, which is never a cache.
  static CopyItemKind classifyItem(const std::filesystem::path& item, bool picked);

  // home with the tilde path less its first two characters appended
  // lexically (a leading "/" in the rest does not replace home).
  std::filesystem::path locate(std::string_view tildePath) const;

  // What copy would count for the item: bytes and number of regular files.
  // Paths that fail isAllowedPath, missing and unreadable items give 0 and 0;
  // throws only Cancelled.
  Size measureSetting(std::string_view tildePath, std::stop_token stop = {}) const;

  // Makes a new Moving Day folder in destination, copies the picks into its
  // "Settings" folder, and writes manifest.json and README.txt beside it.
  // Throws CarryError::noDestination when destination is not an existing
  // folder, when no folder can be made in it, or when the manifest or README
  // can't be written; what was copied by then stays on disk. Throws
  // Cancelled once a stop is requested: the file being copied is removed,
  // the files copied before it stay, and neither manifest.json nor README.txt
  // is written.
  Result copy(const std::vector<SettingsPick>& picks, const std::vector<MovingManifest::App>& apps,
              const std::filesystem::path& destination, std::string_view macName,
              std::string_view systemVersion, Date date, const Progress& progress = {},
              std::stop_token stop = {}) const;

  // The text of README.txt for a manifest.
  static std::string readmeText(const MovingManifest& manifest);

  // "Larkvale Moving Day " + macName ("/" and ":" as "-") + " " + yyyy-MM-dd
  // in the local time zone.
  static std::string folderName(std::string_view macName, Date date);

 private:
  std::filesystem::path home_;
};

}  // namespace larkvale
