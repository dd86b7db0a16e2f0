#include "platform/FileRemoval.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <new>

namespace larkvale::FileRemoval {
namespace {

namespace fs = std::filesystem;

// Absolute, with no piece that moves up or stays in place: a path that says
// where it is without asking the working folder or the links on its way.
bool isPlainAbsolute(const fs::path& path) {
  if (!path.is_absolute()) return false;
  return std::none_of(path.begin(), path.end(),
                      [](const fs::path& piece) { return piece == "." || piece == ".."; });
}

// Whether `outer`'s pieces begin `inner`'s (the same path counts).
bool startsWith(const fs::path& inner, const fs::path& outer) {
  auto [atOuter, atInner] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
  return atOuter == outer.end();
}

fs::path withoutTrailingSeparator(const fs::path& folder) {
  if (folder.has_relative_path() && !folder.has_filename()) return folder.parent_path();
  return folder;
}

bool nothingAt(const fs::path& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

std::error_code refused() {
  return std::make_error_code(std::errc::invalid_argument);
}

}  // namespace

std::error_code removeInside(const fs::path& givenFolder, const fs::path& path,
                             Reach reach) noexcept {
  try {
    const fs::path folder = withoutTrailingSeparator(givenFolder);
    if (!isPlainAbsolute(folder) || !folder.has_relative_path()) return refused();
    if (!isPlainAbsolute(path) || !path.has_filename()) return refused();
    const fs::path parent = path.parent_path();

    // Compared with every link resolved: a link inside the folder may lead
    // out of it, and the folder itself may be reached through links.
    std::error_code ec;
    const fs::path realFolder = fs::canonical(folder, ec);
    if (ec) return nothingAt(path) ? std::error_code{} : ec;
    const fs::path realParent = fs::canonical(parent, ec);
    if (ec) return nothingAt(path) ? std::error_code{} : ec;
    if (!startsWith(realParent, realFolder)) return refused();

    // The last piece is not resolved: a link is removed for itself.
    const fs::path target = realParent / path.filename();
    if (reach == Reach::withContents)
      fs::remove_all(target, ec);
    else
      fs::remove(target, ec);
    return ec && !nothingAt(target) ? ec : std::error_code{};
  } catch (const std::bad_alloc&) {
    return std::make_error_code(std::errc::not_enough_memory);
  }
}

}  // namespace larkvale::FileRemoval
