#pragma once
// Copies one picked settings item, and everything below it when it is a
// folder, into the "Settings" tree of a Moving Day folder. Internal to
// SettingsCopier::copy.
//
// The walk is its own: links are copied as links and never followed, each
// item's place in the copy comes lexically from the walk, and every problem
// with one item becomes a left-out item. Writes go only through handles of
// the Moving Day folder (see CarryFiles.h).
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "kit/movingday/MovingManifest.h"
#include "kit/movingday/SettingsCopier.h"

struct stat;

namespace larkvale {

// Folders nested deeper below a pick are left out (copy) or not counted
// (measure) rather than risking the descriptor limit: each level holds three
// descriptors while it is walked.
inline constexpr int kMaxCopyDepth = 200;

// The kind of an item from its own status (nullptr when it could not be read)
// and its name; the rule of SettingsCopier::classifyItem.
CopyItemKind classifyStatus(const struct stat* status, std::string_view name, bool picked);

class TreeCopier {
 public:
  struct Counts {
    int64_t bytes = 0;
    int64_t files = 0;
    bool isFolder = false;
  };

  // root: an open handle of the Moving Day folder; leftOut collects the
  // items that were not copied. Both must outlive the copier.
  TreeCopier(int root, std::vector<MovingManifest::LeftOut>& leftOut)
      : root_(root), leftOut_(leftOut) {}

  // Copies the item at source to "Settings/" + rel in the Moving Day folder;
  // left-out items are named "~/" + rel + the path below the item.
  Counts copyPick(const std::filesystem::path& source, const std::string& rel);

  // Whether anything is at "Settings/" + rel (a final link followed),
  // reached without passing through a link inside the Moving Day folder.
  bool existsInCopy(const std::string& rel) const;

 private:
  void walk(int srcDir, int dstDir, const std::string& display, Counts& counts, int depth);
  void copyEntry(int srcDir, int dstDir, const std::string& name, const std::string& display,
                 Counts& counts, int depth);
  void leaveOut(std::string display, std::string reason);

  int root_;
  std::vector<MovingManifest::LeftOut>& leftOut_;
};

}  // namespace larkvale
