#pragma once
// Finds an app's settings below the user's home folder and builds its
// inventory row. Read-only: it lists folders and tests whether paths exist,
// never opens a file and never reads a licence key or the Keychain.
//
// Paths are kept in tilde form ("~/Library/...") and expanded only where the
// file system is touched. Expansion is a lexical join under `home`: a tilde
// path whose rest is absolute or holds a "..", "." or empty piece never
// reaches the file system (it does not exist and lists nothing).
//
// A locator lists "Library/Application Support" once when it is made and is
// immutable afterwards, so one locator may be shared by several threads.
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "kit/model/AppUpdate.h"
#include "kit/model/InstalledApp.h"
#include "kit/movingday/CopyRules.h"
#include "kit/movingday/InventoryEntry.h"

namespace larkvale {

// The folder-matching key of a name: lowercased, only its letters and numbers
// (with the marks that belong to them), in NFC. Invalid UTF-8 is dropped.
std::string normalisedKey(std::string_view text);

class SettingsLocator {
 public:
  explicit SettingsLocator(std::filesystem::path home);

  const std::filesystem::path& home() const { return home_; }
  // The names in "Library/Application Support" not beginning with ".", in
  // the order the file system lists them; empty when it can't be listed.
  const std::vector<std::string>& supportNames() const { return supportNames_; }

  // The words a bundle identifier's last piece may not be to serve as a key.
  static const std::unordered_set<std::string>& stopWords();

  // "~/rest" becomes home joined with rest; any other path is unchanged.
  std::string expand(std::string_view path) const;
  // Whether the expanded path names an existing file or folder.
  bool exists(std::string_view path) const;

  // The Application Support entries that belong to the app, in tilde form,
  // sorted by code point.
  std::vector<std::string> supportCandidates(const InstalledApp& app) const;

  // Licence-looking files directly inside the given folders (absolute paths),
  // folder by folder, by name within a folder; at most six.
  std::vector<std::string> licenceLookingFiles(const std::vector<std::string>& paths) const;

  // The app's inventory row. `sandboxed` is what the app's code signature
  // says, nothing when it can't be read (an App Store app then counts as
  // sandboxed). Never fails: what can't be found is left out.
  InventoryEntry inventoryEntry(const AppUpdate& update, std::optional<bool> sandboxed) const;

  // The inventory of the apps: each update's row, with the sandbox flag its
  // bundle's code signature gives, sorted by app name (localized,
  // case-insensitive, stable). Throws Cancelled once `stop` is requested
  // (tested before every app).
  std::vector<InventoryEntry> inventory(const std::vector<AppUpdate>& updates,
                                        std::stop_token stop = {}) const;

 private:
  // The file-system path of a tilde or absolute path; nothing when a tilde
  // path can't be joined inside home.
  std::optional<std::filesystem::path> resolve(std::string_view path) const;

  std::filesystem::path home_;
  std::vector<std::string> supportNames_;
  std::vector<std::string> supportKeys_;  // normalisedKey of each support name
};

}  // namespace larkvale
