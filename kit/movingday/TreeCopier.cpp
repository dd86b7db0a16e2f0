#include "kit/movingday/TreeCopier.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "kit/movingday/CarryFiles.h"
#include "kit/movingday/SettingsWalk.h"

namespace larkvale {
namespace {

template <typename T>
const std::string* failure(const CarryFiles::Outcome<T>& outcome) {
  return std::get_if<std::string>(&outcome);
}

// What the walk of one pick does with each item. The copy's folders stand
// on a stack beside the walk's: the top is where the current items go.
class PickCopy final : public WalkVisitor {
 public:
  PickCopy(int root, const std::string& rel, std::vector<MovingManifest::LeftOut>& leftOut,
           const std::stop_token& stop, TreeCopier::Counts& counts)
      : root_(root), rel_(rel), leftOut_(leftOut), stop_(stop), counts_(counts) {}

  bool visit(const WalkItem& item) override {
    if (!item.status) {
      unreadable(item);
      return false;
    }
    switch (item.kind) {
      case CopyItemKind::file:
      case CopyItemKind::link:
      case CopyItemKind::folder:
        break;
      default:
        leaveOut(item, std::string(CopyRules::reasonFor(item.kind)));
        return false;
    }
    if (item.depth == 0) {
      counts_.isFolder = item.kind == CopyItemKind::folder;
      if (!openPickParent(item)) return false;
    }
    const int into = folders_.back().get();
    if (item.kind == CopyItemKind::file) {
      auto copied = CarryFiles::copyFile(item.parent, item.name, into, stop_);
      if (auto* error = failure(copied)) {
        leaveOut(item, LeftOutReason::copyFailed(*error));
      } else {
        counts_.bytes += std::get<int64_t>(copied);
        counts_.files += 1;
      }
      return false;
    }
    if (item.kind == CopyItemKind::link) {
      auto linked = CarryFiles::copyLink(item.parent, item.name, into);
      if (auto* error = failure(linked)) leaveOut(item, LeftOutReason::copyFailed(*error));
      return false;
    }
    if (item.tooDeep) {
      leaveOut(item, LeftOutReason::folderFailed(CarryFiles::describe(ENAMETOOLONG)));
      return false;
    }
    auto made = CarryFiles::makeFolderIn(into, item.name);
    if (auto* error = failure(made)) {
      leaveOut(item, LeftOutReason::folderFailed(*error));
      return false;
    }
    folders_.push_back(std::move(std::get<FileDescriptor>(made)));
    return true;
  }

  void leave(const WalkItem& folder, int error) override {
    if (error != 0) leaveOut(folder, LeftOutReason::copyFailed(CarryFiles::describe(error)));
    // After the walk, so that making its entries does not change the times.
    CarryFiles::keepFolderAttributes(folders_.back().get(), *folder.status);
    folders_.pop_back();
  }

 private:
  void unreadable(const WalkItem& item) {
    if (item.depth == 0) {
      if (item.statusError == ENOENT)
        leaveOut(item, std::string(LeftOutReason::vanished));
      else
        leaveOut(item, std::string(CopyRules::reasonFor(item.kind)));
    } else if (item.statusError != ENOENT) {
      // Gone since it was listed, a walked item simply has nothing to carry.
      leaveOut(item, LeftOutReason::copyFailed(CarryFiles::describe(item.statusError)));
    }
  }

  // The folder that receives the picked item, made with its parents.
  bool openPickParent(const WalkItem& item) {
    const std::string stored = "Settings/" + rel_;
    auto parent = CarryFiles::openFolderBelow(root_, stored.substr(0, stored.rfind('/')), true);
    if (auto* error = failure(parent)) {
      leaveOut(item, item.kind == CopyItemKind::folder ? LeftOutReason::folderFailed(*error)
                                                       : LeftOutReason::copyFailed(*error));
      return false;
    }
    folders_.push_back(std::move(std::get<FileDescriptor>(parent)));
    return true;
  }

  void leaveOut(const WalkItem& item, std::string reason) {
    leftOut_.push_back({"~/" + rel_ + item.below, std::move(reason)});
  }

  int root_;
  const std::string& rel_;
  std::vector<MovingManifest::LeftOut>& leftOut_;
  const std::stop_token& stop_;
  TreeCopier::Counts& counts_;
  std::vector<FileDescriptor> folders_;
};

}  // namespace

TreeCopier::Counts TreeCopier::copyPick(const std::filesystem::path& source,
                                        const std::string& rel) {
  Counts counts;
  // The source's own parent, links followed: the user's home may well reach
  // Application Support through a link, and that is theirs to have.
  FileDescriptor srcParent{
      ::open(source.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (!srcParent) {
    const int error = errno;
    leftOut_.push_back({"~/" + rel, error == ENOENT
                                        ? std::string(LeftOutReason::vanished)
                                        : LeftOutReason::copyFailed(CarryFiles::describe(error))});
    return counts;
  }
  PickCopy copy(root_, rel, leftOut_, stop_, counts);
  walkSettingsItem(srcParent.get(), source.filename().string(), copy, stop_);
  return counts;
}

bool TreeCopier::existsInCopy(const std::string& rel) const {
  const std::string stored = "Settings/" + rel;
  const size_t slash = stored.rfind('/');
  auto parent = CarryFiles::openFolderBelow(root_, stored.substr(0, slash), false);
  if (failure(parent)) return false;
  struct stat st {};
  return ::fstatat(std::get<FileDescriptor>(parent).get(), stored.c_str() + slash + 1, &st, 0) == 0;
}

}  // namespace larkvale
