#include "kit/movingday/SettingsWalk.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "kit/movingday/CarryFiles.h"
#include "platform/Error.h"

namespace larkvale {
namespace {

// A folder's listing, closed when the object goes (also when a stop unwinds
// the walk).
class Listing {
 public:
  explicit Listing(int folder) {
    FileDescriptor fd{::dup(folder)};
    if (!fd) return;
    dir_ = ::fdopendir(fd.get());
    if (dir_) fd.release();  // the listing closes it now
  }
  Listing(const Listing&) = delete;
  Listing& operator=(const Listing&) = delete;
  ~Listing() {
    if (dir_) ::closedir(dir_);
  }
  explicit operator bool() const { return dir_ != nullptr; }
  // The next entry other than "." and ".."; null at the end. An entry the
  // listing can't give ends it.
  const dirent* next() {
    while (const dirent* entry = ::readdir(dir_)) {
      const char* n = entry->d_name;
      if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))) continue;
      return entry;
    }
    return nullptr;
  }

 private:
  DIR* dir_ = nullptr;
};

class Walk {
 public:
  Walk(WalkVisitor& visitor, const std::stop_token& stop) : visitor_(visitor), stop_(stop) {}

  void item(int parent, const std::string& name, int depth) {
    Cancelled::check(stop_);
    struct stat st {};
    const struct stat* status = &st;
    int statusError = 0;
    if (::fstatat(parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      status = nullptr;
      statusError = errno;
    }
    const CopyItemKind kind = CopyRules::classify(status, name, depth == 0);
    const bool folder = kind == CopyItemKind::folder;
    const bool tooDeep = folder && depth >= CopyRules::maxDepth;
    const WalkItem item{parent, name, status, statusError, kind, depth, below_, tooDeep};
    if (!visitor_.visit(item) || !folder || tooDeep) return;
    FileDescriptor opened{
        ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)};
    if (!opened) {
      visitor_.leave(item, errno);
      return;
    }
    visitor_.leave(item, entries(opened.get(), depth + 1));
  }

 private:
  // Walks the entries of an open folder; the errno when it can't be listed.
  int entries(int folder, int depth) {
    Listing listing(folder);
    if (!listing) return errno;
    const size_t length = below_.size();
    std::string name;
    while (const dirent* entry = listing.next()) {
      name = entry->d_name;
      below_.resize(length);
      below_ += '/';
      below_ += name;
      item(folder, name, depth);
    }
    below_.resize(length);
    return 0;
  }

  WalkVisitor& visitor_;
  const std::stop_token& stop_;
  std::string below_;  // the path below the pick of the item being met
};

}  // namespace

void walkSettingsItem(int parent, const std::string& name, WalkVisitor& visitor,
                      const std::stop_token& stop) {
  Walk(visitor, stop).item(parent, name, 0);
}

}  // namespace larkvale
