#pragma once
// Copies one picked settings item, and everything below it when it is a
// folder, into the "Settings" tree of a Moving Day folder. Internal to
// SettingsCopier::copy.
//
// The walk is SettingsWalk's: links are copied as links and never followed,
// each item's place in the copy comes lexically from the walk, and every
// problem with one item becomes a left-out item. Writes go only through
// handles of the Moving Day folder (see CarryFiles.h).
#include <cstdint>
#include <filesystem>
#include <stop_token>
#include <string>
#include <vector>

#include "kit/movingday/MovingManifest.h"

namespace larkvale {

class TreeCopier {
 public:
  struct Counts {
    int64_t bytes = 0;
    int64_t files = 0;
    bool isFolder = false;
  };

  // root: an open handle of the Moving Day folder; leftOut collects the
  // items that were not copied. Both, and stop, must outlive the copier.
  TreeCopier(int root, std::vector<MovingManifest::LeftOut>& leftOut, const std::stop_token& stop)
      : root_(root), leftOut_(leftOut), stop_(stop) {}

  // Copies the item at source to "Settings/" + rel in the Moving Day folder;
  // left-out items are named "~/" + rel + the path below the item. Throws
  // Cancelled once a stop is requested; the file being copied then is
  // removed, what was copied before it stays.
  Counts copyPick(const std::filesystem::path& source, const std::string& rel);

  // Whether anything is at "Settings/" + rel (a final link followed),
  // reached without passing through a link inside the Moving Day folder.
  bool existsInCopy(const std::string& rel) const;

 private:
  int root_;
  std::vector<MovingManifest::LeftOut>& leftOut_;
  const std::stop_token& stop_;
};

}  // namespace larkvale
