#include "kit/movingday/TreeCopier.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "kit/movingday/CarryFiles.h"

namespace larkvale {
namespace {

using CarryFiles::Fd;

std::string_view reasonFor(CopyItemKind kind) {
  switch (kind) {
    case CopyItemKind::cache:
      return LeftOutReason::cache;
    case CopyItemKind::licenceFile:
      return LeftOutReason::licenceFile;
    default:
      return LeftOutReason::notRegular;
  }
}

template <typename T>
const std::string* failure(const CarryFiles::Outcome<T>& outcome) {
  return std::get_if<std::string>(&outcome);
}

}  // namespace

void TreeCopier::leaveOut(std::string display, std::string reason) {
  leftOut_.push_back({std::move(display), std::move(reason)});
}

TreeCopier::Counts TreeCopier::copyPick(const std::filesystem::path& source,
                                        const std::string& rel) {
  Counts counts;
  const std::string display = "~/" + rel;
  struct stat st {};
  bool known = ::lstat(source.c_str(), &st) == 0;
  if (!known && errno == ENOENT) {
    leaveOut(display, std::string(LeftOutReason::vanished));
    return counts;
  }
  CopyItemKind kind = classifyStatus(known ? &st : nullptr, source.filename().string(), true);
  if (kind == CopyItemKind::notRegular || kind == CopyItemKind::licenceFile) {
    leaveOut(display, std::string(reasonFor(kind)));
    return counts;
  }
  counts.isFolder = kind == CopyItemKind::folder;
  const std::string stored = "Settings/" + rel;
  const size_t slash = stored.rfind('/');
  auto parent = CarryFiles::openFolderBelow(root_, stored.substr(0, slash), true);
  if (auto* error = failure(parent)) {
    leaveOut(display, counts.isFolder ? LeftOutReason::folderFailed(*error)
                                      : LeftOutReason::copyFailed(*error));
    return counts;
  }
  // The source's own parent, links followed: the user's home may well reach
  // Application Support through a link, and that is theirs to have.
  Fd srcParent{::open(source.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (!srcParent) {
    leaveOut(display, LeftOutReason::copyFailed(CarryFiles::describe(errno)));
    return counts;
  }
  copyEntry(srcParent.get(), std::get<Fd>(parent).get(), stored.substr(slash + 1), display, counts,
            0);
  return counts;
}

void TreeCopier::copyEntry(int srcDir, int dstDir, const std::string& name,
                           const std::string& display, Counts& counts, int depth) {
  struct stat st {};
  if (::fstatat(srcDir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT) {
      // Gone since it was found: a walked item simply has nothing to carry.
      if (depth == 0) leaveOut(display, std::string(LeftOutReason::vanished));
      return;
    }
    leaveOut(display, LeftOutReason::copyFailed(CarryFiles::describe(errno)));
    return;
  }
  CopyItemKind kind = classifyStatus(&st, name, depth == 0);
  switch (kind) {
    case CopyItemKind::file: {
      auto copied = CarryFiles::copyFile(srcDir, name, dstDir);
      if (auto* error = failure(copied)) {
        leaveOut(display, LeftOutReason::copyFailed(*error));
      } else {
        counts.bytes += std::get<int64_t>(copied);
        counts.files += 1;
      }
      return;
    }
    case CopyItemKind::link: {
      auto linked = CarryFiles::copyLink(srcDir, name, dstDir);
      if (auto* error = failure(linked)) leaveOut(display, LeftOutReason::copyFailed(*error));
      return;
    }
    case CopyItemKind::folder:
      break;
    default:
      leaveOut(display, std::string(reasonFor(kind)));
      return;
  }
  if (depth >= kMaxCopyDepth) {
    leaveOut(display, LeftOutReason::folderFailed(CarryFiles::describe(ENAMETOOLONG)));
    return;
  }
  auto made = CarryFiles::makeFolderIn(dstDir, name);
  if (auto* error = failure(made)) {
    leaveOut(display, LeftOutReason::folderFailed(*error));
    return;
  }
  Fd from{::openat(srcDir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)};
  if (!from) {
    leaveOut(display, LeftOutReason::copyFailed(CarryFiles::describe(errno)));
    return;
  }
  const Fd& to = std::get<Fd>(made);
  walk(from.get(), to.get(), display, counts, depth + 1);
  // After the walk, so that making its entries does not change the times.
  CarryFiles::keepFolderAttributes(to.get(), st);
}

void TreeCopier::walk(int srcDir, int dstDir, const std::string& display, Counts& counts,
                      int depth) {
  int listing = ::dup(srcDir);
  DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
  if (!dir) {
    if (listing >= 0) ::close(listing);
    leaveOut(display, LeftOutReason::copyFailed(CarryFiles::describe(errno)));
    return;
  }
  // Entries that the listing can't give are skipped; it ends at the first one.
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    copyEntry(srcDir, dstDir, name, display + "/" + name, counts, depth);
  }
  ::closedir(dir);
}

bool TreeCopier::existsInCopy(const std::string& rel) const {
  const std::string stored = "Settings/" + rel;
  const size_t slash = stored.rfind('/');
  auto parent = CarryFiles::openFolderBelow(root_, stored.substr(0, slash), false);
  if (failure(parent)) return false;
  struct stat st {};
  return ::fstatat(std::get<CarryFiles::Fd>(parent).get(), stored.c_str() + slash + 1, &st, 0) == 0;
}

}  // namespace larkvale
