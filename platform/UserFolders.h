#pragma once
// The user's folders, following the XDG base-directory conventions:
//   home                $HOME (else the password database, else "/"; always absolute)
//   applicationSupport  $XDG_DATA_HOME, else ~/.local/share
//   caches              $XDG_CACHE_HOME, else ~/.cache
// A plain value, so tests hand in folders of their own.
#include <filesystem>

namespace larkvale {

struct UserFolders {
  std::filesystem::path home;
  std::filesystem::path applicationSupport;
  std::filesystem::path caches;

  // The current user's folders, read from the environment. Relative XDG
  // values are ignored, as the conventions say.
  static UserFolders current();

  // Folders laid out under one home folder, as a new account would have them.
  static UserFolders underHome(const std::filesystem::path& home);

  friend bool operator==(const UserFolders&, const UserFolders&) = default;
};

}  // namespace larkvale
